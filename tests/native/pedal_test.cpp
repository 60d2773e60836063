// The pedals' table, the Device value, report decoding and what the buttons do, built natively
// (with sanitizers) and for Windows.
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pedal/pedal.h"

namespace {

const int kLength = 9;  // a report as Windows reads it: its number, then eight data bytes

std::vector<uint8_t> Report(uint8_t data0)
{
    std::vector<uint8_t> report(kLength, 0);
    report[1] = data0;
    return report;
}

TEST(PedalModels, EveryModelDecodesEachButtonAloneAndTogether)
{
    const PedalDeviceChoice automatic = PedalDeviceFromText("auto");
    for (int i = 0; i < PedalModelCount; i++) {
        const PedalModel &model = PedalModels[i];
        char name[PEDAL_MODEL_NAME_SIZE] = "";
        int layout = PedalLayoutOfDevice(automatic, model.vendor, model.product, name);
        ASSERT_GE(layout, 0) << model.name;
        EXPECT_STREQ(name, model.name);
        const PedalLayout &l = PedalLayouts[layout];
        struct Case {
            uint8_t data;
            int held;
        } cases[] = {{0, 0}, {1, PEDAL_LEFT}, {2, PEDAL_MIDDLE}, {4, PEDAL_RIGHT},
                     {3, PEDAL_LEFT | PEDAL_MIDDLE}, {7, PEDAL_BUTTONS},
                     {0xF8, 0}};  // bits of no button
        for (const Case &c : cases) {
            std::vector<uint8_t> report = Report(c.data);
            EXPECT_EQ(PedalButtonsOfReport(l, report.data(), kLength, kLength), c.held)
                << model.name << " data " << int(c.data);
        }
    }
}

TEST(PedalModels, ReportOfAnotherLengthIsIgnored)
{
    std::vector<uint8_t> report = Report(PEDAL_LEFT);
    const PedalLayout &l = PedalLayouts[0];
    EXPECT_EQ(PedalButtonsOfReport(l, report.data(), kLength - 1, kLength), -1);
    EXPECT_EQ(PedalButtonsOfReport(l, report.data(), 0, kLength), -1);
    // A device whose reports hold no data byte at all.
    EXPECT_EQ(PedalButtonsOfReport(l, report.data(), 1, 1), -1);
    EXPECT_EQ(PedalButtonsOfReport(l, report.data(), 2, 2), PEDAL_LEFT);
}

TEST(PedalDevice, Values)
{
    struct Case {
        const char *text;
        PedalDeviceKind kind;
        int vendor, product;
        const char *layout;
    } cases[] = {
        {"auto", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"-", PEDAL_DEVICE_OFF, 0, 0, NULL},
        {"05F3:00FF=infinity", PEDAL_DEVICE_GIVEN, 0x05F3, 0x00FF, "infinity"},
        {"abcd:Ef01=philips", PEDAL_DEVICE_GIVEN, 0xABCD, 0xEF01, "philips"},
        // Anything else reads as the default.
        {"", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"05F3:00FF", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"05F3:00FF=olympus", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"05F3:00FF=infinityx", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"5F3:00FF=infinity", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"05G3:00FF=infinity", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"05F3-00FF=infinity", PEDAL_DEVICE_AUTO, 0, 0, NULL},
        {"05F", PEDAL_DEVICE_AUTO, 0, 0, NULL},
    };
    for (const Case &c : cases) {
        PedalDeviceChoice choice = PedalDeviceFromText(c.text);
        EXPECT_EQ(choice.kind, c.kind) << c.text;
        if (c.kind != PEDAL_DEVICE_GIVEN)
            continue;
        EXPECT_EQ(choice.vendor, c.vendor) << c.text;
        EXPECT_EQ(choice.product, c.product) << c.text;
        EXPECT_STREQ(PedalLayouts[choice.layout].name, c.layout) << c.text;
    }
}

TEST(PedalDevice, WhichDeviceIsRead)
{
    char name[PEDAL_MODEL_NAME_SIZE] = "";
    PedalDeviceChoice automatic = PedalDeviceFromText("auto");
    EXPECT_EQ(PedalLayoutOfDevice(automatic, 0x046D, 0xC52B, name), -1);  // a mouse receiver
    EXPECT_EQ(PedalLayoutOfDevice(automatic, 0x07B4, 0x0218, name), -1);  // Olympus: left out
    PedalDeviceChoice off = PedalDeviceFromText("-");
    EXPECT_EQ(PedalLayoutOfDevice(off, 0x05F3, 0x00FF, name), -1);
    // A pedal under another name, with a known layout; the known pedals are then not read.
    PedalDeviceChoice given = PedalDeviceFromText("1234:ABCD=philips");
    EXPECT_EQ(PedalLayoutOfDevice(given, 0x05F3, 0x00FF, name), -1);
    ASSERT_EQ(PedalLayoutOfDevice(given, 0x1234, 0xABCD, name), 1);
    EXPECT_STREQ(name, "1234:ABCD (philips)");
}

TEST(PedalAction, Names)
{
    for (int action = 0; action < PEDAL_ACTION_COUNT; action++)
        EXPECT_EQ(PedalActionFromName(PedalActionNames[action], 99), action);
    EXPECT_EQ(PedalActionFromName("holdtoplay", 99), 99);
    EXPECT_EQ(PedalActionFromName("", 99), 99);
    EXPECT_EQ(PedalActionFromName("Rewind ", 99), 99);
}

// The player as the commands leave it, so a sequence of changes is checked as a user sees it.
struct FakePlayer {
    bool playing = false, winding = false;
    std::string log;
    void Apply(const int *commands, int count)
    {
        static const char *const names[] = {"",     "play",  "pause",  "playon", "toggle",
                                            "rew",  "ff",    "jumpb",  "jumpf",  "type",
                                            "slow", "fast"};
        for (int i = 0; i < count; i++) {
            int c = commands[i];
            log += std::string(log.empty() ? "" : " ") + names[c];
            if (c == PEDAL_DO_PLAY || c == PEDAL_DO_PLAY_ON)
                playing = true, winding = false;
            else if (c == PEDAL_DO_PAUSE)
                playing = false, winding = false;
            else if (c == PEDAL_DO_TOGGLE)
                playing = !playing, winding = false;
            else if (c == PEDAL_DO_REWIND || c == PEDAL_DO_FORWARD)
                playing = false, winding = true;
            else if ((c == PEDAL_DO_JUMP_BACK || c == PEDAL_DO_JUMP_FORWARD) && winding)
                winding = false;
        }
    }
};

const int kDefaults[PEDAL_SOURCE_COUNT] = {PEDAL_REWIND, PEDAL_HOLD_TO_PLAY, PEDAL_FAST_FORWARD,
                                           PEDAL_HOLD_TO_PLAY};

// Runs the masks in turn from a player that plays or not; the commands given, in order.
std::string RunChanges(std::vector<int> masks, bool playing = false,
                const int *actions = kDefaults)
{
    FakePlayer player;
    player.playing = playing;
    PedalHold hold;
    ResetPedalHold(&hold);
    for (int held : masks) {
        int out[PEDAL_COMMANDS_MOST];
        int count = PedalChange(&hold, held, actions, player.playing, player.winding, out);
        player.Apply(out, count);
    }
    return player.log;
}

const int L = PEDAL_LEFT, M = PEDAL_MIDDLE, R = PEDAL_RIGHT, K = PEDAL_HOLD_KEY;

TEST(PedalChange, DefaultActions)
{
    struct Case {
        const char *what;
        std::vector<int> masks;
        bool playing;
        const char *commands;
    } cases[] = {
        {"hold plays, release pauses", {M, 0}, false, "play pause"},
        {"hold while playing: release pauses", {M, 0}, true, "pause"},
        {"repeated reports of the same buttons", {M, M, M, 0, 0}, false, "play pause"},
        {"left winds back, release pauses", {L, 0}, false, "rew pause"},
        {"right while playing plays on", {R, 0}, true, "ff playon"},
        {"wind while holding: plays on after it", {M, M | R, M, 0}, false,
         "play ff playon pause"},
        {"hold released during the wind: the wind ends paused", {M, M | R, R, 0}, false,
         "play ff pause"},
        {"hold over a wind ends it; the wind's release does nothing", {L, L | M, M, 0}, false,
         "rew play pause"},
        {"a wind taking over keeps what the first would do", {R, R | L, L, 0}, true,
         "ff rew playon"},
        {"the first wind's release after being overtaken does nothing", {L, L | R, R, 0},
         false, "rew ff pause"},
        {"key and pedal both hold: only the last release pauses", {K, K | M, K, 0}, false,
         "play pause"},
        {"release and press in one report: release first", {L, M, 0}, false,
         "rew pause play pause"},
        {"all three at once", {L | M | R, 0}, false, "rew play ff pause"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RunChanges(c.masks, c.playing), c.commands) << c.what;
}

TEST(PedalChange, UnplugWhileHeldReleasesWhatWasHeld)
{
    // The Player passes what is left held: the key alone.
    EXPECT_EQ(RunChanges({M, 0}), "play pause");
    EXPECT_EQ(RunChanges({K, K | M, K}), "play");  // the key still holds
    EXPECT_EQ(RunChanges({L | R, 0}), "rew ff pause");
}

TEST(PedalChange, OtherActionsActOnPressOnly)
{
    const int actions[PEDAL_SOURCE_COUNT] = {PEDAL_JUMP_BACK, PEDAL_PLAY_PAUSE,
                                             PEDAL_TYPE_TIMECODE, PEDAL_NONE};
    EXPECT_EQ(RunChanges({L, 0, M, 0, M, 0, R, 0, K, 0}, false, actions),
              "jumpb toggle toggle type");
    const int speeds[PEDAL_SOURCE_COUNT] = {PEDAL_SLOWER, PEDAL_FASTER, PEDAL_JUMP_FORWARD,
                                            PEDAL_NONE};
    EXPECT_EQ(RunChanges({L, 0, M | R, 0}, false, speeds), "slow fast jumpf");
    // A jump during a wind ends it there; the wind's release then does nothing.
    const int windJump[PEDAL_SOURCE_COUNT] = {PEDAL_REWIND, PEDAL_JUMP_FORWARD, PEDAL_NONE,
                                              PEDAL_NONE};
    EXPECT_EQ(RunChanges({L, L | M, L, 0}, true, windJump), "rew jumpf");
    // Play/pause during a wind plays; the wind's release then does nothing.
    const int windToggle[PEDAL_SOURCE_COUNT] = {PEDAL_FAST_FORWARD, PEDAL_PLAY_PAUSE,
                                                PEDAL_NONE, PEDAL_NONE};
    EXPECT_EQ(RunChanges({L, L | M, L, 0}, false, windToggle), "ff toggle");
}

TEST(PedalChange, PlayerStoppedMeanwhile)
{
    // The user stopped the player by hand while the wind went on: the release leaves it.
    PedalHold hold;
    ResetPedalHold(&hold);
    int out[PEDAL_COMMANDS_MOST];
    EXPECT_EQ(PedalChange(&hold, L, kDefaults, false, false, out), 1);
    EXPECT_EQ(PedalChange(&hold, 0, kDefaults, false, false, out), 0);
    // The user paused by hand while holding: the release does not pause again.
    EXPECT_EQ(PedalChange(&hold, M, kDefaults, false, false, out), 1);
    EXPECT_EQ(PedalChange(&hold, 0, kDefaults, false, false, out), 0);
}

}  // namespace
