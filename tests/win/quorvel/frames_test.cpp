// The engine's frame arithmetic: counting rate, frame times, clamping and the letterbox.
#include <gtest/gtest.h>

#include <math.h>

#include "frames.h"

namespace {

const double NTSC = 30000.0 / 1001, FILM = 24000.0 / 1001;

TEST(Frames, MediaRateFromTheAverageFrameDuration)
{
    struct {
        MediaTime duration;
        double rate;
    } cases[] = {{400000, 25.0}, {333667, NTSC}, {333666, NTSC}, {417083, FILM}, {416667, 24.0},
                 {166833, 60000.0 / 1001}, {200000, 50.0}, {0, 0.0}, {-5, 0.0},
                 {370000, 1e7 / 370000}};
    for (auto c : cases)
        EXPECT_DOUBLE_EQ(c.rate, ExactMediaRate(c.duration)) << c.duration;
}

// While playing, every frame shown gets a report: the timer ticks at least once per frame.
TEST(Frames, ReportTimerTicksTwiceAFrameWithinItsBounds)
{
    struct {
        double rate;
        UINT ms;
    } cases[] = {{25.0, 20}, {NTSC, 16}, {24.0, 20}, {50.0, 10}, {60.0, 10}, {100.0, 10},
                 {10.0, 40}, {1.0, 40}, {0.0, 40}, {-3.0, 40}, {NAN, 40}};
    for (auto c : cases) {
        EXPECT_EQ(c.ms, ReportTickMs(c.rate)) << c.rate;
        if (c.rate > 0 && c.rate <= 100) {
            EXPECT_LE(ReportTickMs(c.rate), 1000.0 / c.rate) << c.rate;
        }
    }
}

TEST(Frames, CountingRateMendsRatesThatWouldMislead)
{
    struct {
        double set, media, counting;
    } cases[] = {
        {25.0, 25.0, 25.0},   {30.0, 25.0, 30.0},  {29.97, NTSC, NTSC}, {23.98, FILM, FILM},
        {30.0, NTSC, 30.0},   {29.95, NTSC, NTSC}, {29.9, NTSC, 29.9},  {24.0, FILM, FILM},  {0.0, NTSC, NTSC},
        {-25.0, 25.0, 25.0},  {NAN, 50.0, 50.0},   {INFINITY, 25.0, 25.0},
        {0.0, 0.0, 25.0},     {NAN, 0.0, 25.0},    {12.5, 0.0, 12.5},   {25.0, NAN, 25.0},
    };
    for (auto c : cases)
        EXPECT_DOUBLE_EQ(c.counting, CountingRate(c.set, c.media)) << c.set << " on " << c.media;
}

TEST(Frames, FrameTimesRoundTrip)
{
    for (double rate : {25.0, NTSC, FILM, 30.0, 24.0, 60.0})
        for (LONG frame : {0L, 1L, 2L, 59L, 1000L, 107892L, 2157840L}) {
            MediaTime centre = FrameCentre(frame, rate);
            MediaTime start = (MediaTime)floor(frame * UNITS_PER_SECOND / rate + 0.5);
            EXPECT_EQ(frame, FrameAtTime(centre, rate)) << frame << " at " << rate;
            EXPECT_EQ(frame, FrameAtTime(start, rate)) << "start of " << frame << " at " << rate;
            EXPECT_EQ(frame, FrameStartingAt(start, rate)) << frame << " at " << rate;
            EXPECT_EQ(frame, FrameStartingAt(start - 1, rate)) << "rounded, not truncated";
        }
    EXPECT_EQ(0, FrameAtTime(-400000, 25.0));
    EXPECT_EQ(2147483647L, FrameAtTime(0x7FFFFFFFFFFFFFFFLL, 25.0));
}

TEST(Frames, CountsClampsAndPercentages)
{
    EXPECT_EQ(100, FrameCount(40000000, 25.0));
    EXPECT_EQ(120, FrameCount(40000000, 30.0));
    EXPECT_EQ(60, FrameCount(20020000, NTSC));
    EXPECT_EQ(0, FrameCount(0, 25.0));
    struct {
        LONGLONG n;
        LONG count, clamped;
    } clamps[] = {{5, 100, 5}, {-1, 100, 0}, {100, 100, 99}, {1LL << 40, 100, 99}, {7, 0, 0}};
    for (auto c : clamps)
        EXPECT_EQ(c.clamped, ClampFrame(c.n, c.count)) << c.n;
    struct {
        LONG percent, count, frame;
    } percents[] = {{0, 100, 0}, {50, 100, 50}, {100, 100, 99}, {-20, 100, 0}, {300, 100, 99},
                    {50, 1, 0}, {50, 0, 0}, {33, 1000000, 330000}};
    for (auto c : percents)
        EXPECT_EQ(c.frame, FrameAtPercent(c.percent, c.count)) << c.percent << "% of " << c.count;
}

TEST(Frames, LetterboxKeepsTheAspectRatioCentred)
{
    struct {
        int bandW, bandH, videoW, videoH;
        RECT expected;
    } cases[] = {
        {400, 300, 320, 240, {0, 0, 400, 300}},      {600, 200, 320, 240, {167, 0, 433, 200}},
        {400, 600, 320, 240, {0, 150, 400, 450}},    {400, 300, 0, 0, {0, 0, 400, 300}},
        {0, 0, 320, 240, {0, 0, 0, 0}},              {-5, -40, 320, 240, {0, 0, 0, 0}},
        {1280, 200, 1920, 1080, {462, 0, 817, 200}},
    };
    for (auto c : cases) {
        RECT r = LetterboxRect(c.bandW, c.bandH, c.videoW, c.videoH);
        EXPECT_TRUE(EqualRect(&r, &c.expected))
            << c.bandW << "x" << c.bandH << ": " << r.left << "," << r.top << "," << r.right << ","
            << r.bottom;
    }
}

}  // namespace
