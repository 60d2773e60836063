// Bad input from outside: files that cannot be played, a settings file full of garbage, and a
// storm of remote requests. Each must leave the player running and answering.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const int STORM_QUERIES = 3000;
const int STORM_TOGGLES = 1000;  // play and pause in turn
const UINT STORM_ANSWER_MS = 10000;
const DWORD REQUEST_PLAY = 1, REQUEST_PAUSE = 4, REQUEST_QUERY = 1024;

class BadInput : public PlayerTest {
protected:
    // Still there, and zentrixctl gets answers: a timecode valid at the file's rate.
    void ExpectAnswering(int rate = 25)
    {
        EXPECT_TRUE(player.Running());
        CtlResult query = Ctl("query");
        EXPECT_EQ(query.exitCode, 0);
        EXPECT_GE(FrameOfTimecode(query.output, rate), 0) << query.output;
        EXPECT_EQ(Ctl("length").exitCode, 0);
    }
};

TEST_F(BadInput, FilesThatCannotBePlayedStopAndLeaveItAnswering)
{
    const char *files[] = {"missing.mp4", "text.mp4", "empty.mp4"};
    for (const char *file : files) {
        SCOPED_TRACE(file);
        StartOn(Clip(file), "25");
        // The engine says stop for a file it cannot open: the play button goes out.
        EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, ADVANCE_DEADLINE_MS));
        ExpectAnswering();
        EXPECT_EQ(Ctl("query").output, "00:00:00:00");
        EXPECT_EQ(Ctl("play").exitCode, 0);
        EXPECT_EQ(Ctl("step 3").exitCode, 0);
        ExpectAnswering();
        PostMessageA(player.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
        player.Kill();
    }
}

// An interrupted download: the index promises 120 pictures, the data holds about half.
TEST_F(BadInput, CutDownloadPlaysWhatItHasAndLeavesItAnswering)
{
    StartOn(Clip("cut-download.mp4"), "30");
    EXPECT_TRUE(WaitFor([&] { return !player.Display().empty(); }, ADVANCE_DEADLINE_MS));
    // Whether it ends with an error or at its last picture, it comes to rest.
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, 2 * ADVANCE_DEADLINE_MS));
    ExpectAnswering(30);
    EXPECT_EQ(Ctl("locate 00:00:00:10").exitCode, 0);
    EXPECT_EQ(Ctl("play").exitCode, 0);
    ExpectAnswering(30);
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
}

// Wine 8's GStreamer splitter now and then never returns from connecting to an MP4 without its
// index, and the graph is built on the user-interface thread: the engine refuses such a file
// before DirectShow sees it, so the player stays answering.
TEST_F(BadInput, Mp4WithoutItsIndexStopsAndLeavesItAnswering)
{
    StartOn(Clip("truncated.mp4"), "25");
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, ADVANCE_DEADLINE_MS));
    ExpectAnswering();
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
}

std::string Garbage(size_t length, unsigned seed)
{
    std::string text;
    for (size_t i = 0; i < length; i++) {
        seed = seed * 1103515245u + 12345u;
        char c = (char)(seed >> 16);
        if (c == '\r' || c == '\n' || c == '\0')
            c = (char)0xFF;
        text += c;
    }
    return text;
}

TEST_F(BadInput, SettingsFileOfOverlongAndBinaryValues)
{
    std::string clip = Clip("intra25.avi");
    std::string overlong(3000, '7');
    std::string ini = "[System]\r\nTheme=" + Garbage(2000, 1) + "\r\n" +
                      "[Options]\r\nTCHotKey=" + Garbage(300, 2) + "\r\nStartStopHotKey=F" +
                      overlong + "\r\nShowKeyFrames=" + Garbage(100, 3) +
                      "\r\nAppendKeySign=SPACESPACESPACE" + Garbage(900, 4) + "\r\n" +
                      "[FrameRate]\r\ndefault=" + overlong + "." + overlong + "\r\n" + clip + "=" +
                      Garbage(500, 5) + "\r\n" + "[TC-Offset]\r\ndefault=-" + overlong + "\r\n" +
                      clip + "=" + Garbage(700, 6) + "\r\n" + "[Decoder]\r\n" + clip + "=" +
                      Garbage(1000, 7) + "\r\n" + "[WindowPosition]\r\nPlayer=" + overlong + "," +
                      overlong + ",-" + overlong + "," + Garbage(200, 8) + "\r\nOptions=" +
                      Garbage(300, 9) + "\r\n" + Garbage(4000, 10) + "\r\n";
    WriteSettings(ini);
    ASSERT_TRUE(player.Start("\"" + clip + "\""));
    ExpectAnswering();
    // The Options dialog reads and writes back every option text.
    PostMessageA(player.Window(), WM_COMMAND, IDM_OPTIONS, 0);
    HWND options = player.WaitForDialog("Options");
    ASSERT_NE(options, (HWND)NULL);
    PostMessageA(options, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }, SETTLE_DEADLINE_MS));
    ExpectAnswering();
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
}

// Another program sends 4,000 requests while the clip plays: queries from one thread, play and
// pause from another. Every one is answered.
TEST_F(BadInput, RemoteRequestStormIsAnsweredInFull)
{
    StartOn(Clip("intra25.avi"), "25");
    ASSERT_TRUE(player.WaitForAdvance());
    HWND window = player.Window();
    std::atomic<int> answered(0), timecodesWellFormed(0);
    std::thread queries([&] {
        for (int i = 0; i < STORM_QUERIES; i++) {
            DWORD_PTR packed = 0;
            if (SendMessageTimeoutA(window, WM_REMOTE_CONTROL, REQUEST_QUERY, 0, SMTO_NORMAL,
                                    STORM_ANSWER_MS, &packed)) {
                answered++;
                // Hours, minutes, seconds, frames: each within its range.
                if ((packed >> 24) < 24 && ((packed >> 16) & 0xFF) < 60 &&
                    ((packed >> 8) & 0xFF) < 60 && (packed & 0xFF) < 25)
                    timecodesWellFormed++;
            }
        }
    });
    std::thread toggles([&] {
        for (int i = 0; i < STORM_TOGGLES; i++) {
            DWORD request = i % 2 ? REQUEST_PAUSE : REQUEST_PLAY;
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, WM_REMOTE_CONTROL, request, 0, SMTO_NORMAL,
                                    STORM_ANSWER_MS, &result))
                answered++;
        }
    });
    queries.join();
    toggles.join();
    EXPECT_EQ(answered.load(), STORM_QUERIES + STORM_TOGGLES);
    EXPECT_EQ(timecodesWellFormed.load(), STORM_QUERIES);
    EXPECT_TRUE(player.Running());
    // Last request was a pause: it stands still, picture and display agreeing.
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{25, false}), 0)
        << "display " << player.Display() << ", picture " << player.PictureFrame();
    EXPECT_EQ(Ctl("locate 00:00:00:10").exitCode, 0);
    EXPECT_TRUE(player.WaitForFrame(10, 25));
    CtlResult play = Ctl("play");
    EXPECT_EQ(play.exitCode, 0);
    EXPECT_TRUE(player.WaitForAdvance()) << "after the storm";
}

}  // namespace
