// The playback speed from outside: zentrixctl and the speed keys set it, the title shows it, the
// display runs at it, the sound keeps its pitch, and paused the display, the picture and a remote
// query still agree.
#include "support.h"
#include "tests/support/sound.h"

namespace e2e {
namespace {

const int RATE = 25;

// Paused, display, picture and remote query name the same frame.
void ExpectPausedAgreement(const Player &player, int frame, const std::string &what)
{
    EXPECT_EQ(Ctl("pause").exitCode, 0);
    EXPECT_EQ(Ctl("locate " + TimecodeOfFrame(frame, RATE)).exitCode, 0);
    EXPECT_TRUE(player.WaitForFrame(frame, RATE)) << what;
    EXPECT_EQ(Ctl("query").output, TimecodeOfFrame(frame, RATE)) << what;
}

class Speed : public PlayerTest {
protected:
    static const DWORD MEASURE_MS = 3000;
    void SetUp() override
    {
        PlayerTest::SetUp();
        WriteSettings(SettingsText("25") +
                      "[Playback]\r\nSlowerHotKey=F7\r\nFasterHotKey=F8\r\n");
        ASSERT_TRUE(player.Start("\"" + Clip("long25.mp4") + "\""));
        ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance";
    }
    // Frames the display advanced a second of wall-clock time, from the frame 0 on.
    double DisplayPace()
    {
        EXPECT_EQ(Ctl("locate 00:00:00:00").exitCode, 0);
        EXPECT_TRUE(player.WaitForFrame(0, RATE));
        EXPECT_EQ(Ctl("play").exitCode, 0);
        EXPECT_TRUE(player.WaitForAdvance());
        int first = FrameOfTimecode(player.Display(), RATE);
        DWORD start = GetTickCount();
        WaitFor([&] { return false; }, MEASURE_MS);
        int last = FrameOfTimecode(player.Display(), RATE);
        DWORD elapsed = GetTickCount() - start;
        return (last - first) * 1000.0 / elapsed;
    }
};

TEST_F(Speed, ZentrixctlSetsTheSpeedTheDisplayRunsAt)
{
    EXPECT_EQ(Ctl("speed").output, "100");
    for (int percent : {50, 200}) {
        std::string text = std::to_string(percent);
        EXPECT_EQ(Ctl("speed " + text).exitCode, 0);
        EXPECT_EQ(Ctl("speed").output, text);
        EXPECT_NE(player.Title().find("Speed " + text + " %"), std::string::npos)
            << player.Title();
        // Polled from outside, the ends may each be a report late: a looser bound than the
        // engine's own test of the pace.
        EXPECT_NEAR(DisplayPace(), RATE * percent / 100.0, RATE * percent / 100.0 * 0.08)
            << "at " << percent << " %";
        ExpectPausedAgreement(player, 137, "at " + text + " %");
    }
    EXPECT_EQ(Ctl("speed 100").exitCode, 0);
    EXPECT_EQ(player.Title().find("Speed"), std::string::npos) << player.Title();
    EXPECT_EQ(ReadSettingsValue("Playback", "Speed"), "100");
    EXPECT_EQ(Ctl("speed 20").exitCode, 2);
}

TEST_F(Speed, SpeedKeysStepFromAnywhereAndTheSpeedIsKept)
{
    struct {
        WORD key;
        const char *speed;
    } presses[] = {{VK_F8, "110"}, {VK_F7, "100"}, {VK_F7, "90"}};
    for (auto press : presses) {
        PressKey(press.key);
        ASSERT_TRUE(WaitFor([&] { return Ctl("speed").output == press.speed; },
                            SETTLE_DEADLINE_MS))
            << press.speed;
    }
    // Two presses in quick succession: the second comes while the first still changes clocks.
    PressKey(VK_F8);
    PressKey(VK_F8);
    EXPECT_TRUE(WaitFor([] { return Ctl("speed").output == "110"; }, SETTLE_DEADLINE_MS));
    EXPECT_TRUE(player.PlayChecked()) << "a speed key does not stop playing";
    ExpectPausedAgreement(player, 250, "at 110 %");
    EXPECT_EQ(ReadSettingsValue("Playback", "Speed"), "110");
    // The keys stop at the ends of the range.
    for (auto end : {std::make_pair(VK_F7, "50"), std::make_pair(VK_F8, "200")}) {
        EXPECT_EQ(Ctl(std::string("speed ") + (end.first == VK_F7 ? "60" : "190")).exitCode, 0);
        PressKey(end.first);
        PressKey(end.first);
        EXPECT_TRUE(WaitFor([&] { return Ctl("speed").output == end.second; }, SETTLE_DEADLINE_MS))
            << "the keys leave the range at " << end.second;
        EXPECT_EQ(ReadSettingsValue("Playback", "Speed"), end.second);
    }
}

// A clip of 20 s with frame-numbered pictures and a 440 Hz tone, opened at the speed set, with
// playback resumed two seconds before where it was paused.
class SpeedSound : public PlayerTest, public ::testing::WithParamInterface<int> {
protected:
    static const int PACE_MS = 4000;
    static const int REWIND = 2 * RATE;
    static const int RECORD_MS = 1500;
    // Waits for the display's next change; the frame it changed to, and when, in milliseconds.
    static int NextChange(const Player &player, double *when)
    {
        std::string before = player.Display();
        WaitFor([&] { return player.Display() != before; }, ADVANCE_DEADLINE_MS);
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        *when = now.QuadPart * 1000.0 / frequency.QuadPart;
        return FrameOfTimecode(player.Display(), RATE);
    }
    // Display, picture, display again: the picture is within a frame of what the display
    // showed around it.
    static bool PictureKeepsUp(const Player &player)
    {
        int before = FrameOfTimecode(player.Display(), RATE);
        int picture = player.PictureFrame();
        int after = FrameOfTimecode(player.Display(), RATE);
        return picture >= before - 1 && picture <= after + 1;
    }
};

// Without a sound device the same holds but for the tone.
TEST_P(SpeedSound, PaceToneAndPictureHoldAtTheSpeed)
{
    const int percent = GetParam();
    const double expected = RATE * percent / 100.0;
    WriteSettings(SettingsText("25") + "[Playback]\r\nSpeed=" + std::to_string(percent) +
                  "\r\nRewindOnResume=2\r\n");
    ASSERT_TRUE(player.Start("\"" + Clip("tone25.mp4") + "\""));
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance";
    EXPECT_NE(player.Title().find("Speed " + std::to_string(percent) + " %"), std::string::npos);
    EXPECT_EQ(Ctl("locate 00:00:00:00").exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(0, RATE));
    EXPECT_EQ(Ctl("play").exitCode, 0);

    double start = 0, end = 0;
    int first = NextChange(player, &start);
    SinkRecording sound;
    if (!SoundOutputOff())
        sound = RecordSink(RECORD_MS);
    int samples = 0, kept = 0;
    double now = start;
    while (now - start < PACE_MS - 200) {
        samples++;
        kept += PictureKeepsUp(player);
        NextChange(player, &now);
    }
    int last = NextChange(player, &end);
    double pace = (last - first) * 1000.0 / (end - start);

    EXPECT_NEAR(pace, expected, expected * 0.03) << "frames a second at " << percent << " %";
    if (!SoundOutputOff()) {
        EXPECT_TRUE(sound.available) << sound.why;
        EXPECT_TRUE(IsTone(sound, 440, 0.02))
            << "at " << percent << " %: rms " << sound.rms << ", " << sound.frequency << " Hz";
    }
    EXPECT_GE(kept * 100, samples * 95) << kept << " of " << samples << " pictures within a frame";
    const std::string at = "at " + std::to_string(percent) + " %";
    for (int frame : {137, 3})
        ExpectPausedAgreement(player, frame, at);

    // Steps and winding, and playback resumed two seconds before where it was paused.
    EXPECT_EQ(Ctl("step 7").exitCode, 0);
    EXPECT_TRUE(player.WaitForFrame(10, RATE)) << "step, " << at;
    EXPECT_EQ(Ctl("forward").exitCode, 0);
    EXPECT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) > 60; },
                        ADVANCE_DEADLINE_MS))
        << "winding, " << at;
    EXPECT_EQ(Ctl("pause").exitCode, 0);
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{RATE, false}), 60) << "after winding, " << at;
    ExpectPausedAgreement(player, 100, at);
    EXPECT_EQ(Ctl("play").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) >= 120; },
                        ADVANCE_DEADLINE_MS));
    PressKey(VK_F11);
    int paused = player.WaitForPaused(TimecodeFormat{RATE, false});
    ASSERT_GE(paused, 0) << "F11 did not pause: " << player.Display();
    PressKey(VK_F11);
    int from = paused;
    WaitFor(
        [&] {
            from = FrameOfTimecode(player.Display(), RATE);
            return player.PlayChecked() && from < paused;
        },
        SETTLE_DEADLINE_MS);
    EXPECT_GE(from, paused - REWIND) << at;
    EXPECT_LT(from, paused - REWIND + RATE / 2) << "F11 after a pause at " << paused << ", " << at;
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedSound, ::testing::Values(50, 75, 150, 200),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::to_string(info.param);
                         });

// A clip whose tone sounds like two words, from 0 to 0.5 s and from 1 to 3 s of the file, opened
// at a speed set beforehand and played again from its start after a pause: each time the first
// word is heard whole and the words take as long as the speed makes them, nothing skipped and
// nothing hurried.
class SpeedWords : public PlayerTest, public ::testing::WithParamInterface<int> {
protected:
    static const int START_ALLOWANCE_MS = 8000;  // the player's start under Wine, warm
    static constexpr double FIRST_WORD = 0.5, WORDS_END = 3.0;
    // The sound's edges are found to 10 ms, and the stretcher spreads them by up to its window
    // (about 40 ms) at either end: 0.1 s on the first word. Over the whole 3 s of the file, the
    // clock and the sound server's pace may part by a little (a percent of the length, the
    // share the sound keeps in step by): 0.1 s plus 1 %. Starting a word late, as the first open
    // did, loses 0.4 s of it and plays the rest 4 % fast: far outside either.
    static void ExpectWords(const SinkRecording &sound, double speed, const std::string &when)
    {
        ASSERT_TRUE(sound.available) << sound.why;
        std::string heard;
        for (const Sounding &s : sound.sounding)
            heard += " " + std::to_string(s.from) + "-" + std::to_string(s.to);
        ASSERT_EQ(sound.sounding.size(), 2u) << when << ": not two words heard, but" << heard;
        const Sounding &first = sound.sounding[0], &last = sound.sounding[1];
        EXPECT_LT(last.to, sound.samples / (double)SINK_RECORDING_RATE - 0.05)
            << when << ": the recording ended before the sound did";
        EXPECT_NEAR(first.to - first.from, FIRST_WORD / speed, 0.1)
            << when << ": the first word; heard" << heard;
        EXPECT_NEAR(last.to - first.from, WORDS_END / speed, 0.1 + WORDS_END / speed * 0.01)
            << when << ": the words from the first's start to the last's end; heard" << heard;
    }
};

TEST_P(SpeedWords, EveryWordIsHeardAtItsLengthAfterTheOpenAndAfterAResume)
{
    if (SoundOutputOff())
        GTEST_SKIP() << "no sound output";
    const int percent = GetParam();
    const double speed = percent / 100.0;
    const int recordMs = START_ALLOWANCE_MS + (int)(WORDS_END / speed * 1000);
    WriteSettings(SettingsText("25") + "[Playback]\r\nSpeed=" + std::to_string(percent) +
                  "\r\nRewindOnResume=0\r\n");
    bool started = false;
    SinkRecording opened = RecordSinkFromStart(
        recordMs, [&] { started = player.Start("\"" + Clip("words25.mp4") + "\""); });
    ASSERT_TRUE(started);
    ExpectWords(opened, speed, "after the open at " + std::to_string(percent) + " %");

    EXPECT_EQ(Ctl("pause").exitCode, 0);
    EXPECT_EQ(Ctl("locate 00:00:00:00").exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(0, RATE));
    SinkRecording resumed = RecordSinkFromStart(
        (int)(WORDS_END / speed * 1000) + 2000, [] { EXPECT_EQ(Ctl("play").exitCode, 0); });
    ExpectWords(resumed, speed, "after a resume at " + std::to_string(percent) + " %");
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedWords, ::testing::Values(60, 150),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::to_string(info.param);
                         });

}  // namespace
}  // namespace e2e
