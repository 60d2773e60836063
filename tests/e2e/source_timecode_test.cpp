// The file's own timecode from outside: a 29.97 drop-frame QuickTime file recorded from
// 01:00:00;00, played with SourceTimecode=YES, and a copy whose timecode track has breaks.
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/e2e/support.h"
#include "tests/support/quicktime_timecode.h"

using namespace e2e;

namespace {

const char *const SOURCE_TIMECODE_ON = "[Playback]\r\nSourceTimecode=YES\r\n";

class SourceTimecode : public PlayerTest {
protected:
    void StartOnWithFileTimecode(const std::string &file)
    {
        WriteSettings(SettingsText("29.97 DF") + SOURCE_TIMECODE_ON);
        ASSERT_TRUE(player.Start("\"" + file + "\"")) << file;
        ASSERT_TRUE(player.WaitForAdvance()) << player.Display();
        ASSERT_EQ(Ctl("pause").exitCode, 0);
    }
    // Waits until the picture shows frame and the display shows; prints both.
    ::testing::AssertionResult WaitForShown(int frame, const std::string &shown)
    {
        bool agree = WaitFor([&] { return player.PictureFrame() == frame && player.Display() == shown; },
                             SETTLE_DEADLINE_MS);
        if (agree)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "wanted frame " << frame << " shown " << shown
                                             << ", the picture shows " << player.PictureFrame()
                                             << " and the display " << player.Display();
    }
    ::testing::AssertionResult LocateTo(const char *timecode, int frame, const std::string &shown)
    {
        CtlResult located = Ctl(std::string("locate ") + timecode);
        if (located.exitCode != 0)
            return ::testing::AssertionFailure() << "zentrixctl: " << located.output;
        return WaitForShown(frame, shown);
    }
    void PressRight()
    {
        ASSERT_TRUE(player.Activate());
        PressKey(VK_RIGHT);
    }
};

TEST_F(SourceTimecode, RecordedTimecodeIsShownLocatedSteppedTypedAndAnswered)
{
    StartOnWithFileTimecode(Clip("tc-df.mov"));
    EXPECT_NE(player.Title().find("TC from file"), std::string::npos) << player.Title();
    EXPECT_TRUE(LocateTo("01:00:00;00", 0, "01:00:00;00"));
    EXPECT_TRUE(LocateTo("01:00:59;29", 1799, "01:00:59;29"));
    PressRight();
    EXPECT_TRUE(WaitForShown(1800, "01:01:00;02"));
    EXPECT_EQ(Ctl("query").output, "01:01:00:02");

    Notes notes;
    ASSERT_TRUE(notes.Start(NOTES_X, NOTES_Y));
    const std::string expected = "01:01:00;02 ";
    EXPECT_EQ(notes.TypedAfter(VK_F12, expected.size()), expected);
    notes.Close();

    // An offset the user sets for the file wins, at once.
    ASSERT_TRUE(player.SetTcOffset("00:10:00:00"));
    int offset = FrameOfTimecode("00:10:00;00", DROP_FRAME_30);
    EXPECT_TRUE(WaitForShown(1800, TimecodeOfFrame(offset + 1800, DROP_FRAME_30)));
    EXPECT_EQ(player.Title().find("TC from file"), std::string::npos) << player.Title();
}

// The clip's timecode track rewritten with three samples of 600 frames each (1001 ticks a frame
// in the track's 30000): a frame after each break shows the timecode recorded there.
TEST_F(SourceTimecode, EachStretchOfARecordingWithBreaksShowsItsOwnTimecode)
{
    std::ifstream in(Clip("tc-df.mov"), std::ios::binary);
    std::string clip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<TimecodeSample> samples;
    for (const char *start : {"01:00:00;00", "01:10:00;00", "02:00:59;28"})
        samples.push_back(TimecodeSample{(uint32_t)FrameOfTimecode(start, DROP_FRAME_30), 600 * 1001});
    std::string edited = WithTimecodeSamples(clip, samples);
    ASSERT_FALSE(edited.empty());
    std::string path = WorkPath("tc-breaks.mov");
    std::ofstream(path, std::ios::binary) << edited;

    StartOnWithFileTimecode(path);
    EXPECT_TRUE(LocateTo("01:00:19;29", 599, "01:00:19;29"));
    PressRight();
    EXPECT_TRUE(WaitForShown(600, "01:10:00;00"));
    EXPECT_TRUE(LocateTo("01:10:19;29", 1199, "01:10:19;29"));
    PressRight();
    EXPECT_TRUE(WaitForShown(1200, "02:00:59;28"));
    // A timecode of the second stretch, from the third.
    EXPECT_TRUE(LocateTo("01:10:10;10", 600 + 310, "01:10:10;10"));
    EXPECT_EQ(Ctl("query").output, "01:10:10:10");
}

}  // namespace
