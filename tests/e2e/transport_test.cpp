// Remote control from another process and the arrow keys, on each clip kind and rate: every
// request's effect read back from the display and from the frame number in the picture.
#include <gtest/gtest.h>

#include "platform/quorvel.h"
#include "tests/e2e/support.h"
#include "tests/support/sound.h"

using namespace e2e;

namespace {

const int SINGLE_STEPS = 64;
const int QUICK_PRESSES = 6;
const WPARAM REQUEST_STEP = 64;
const UINT ANSWER_MS = 5000;

struct ClipCase {
    const char *clip;
    const char *frameRate;  // the settings file's rate for it
    int timecodeRate;       // frames per timecode second
    int frames;
};

void PrintTo(const ClipCase &c, std::ostream *out) { *out << c.clip << " at " << c.frameRate; }

const ClipCase CLIPS[] = {
    {"intra25.avi", "25", 25, 100},
    {"h264-30.mp4", "30", 30, 120},
    {"ntsc.mp4", "29.97", 30, 120},
    {"ntsc.avi", "29.97", 30, 120},
    {"aac25.mp4", "25", 25, 100},  // with sound, which makes the sound renderer the clock
};

class Transport : public PlayerTest, public ::testing::WithParamInterface<ClipCase> {
protected:
    void Request(const std::string &arguments)
    {
        CtlResult result = Ctl(arguments);
        ASSERT_EQ(result.exitCode, 0) << "zentrixctl " << arguments << ": " << result.output;
    }
    int Shown(int rate) { return FrameOfTimecode(player.Display(), rate); }
};

TEST_P(Transport, RemoteRequestsAndArrowKeysLandOnTheirFrames)
{
    const ClipCase &c = GetParam();
    StartOn(Clip(c.clip), c.frameRate);
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display();
    EXPECT_TRUE(player.PlayChecked());

    CtlResult length = Ctl("length");
    EXPECT_EQ(length.exitCode, 0);
    EXPECT_EQ(length.output, std::to_string(c.frames));

    int rate = c.timecodeRate;
    int paused = PauseAndSettle(rate);
    EXPECT_TRUE(player.PlayUnchecked());
    CtlResult query = Ctl("query");
    EXPECT_EQ(query.exitCode, 0);
    EXPECT_EQ(query.output, player.Display());

    // The arrow keys while the player has the keyboard: exactly one frame each.
    ASSERT_TRUE(player.Activate());
    PressKey(VK_RIGHT);
    EXPECT_TRUE(player.WaitForFrame(paused + 1, rate)) << "after Right from " << paused;
    PressKey(VK_LEFT);
    EXPECT_TRUE(player.WaitForFrame(paused, rate)) << "after Left";
    PressKey(VK_LEFT);
    EXPECT_TRUE(player.WaitForFrame(paused - 1, rate)) << "after the second Left";

    // Pressed in quick succession, as a held key repeats: one frame each all the same.
    for (int i = 0; i < QUICK_PRESSES; i++)
        PressKey(VK_RIGHT);
    EXPECT_TRUE(player.WaitForFrame(paused - 1 + QUICK_PRESSES, rate)) << "quick presses";

    int mid = c.frames / 2 + 1;
    Request("locate " + TimecodeOfFrame(mid, rate));
    EXPECT_TRUE(player.WaitForFrame(mid, rate)) << "locate";
    Request("step 7");
    EXPECT_TRUE(player.WaitForFrame(mid + 7, rate)) << "step 7";
    Request("step -12");
    EXPECT_TRUE(player.WaitForFrame(mid - 5, rate)) << "step -12";
    query = Ctl("query");
    EXPECT_EQ(query.output, TimecodeOfFrame(mid - 5, rate));

    Request("stop");
    EXPECT_TRUE(player.WaitForFrame(0, rate)) << "stop";
    EXPECT_TRUE(player.PlayUnchecked());

    // 64 single steps as fast as another program can send them: each lands on the next frame.
    for (int i = 0; i < SINGLE_STEPS; i++) {
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutA(player.Window(), WM_REMOTE_CONTROL, REQUEST_STEP, 1,
                                        SMTO_NORMAL, ANSWER_MS, &answer));
    }
    EXPECT_TRUE(player.WaitForFrame(SINGLE_STEPS, rate)) << SINGLE_STEPS << " single steps";

    Request("forward");
    EXPECT_TRUE(WaitFor([&] { return Shown(rate) > 10; }, ADVANCE_DEADLINE_MS))
        << "fast forward: " << player.Display();
    int wound = PauseAndSettle(rate);
    EXPECT_GT(wound, 10);
    Request("rewind");
    EXPECT_TRUE(WaitFor([&] { int n = Shown(rate); return n >= 0 && n < wound - 5; },
                        ADVANCE_DEADLINE_MS))
        << "rewind from " << wound << ": " << player.Display();
    PauseAndSettle(rate);

    Request("play");
    EXPECT_TRUE(player.WaitForAdvance()) << "play";
    EXPECT_TRUE(player.PlayChecked());
    EXPECT_TRUE(player.Running());
}

INSTANTIATE_TEST_SUITE_P(Clips, Transport, ::testing::ValuesIn(CLIPS),
                         [](const ::testing::TestParamInfo<ClipCase> &info) {
                             return TestNameOf(info.param.clip);
                         });

using Options = PlayerTest;

// Paused, a TC offset set in the Options dialog is in the display, the query and the arrows at
// once: no report follows while paused to put it there later.
TEST_F(Options, NewOffsetWhilePausedCountsAtOnce)
{
    const int RATE = 25, HOUR = 3600 * RATE;
    StartOn(Clip("intra25.avi"), "25");
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display();
    int paused = PauseAndSettle(RATE);
    ASSERT_TRUE(player.SetTcOffset("01:00:00:00"));
    std::string shifted = TimecodeOfFrame(HOUR + paused, RATE);
    EXPECT_TRUE(WaitFor([&] { return player.Display() == shifted; }, ADVANCE_DEADLINE_MS))
        << "shown: " << player.Display() << ", wanted " << shifted;
    EXPECT_EQ(Ctl("query").output, shifted);
    EXPECT_EQ(player.PictureFrame(), paused);

    ASSERT_TRUE(player.Activate());
    PressKey(VK_RIGHT);
    std::string next = TimecodeOfFrame(HOUR + paused + 1, RATE);
    EXPECT_TRUE(WaitFor([&] { return player.Display() == next && player.PictureFrame() == paused + 1; },
                        ADVANCE_DEADLINE_MS))
        << "after Right: " << player.Display() << ", picture " << player.PictureFrame();
}

// Rewind on resume and the jump keys as the Playback section sets them, on a 16 s clip at 25 fps.
class Resume : public PlayerTest {
protected:
    static const int RATE = 25, LAST = 399, REWIND = 2 * RATE, JUMP = 5 * RATE;
    static const DWORD WATCH_MS = 1500;
    void SetUp() override
    {
        PlayerTest::SetUp();
        WriteSettings(SettingsText("25") +
                      "[Playback]\r\nRewindOnResume=2\r\nJumpSeconds=5\r\n"
                      "JumpBackHotKey=F5\r\nJumpForwardHotKey=F6\r\n");
        ASSERT_TRUE(player.Start("\"" + Clip("long25.mp4") + "\""));
        ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance";
    }
    void PausedAt(int frame)
    {
        EXPECT_EQ(Ctl("pause").exitCode, 0);
        EXPECT_EQ(Ctl("locate " + TimecodeOfFrame(frame, RATE)).exitCode, 0);
        EXPECT_TRUE(player.WaitForFrame(frame, RATE)) << "locate";
    }
    // Presses the key and watches the display while playing: the lowest frame it showed.
    int LowestPlayedAfter(WORD key)
    {
        PressKey(key);
        int lowest = -1;
        DWORD start = GetTickCount();
        WaitFor(
            [&] {
                int shown = FrameOfTimecode(player.Display(), RATE);
                if (player.PlayChecked() && shown >= 0 && (lowest < 0 || shown < lowest))
                    lowest = shown;
                return GetTickCount() - start > WATCH_MS;
            },
            WATCH_MS * 2);
        return lowest;
    }
};

TEST_F(Resume, PlaybackResumedWherePausedStartsEarlierAndAfterALocateWhereItWasPut)
{
    // Played on to frame 300 and paused there by F11.
    PausedAt(280);
    EXPECT_EQ(Ctl("play").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) >= 300; },
                        ADVANCE_DEADLINE_MS));
    PressKey(VK_F11);
    int paused = player.WaitForPaused(TimecodeFormat{RATE, false});
    ASSERT_GE(paused, 0) << "F11 did not pause: " << player.Display();
    int from = LowestPlayedAfter(VK_F11);
    EXPECT_GE(from, paused - REWIND);
    EXPECT_LT(from, paused - REWIND + RATE / 2) << "F11 after a pause at " << paused;

    PausedAt(100);
    from = LowestPlayedAfter(VK_F11);
    EXPECT_GE(from, 100) << "F11 after a locate to 100";
    EXPECT_LT(from, 100 + RATE / 2);
}

TEST_F(Resume, JumpKeysMoveExactlyWhilePausedAndStopAtTheEnds)
{
    PausedAt(200);
    PressKey(VK_F5);
    EXPECT_TRUE(player.WaitForFrame(200 - JUMP, RATE)) << "back";
    PressKey(VK_F6);
    EXPECT_TRUE(player.WaitForFrame(200, RATE)) << "forward";
    EXPECT_TRUE(player.PlayUnchecked());

    PausedAt(60);
    PressKey(VK_F5);
    EXPECT_TRUE(player.WaitForFrame(0, RATE)) << "back past the first frame";
    PausedAt(LAST - 30);
    PressKey(VK_F6);
    EXPECT_TRUE(player.WaitForFrame(LAST, RATE)) << "forward past the last frame";
}

TEST_F(Resume, JumpWhilePlayingGoesOnPlayingFromThere)
{
    EXPECT_EQ(Ctl("locate 00:00:00:00").exitCode, 0);
    EXPECT_EQ(Ctl("play").exitCode, 0);
    ASSERT_TRUE(player.WaitForAdvance());
    int before = FrameOfTimecode(player.Display(), RATE);
    PressKey(VK_F6);
    // Playing alone would take five seconds to get there.
    EXPECT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) >= before + JUMP; },
                        WATCH_MS))
        << "from " << before << " to " << player.Display();
    EXPECT_TRUE(player.WaitForAdvance());
    EXPECT_TRUE(player.PlayChecked());
}

using Sound = PlayerTest;

// The clip's tone reaches the sound server while the display runs, and stops with a pause.
TEST_F(Sound, TheClipsSoundPlaysUntilPaused)
{
    if (!SoundServerAvailable())
        GTEST_SKIP() << "no sound server (PULSE_SERVER is not set; ./vantorel test starts one)";
    const int RECORD_MS = 500, RATE = 25;
    StartOn(Clip("aac25.mp4"), "25");
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display();
    SinkRecording playing = RecordSink(RECORD_MS);
    ASSERT_TRUE(playing.available) << playing.why;
    EXPECT_TRUE(IsTone(playing, 440, 0.03))
        << "rms " << playing.rms << ", " << playing.frequency << " Hz";
    PauseAndSettle(RATE);
    SinkRecording paused = RecordOnceQuiet(440, 0.03, SETTLE_DEADLINE_MS, RECORD_MS);
    ASSERT_TRUE(paused.available) << paused.why;
    EXPECT_FALSE(IsTone(paused, 440, 0.03)) << "rms " << paused.rms << " while paused";
}

TEST(Remote, ZentrixctlWithoutAPlayerSaysSo)
{
    ASSERT_EQ(FindWindowA("VANTORELDLGCLASS", NULL), (HWND)NULL);
    CtlResult result = Ctl("query");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.output.empty());
    EXPECT_EQ(Ctl("step x").exitCode, 2);
}

}  // namespace
