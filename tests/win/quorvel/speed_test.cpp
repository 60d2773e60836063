// Playing at a speed: the position advances at that speed against the wall clock, the picture
// and the report agree whenever it stands still, and a change of speed keeps the position.
#include <gtest/gtest.h>

#include <string>

#include "bound_engine.h"
#include "platform/quorvel.h"
#include "tests/support/sound.h"

namespace {

const DWORD SETTLE_MS = 600;
const DWORD MEASURE_MS = 4000;
const double RATE = 25.0;
const double SPEED_TOLERANCE = 0.03;
const LONG LONG_CLIP_LAST = 299;
const int PICTURE_SAMPLES = 10;
const DWORD PICTURE_SAMPLE_GAP_MS = 70;

// The pace of the media against the wall clock, from the reports of the next ms milliseconds.
// Timed from report to report where the frame changed: each end is then late by less than one
// report tick, whatever the speed.
double MeasuredSpeed(DWORD ms)
{
    size_t from = g_host.reports.size();
    Pump(ms);
    const auto &r = g_host.reports;
    const auto &t = g_host.reportTicks;
    size_t first = 0, last = 0;
    for (size_t i = from > 0 ? from : 1; i < r.size(); i++) {
        if (r[i] == r[i - 1])
            continue;
        if (!first)
            first = i;
        last = i;
    }
    if (!first || last == first || t[last] == t[first])
        return 0;
    double mediaSeconds = (r[last] - r[first]) / RATE;
    return mediaSeconds / ((t[last] - t[first]) / 1000.0);
}

// The engine keeps its speed for the next file: every test leaves it normal.
template <class Base> class AtSpeed : public BoundEngine<Base> {
protected:
    void TearDown() override
    {
        QuorvelControl(QUORVEL_SPEED, SPEED_NORMAL);
        BoundEngine<Base>::TearDown();
    }
};

class SpeedRequest : public AtSpeed<::testing::Test> {};

class Speed : public AtSpeed<::testing::TestWithParam<const char *>> {
protected:
    void OpenPlaying()
    {
        ASSERT_TRUE(QuorvelSetFile(Clip(GetParam()).c_str()));
        ASSERT_TRUE(WaitFor([] { return LastReport() >= 2; }, REPORT_DEADLINE_MS));
    }
    void ExpectStill(LONG expected, const std::string &what)
    {
        EXPECT_EQ(expected, LastReport()) << what;
        EXPECT_EQ(expected, PictureFrame(host)) << what;
    }
};

TEST_P(Speed, PositionAdvancesAtTheSpeedAgainstTheWallClock)
{
    OpenPlaying();
    for (LONG percent : {50, 200, 100}) {
        QuorvelControl(QUORVEL_SEEK, 0);
        QuorvelControl(QUORVEL_SPEED, percent);
        QuorvelControl(QUORVEL_PLAY, 0);
        Pump(SETTLE_MS);
        // The pictures follow the same clock: what is shown is what is reported, within one frame.
        // Reports come once a tick, at 200 % two frames apart, and reading the picture back takes
        // a while: the picture is held against the reports just before and just after it.
        for (int i = 0; i < PICTURE_SAMPLES; i++) {
            Pump(PICTURE_SAMPLE_GAP_MS);
            LONG before = LastReport();
            LONG picture = PictureFrame(host);
            WaitFor([&] { return LastReport() != before; }, REPORT_DEADLINE_MS);
            LONG after = LastReport();
            EXPECT_GE(picture, before - 1) << "at " << percent << " %, reports " << before
                                           << " and " << after;
            EXPECT_LE(picture, after + 1) << "at " << percent << " %, reports " << before
                                          << " and " << after;
        }
        double speed = MeasuredSpeed(MEASURE_MS);
        EXPECT_NEAR(percent / 100.0, speed, percent / 100.0 * SPEED_TOLERANCE)
            << "at " << percent << " %";
        QuorvelControl(QUORVEL_PAUSE, 0);
        Pump(100);
        ExpectStill(LastReport(), "paused after playing at " + std::to_string(percent) + " %");
    }
}

TEST_P(Speed, PausedLocatesAndStepsStayExactAtAnySpeed)
{
    OpenPlaying();
    QuorvelControl(QUORVEL_PAUSE, 0);
    for (LONG percent : {50, 200, 130}) {
        QuorvelControl(QUORVEL_SPEED, percent);
        ExpectStill(LastReport(), "after the change to " + std::to_string(percent) + " %");
        for (LONG frame : {37L, LONG_CLIP_LAST, 0L, 180L}) {
            QuorvelControl(QUORVEL_SEEK, frame);
            ExpectStill(frame, "seek " + std::to_string(frame) + " at " + std::to_string(percent));
        }
        QuorvelControl(QUORVEL_STEP, -3);
        ExpectStill(177, "step back at " + std::to_string(percent));
    }
}

// A change while playing neither jumps nor stops: the position goes on from where it was, at
// the new pace, whether or not the graph's clock has to change for it.
TEST_P(Speed, ChangeWhilePlayingKeepsThePosition)
{
    OpenPlaying();
    QuorvelControl(QUORVEL_SEEK, 50);
    QuorvelControl(QUORVEL_PLAY, 0);
    Pump(SETTLE_MS);
    const struct {
        LONG percent;
        const char *what;
    } changes[] = {{150, "normal to 150 (new clock)"}, {60, "150 to 60 (same clock)"},
                   {100, "60 to normal (new clock)"}, {90, "normal to 90 (new clock again)"},
                   {100, "90 to normal again"}};
    for (auto c : changes) {
        LONG before = LastReport();
        EXPECT_EQ(c.percent, QuorvelControl(QUORVEL_SPEED, c.percent));
        Pump(100);
        LONG after = LastReport();
        EXPECT_GE(after, before - 1) << c.what;
        EXPECT_LE(after, before + 6) << c.what;
        Pump(500);
        EXPECT_GT(LastReport(), after) << c.what << ": not playing on";
    }
    // Changes in quick succession, each clock taken just after the one before started.
    for (LONG percent : {110, 100, 90, 100, 120})
        EXPECT_EQ(percent, QuorvelControl(QUORVEL_SPEED, percent));
    LONG before = LastReport();
    Pump(500);
    EXPECT_GT(LastReport(), before) << "not playing on after quick changes";
}

TEST_F(SpeedRequest, RequestHoldsTheSpeedToItsRangeAndWorksWithoutAFile)
{
    const struct {
        LONG asked, answered;
    } cases[] = {{50, 50}, {49, 50}, {0, 50}, {-120, 50}, {200, 200}, {201, 200}, {100000, 200},
                 {110, 110}, {100, 100}};
    for (auto c : cases)
        EXPECT_EQ(c.answered, QuorvelControl(QUORVEL_SPEED, c.asked)) << c.asked;
}

INSTANTIATE_TEST_SUITE_P(Clips, Speed, ::testing::Values("long.avi", "longaac.mp4"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// The sound keeps its pitch at other speeds, and the stock sound path is back at normal speed.
// A stock renderer that had played a while, left the graph and come back once overran its buffer
// under Wine: the way back is taken after playing at normal speed for longer than that buffer.
TEST_F(SpeedRequest, SoundKeepsItsPitchAtOtherSpeedsAndComesBackAtNormal)
{
    if (!SoundServerAvailable())
        GTEST_SKIP() << "no sound server (PULSE_SERVER is not set; ./vantorel test starts one)";
    const double PITCH_SHARE = 0.02;
    const DWORD PLAYED_A_WHILE_MS = 1500, STOCK_SETTLE_MS = 700;
    ASSERT_TRUE(QuorvelSetFile(Clip("longaac.mp4").c_str()));
    ASSERT_TRUE(WaitFor([] { return LastReport() >= 5; }, REPORT_DEADLINE_MS));
    for (LONG percent : {150L, 60L}) {
        Pump(PLAYED_A_WHILE_MS);
        QuorvelControl(QUORVEL_SPEED, percent);  // while playing at normal speed
        Pump(300);
        SinkRecording stretched = RecordSink(RECORD_MS);
        ASSERT_TRUE(stretched.available) << stretched.why;
        EXPECT_TRUE(IsTone(stretched, TONE_HZ, PITCH_SHARE))
            << "rms " << stretched.rms << ", " << stretched.frequency << " Hz at " << percent;

        QuorvelControl(QUORVEL_SPEED, SPEED_NORMAL);
        QuorvelControl(QUORVEL_SEEK, 20);
        QuorvelControl(QUORVEL_PLAY, 0);
        // The stock renderer's first moments can carry a gap: it is heard once it has settled.
        Pump(STOCK_SETTLE_MS);
        SinkRecording normal = RecordSink(RECORD_MS);
        ASSERT_TRUE(normal.available) << normal.why;
        EXPECT_TRUE(IsTone(normal, TONE_HZ, TONE_SHARE))
            << "rms " << normal.rms << ", " << normal.frequency << " Hz back at normal speed";
    }
    LONG before = LastReport();
    Pump(300);
    EXPECT_GT(LastReport(), before) << "not playing on at normal speed";
}

}  // namespace
