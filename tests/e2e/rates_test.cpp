// Drop-frame and 60 fps timecodes from outside: what zentrixctl locates, what the display and the
// picture show, what query answers and what F12 types.
#include <gtest/gtest.h>

#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const TimecodeFormat BASE_60 = {60, false};

using Rates = PlayerTest;

TEST_F(Rates, DropFrameLocatesShowsAnswersAndTypesSmpteNumbers)
{
    struct {
        const char *located;  // as a user types it to zentrixctl
        int frame;            // the picture it must show
        const char *shown;    // the display
    } cases[] = {
        {"00:01:00;02", 1800, "00:01:00;02"},  // the first label of minute one
        {"00:00:59;29", 1799, "00:00:59;29"},
        {"00:01:00;00", 1800, "00:01:00;02"},  // a skipped label: the frame after it
        {"00:01:00:03", 1801, "00:01:00;03"},  // ':' as zentrixctl prints it
        {"00:00:10;00", 300, "00:00:10;00"},
    };
    StartOn(Clip("df-long.mp4"), "29.97 DF");
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display();
    PauseAndSettle(DROP_FRAME_30);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.located);
        CtlResult located = Ctl(std::string("locate ") + c.located);
        ASSERT_EQ(located.exitCode, 0) << located.output;
        EXPECT_TRUE(player.WaitForFrame(c.frame, DROP_FRAME_30));
        EXPECT_EQ(player.Display(), c.shown);
        CtlResult query = Ctl("query");
        EXPECT_EQ(query.exitCode, 0);
        EXPECT_EQ(query.output, ColonForm(c.shown));
    }

    ASSERT_EQ(Ctl("locate 00:01:00;02").exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(1800, DROP_FRAME_30));
    Notes notes;
    ASSERT_TRUE(notes.Start(NOTES_X, NOTES_Y));
    const std::string expected = "00:01:00;02 ";
    EXPECT_EQ(notes.TypedAfter(VK_F12, expected.size()), expected);
    EXPECT_EQ(player.PictureFrame(), 1800);
}

// Seconds of 60 frames: 01:30 is a second and a half, and a 6 s clip is 00:00:06:00 long.
TEST_F(Rates, SixtyFramesASecond)
{
    const int FRAMES = 360;
    StartOn(Clip("sixty.mp4"), "60");
    ASSERT_TRUE(player.WaitForAdvance()) << "the display does not advance: " << player.Display();
    PauseAndSettle(BASE_60);

    ASSERT_EQ(Ctl("locate 00:00:01:30").exitCode, 0);
    EXPECT_TRUE(player.WaitForFrame(90, BASE_60));
    EXPECT_EQ(player.Display(), "00:00:01:30");
    EXPECT_EQ(Ctl("query").output, "00:00:01:30");

    CtlResult length = Ctl("length");
    EXPECT_EQ(length.output, std::to_string(FRAMES));
    EXPECT_EQ(TimecodeOfFrame(atoi(length.output.c_str()), BASE_60), "00:00:06:00");
    // The end: the last picture is a frame short of six seconds; past it stays on it.
    for (const char *end : {"00:00:05:59", "00:00:06:00"}) {
        SCOPED_TRACE(end);
        ASSERT_EQ(Ctl(std::string("locate ") + end).exitCode, 0);
        EXPECT_TRUE(player.WaitForFrame(FRAMES - 1, BASE_60));
        EXPECT_EQ(player.Display(), "00:00:05:59");
    }

    // Played to its end the display stops at the last frame, after six seconds of pictures.
    ASSERT_EQ(Ctl("locate 00:00:05:00").exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(300, BASE_60));
    ASSERT_EQ(Ctl("play").exitCode, 0);
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked() && player.Display() == "00:00:05:59"; },
                        ADVANCE_DEADLINE_MS))
        << player.Display();
}

}  // namespace
