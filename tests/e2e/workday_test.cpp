// A working day from outside: a file reopened where it was left, and the hard passage repeated
// at its own speed on one key, on the real engine.
#include <algorithm>

#include "support.h"

namespace e2e {
namespace {

const int RATE = 25;
const DWORD SETTLED_MS = 500;  // a seek's first picture is shown by then

class Workday : public PlayerTest {
protected:
    // Ends the player as the user does, so that it keeps where the file was left.
    void CloseAsTheUserDoes()
    {
        PostMessageA(player.Window(), WM_CLOSE, 0, 0);
        EXPECT_NE(player.WaitForExit(EXIT_DEADLINE_MS), (DWORD)STILL_ACTIVE);
    }
    bool StartOnFile(const std::string &path)
    {
        return player.Start("\"" + path + "\"") && player.WaitForAdvance();
    }
};

TEST_F(Workday, FileReopensWhereItWasLeftUnlessItChanged)
{
    std::string copy = WorkPath("resume25.mp4");
    ASSERT_TRUE(CopyFileA(Clip("long25.mp4").c_str(), copy.c_str(), FALSE));
    WriteSettings(SettingsText("25") + "[Playback]\r\nResumeWhereStopped=YES\r\n");
    ASSERT_TRUE(StartOnFile(copy));
    EXPECT_EQ(Ctl("pause").exitCode, 0);
    EXPECT_EQ(Ctl("locate " + TimecodeOfFrame(300, RATE)).exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(300, RATE));
    CloseAsTheUserDoes();

    // Reopened: it plays on from frame 300, and paused the display, the picture and the remote
    // query agree.
    ASSERT_TRUE(player.Start("\"" + copy + "\""));
    ASSERT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) >= 300; },
                        START_DEADLINE_MS))
        << player.Display();
    ASSERT_TRUE(player.WaitForAdvance());
    int paused = PauseAndSettle(RATE);
    EXPECT_GE(paused, 300);
    EXPECT_LT(paused, 300 + 4 * RATE);
    EXPECT_EQ(Ctl("query").output, TimecodeOfFrame(paused, RATE));
    CloseAsTheUserDoes();

    // Written to since: from the start.
    HANDLE file = CreateFileA(copy.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME later;
    GetSystemTimeAsFileTime(&later);
    SetFileTime(file, NULL, NULL, &later);
    CloseHandle(file);
    ASSERT_TRUE(StartOnFile(copy));
    int frame = PauseAndSettle(RATE);
    EXPECT_LT(frame, 4 * RATE) << "a changed file opens at its start";
    CloseAsTheUserDoes();
    DeleteFileA(copy.c_str());
}

// From about frame 300 at 25 fps, LoopSeconds 4 and LoopSpeed 75: the 100 frames before the key
// again and again at 75 %, then on from where the key was pressed at normal speed.
TEST_F(Workday, HardPassageRepeatsAtItsSpeedUntilTheKeyComesAgain)
{
    WriteSettings(SettingsText("25") +
                  "[Playback]\r\nLoopHotKey=F9\r\nLoopSeconds=4\r\nLoopSpeed=75\r\n");
    ASSERT_TRUE(StartOnFile(Clip("long25.mp4")));
    EXPECT_EQ(Ctl("pause").exitCode, 0);
    EXPECT_EQ(Ctl("locate " + TimecodeOfFrame(290, RATE)).exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(290, RATE));
    EXPECT_EQ(Ctl("play").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) >= 300; },
                        ADVANCE_DEADLINE_MS));
    PressKey(VK_F9);
    ASSERT_TRUE(WaitFor([&] { return player.Title().find("Loop 75 %") != std::string::npos; },
                        TYPED_DEADLINE_MS))
        << player.Title();
    int end = -1;
    // Sampled from outside: each wrap back, the frames and times of the stretch before it.
    struct Sample {
        int frame;
        DWORD tick;
    };
    std::vector<std::vector<Sample>> passes(1);
    int lowest = 1 << 30, highest = -1;
    DWORD start = GetTickCount();
    while (passes.size() < 4 && GetTickCount() - start < 20000) {
        int frame = FrameOfTimecode(player.Display(), RATE);
        std::vector<Sample> &pass = passes.back();
        if (!pass.empty() && frame < pass.back().frame - 20)
            passes.emplace_back();
        passes.back().push_back({frame, GetTickCount()});
        if (passes.size() > 1) {
            lowest = std::min(lowest, frame);
            highest = std::max(highest, frame);
        }
        Sleep(20);
    }
    ASSERT_GE(passes.size(), 4u) << "the passage did not repeat three times";
    end = passes[1].back().frame;
    EXPECT_NEAR(passes[1].front().frame, end - 4 * RATE, 3);
    EXPECT_GE(lowest, end - 4 * RATE - 2);
    EXPECT_LE(highest, end + 3);
    // The pace of each whole pass once it runs: from half a second after the seek back, which
    // takes its own time to show the first picture, to the pass's last report.
    for (size_t i = 1; i + 1 < passes.size(); i++) {
        const std::vector<Sample> &pass = passes[i];
        size_t from = 0;
        while (from + 1 < pass.size() && pass[from].tick - pass.front().tick < SETTLED_MS)
            from++;
        double pace = (pass.back().frame - pass[from].frame) * 1000.0 /
                      (pass.back().tick - pass[from].tick);
        EXPECT_NEAR(pace, RATE * 0.75, RATE * 0.75 * 0.03) << "pass " << i;
    }

    // Pressed again: on from the end of the passage, at the speed from before.
    PressKey(VK_F9);
    ASSERT_TRUE(WaitFor([&] { return player.Title().find("Loop") == std::string::npos; },
                        TYPED_DEADLINE_MS));
    ASSERT_TRUE(WaitFor([&] { return FrameOfTimecode(player.Display(), RATE) >= end; },
                        ADVANCE_DEADLINE_MS));
    EXPECT_LT(FrameOfTimecode(player.Display(), RATE), end + RATE);
    WaitFor([] { return false; }, SETTLED_MS);
    int first = FrameOfTimecode(player.Display(), RATE);
    DWORD from = GetTickCount();
    WaitFor([] { return false; }, 2000);
    int last = FrameOfTimecode(player.Display(), RATE);
    EXPECT_NEAR((last - first) * 1000.0 / (GetTickCount() - from), RATE, RATE * 0.08);
}

}  // namespace
}  // namespace e2e
