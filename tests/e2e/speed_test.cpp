// The playback speed from outside: zentrixctl and the speed keys set it, the title shows it, the
// display runs at it, and paused the display, the picture and a remote query still agree.
#include "support.h"

namespace e2e {
namespace {

class Speed : public PlayerTest {
protected:
    static const int RATE = 25;
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
    // Paused, display, picture and remote query name the same frame.
    void ExpectPausedAgreement(int frame, const std::string &what)
    {
        EXPECT_EQ(Ctl("pause").exitCode, 0);
        EXPECT_EQ(Ctl("locate " + TimecodeOfFrame(frame, RATE)).exitCode, 0);
        EXPECT_TRUE(player.WaitForFrame(frame, RATE)) << what;
        EXPECT_EQ(Ctl("query").output, TimecodeOfFrame(frame, RATE)) << what;
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
        ExpectPausedAgreement(137, "at " + text + " %");
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
    ExpectPausedAgreement(250, "at 110 %");
    EXPECT_EQ(ReadSettingsValue("Playback", "Speed"), "110");
}

}  // namespace
}  // namespace e2e
