// Transport requests on real clips: the report and the picture must both name the frame asked for.
#include <gtest/gtest.h>

#include "bound_engine.h"
#include "platform/quorvel.h"

namespace {

const DWORD END_DEADLINE_MS = 6000;
const LONG CLIP_FRAMES = 100;
const LONG LAST = CLIP_FRAMES - 1;

class Transport : public BoundEngine<::testing::TestWithParam<const char *>> {
protected:
    void Open(const char *clip)
    {
        ASSERT_TRUE(QuorvelSetFile(Clip(clip).c_str())) << clip;
        ASSERT_FALSE(g_host.reports.empty()) << "no report from within QuorvelSetFile";
        EXPECT_EQ(0, g_host.reports.front());
    }
    // The still picture after a request: the last report and the picture must agree.
    void ExpectStill(LONG expected, const char *what)
    {
        EXPECT_EQ(expected, LastReport()) << what;
        EXPECT_EQ(expected, PictureFrame(host)) << what;
    }
};

TEST_P(Transport, SeekShowsExactlyTheFrameAskedFor)
{
    Open(GetParam());
    QuorvelControl(QUORVEL_PAUSE, 0);
    struct {
        LONG request, expected;
    } cases[] = {{0, 0}, {1, 1}, {CLIP_FRAMES / 2, CLIP_FRAMES / 2}, {37, 37}, {LAST, LAST},
                 {LAST + 1, LAST}, {100000, LAST}, {-5, 0}, {73, 73}, {2, 2}};
    for (auto c : cases) {
        QuorvelControl(QUORVEL_SEEK, c.request);
        ExpectStill(c.expected, ("seek " + std::to_string(c.request)).c_str());
    }
}

TEST_P(Transport, StepMovesByTheSignedCountAndStaysPaused)
{
    Open(GetParam());
    QuorvelControl(QUORVEL_SEEK, 10);
    struct {
        LONG step, expected;
    } cases[] = {{+1, 11}, {-1, 10}, {+25, 35}, {-40, 0}, {+500, LAST}, {0, LAST}};
    for (auto c : cases) {
        QuorvelControl(QUORVEL_STEP, c.step);
        ExpectStill(c.expected, ("step " + std::to_string(c.step)).c_str());
    }
    size_t reports = g_host.reports.size();
    Pump(200);
    EXPECT_EQ(reports, g_host.reports.size()) << "reports while paused";
}

TEST_P(Transport, SliderGoesToThePercentageOfTheDuration)
{
    Open(GetParam());
    struct {
        LONG percent, expected;
    } cases[] = {{0, 0}, {50, 50}, {100, LAST}, {25, 25}, {-3, 0}, {250, LAST}};
    for (auto c : cases) {
        QuorvelControl(QUORVEL_SLIDER, c.percent);
        ExpectStill(c.expected, ("slider " + std::to_string(c.percent)).c_str());
    }
}

TEST_P(Transport, PlayReportsRisingFramesUntilPauseThenPictureAgrees)
{
    Open(GetParam());
    ASSERT_TRUE(WaitFor([] { return LastReport() >= 10; }, REPORT_DEADLINE_MS));
    QuorvelControl(QUORVEL_PAUSE, 0);
    LONG paused = LastReport();
    for (size_t i = 1; i < g_host.reports.size(); i++)
        EXPECT_LE(g_host.reports[i - 1], g_host.reports[i]) << "report " << i << " went back";
    ExpectStill(paused, "after pause");
    size_t reports = g_host.reports.size();
    Pump(300);
    EXPECT_EQ(reports, g_host.reports.size()) << "reports after pause";
    // Stop goes to frame 0 and shows it.
    QuorvelControl(QUORVEL_PLAY, 0);
    ASSERT_TRUE(WaitFor([&] { return LastReport() > paused; }, REPORT_DEADLINE_MS));
    QuorvelControl(QUORVEL_STOP, 0);
    ExpectStill(0, "after stop");
}

// While playing, the report follows the picture, not the graph clock that runs ahead of it.
TEST_P(Transport, ReportsWhilePlayingNameThePictureWithinOneFrame)
{
    const int SAMPLES = 10, ENOUGH = 7;  // a capture can fall between report and repaint
    Open(GetParam());
    ASSERT_TRUE(WaitFor([] { return LastReport() >= 5; }, REPORT_DEADLINE_MS));
    int close = 0;
    std::string seen;
    for (int i = 0; i < SAMPLES; i++) {
        Pump(50);
        int picture = PictureFrame(host);
        close += picture >= 0 && abs(picture - LastReport()) <= 1;
        seen += " " + std::to_string(LastReport()) + "/" + std::to_string(picture);
    }
    EXPECT_GE(close, ENOUGH) << "report/picture:" << seen;
}

TEST_P(Transport, WindingMovesTheRightWayAndPausesAtEitherEnd)
{
    Open(GetParam());
    QuorvelControl(QUORVEL_SEEK, 50);
    ClearRecord();
    QuorvelControl(QUORVEL_FORWARD, 0);
    ASSERT_TRUE(WaitFor([] { return LastReport() > 60; }, REPORT_DEADLINE_MS)) << "forward";
    ASSERT_TRUE(WaitFor([] { return !g_host.notices.empty(); }, END_DEADLINE_MS));
    EXPECT_EQ(std::vector<LONG>{ENGINE_NOTIFY_PAUSED}, g_host.notices);
    EXPECT_TRUE(g_host.remote.empty());
    ExpectStill(LAST, "forward to the end");

    QuorvelControl(QUORVEL_SEEK, 50);
    ClearRecord();
    QuorvelControl(QUORVEL_REWIND, 0);
    ASSERT_TRUE(WaitFor([] { return LastReport() >= 0 && LastReport() < 40; }, REPORT_DEADLINE_MS))
        << "rewind";
    ASSERT_TRUE(WaitFor([] { return !g_host.notices.empty(); }, END_DEADLINE_MS));
    EXPECT_EQ(std::vector<LONG>{ENGINE_NOTIFY_PAUSED}, g_host.notices);
    EXPECT_TRUE(g_host.remote.empty());
    ExpectStill(0, "rewind to the start");
}

TEST_P(Transport, WindingStopsAtTheNextTransportRequest)
{
    Open(GetParam());
    QuorvelControl(QUORVEL_SEEK, 20);
    QuorvelControl(QUORVEL_FORWARD, 0);
    ASSERT_TRUE(WaitFor([] { return LastReport() > 25; }, REPORT_DEADLINE_MS));
    QuorvelControl(QUORVEL_PAUSE, 0);
    LONG at = LastReport();
    EXPECT_LT(at, LAST);
    ExpectStill(at, "pause while winding");
    Pump(300);
    EXPECT_EQ(at, LastReport());
    EXPECT_TRUE(g_host.notices.empty());
}

// The last two have sound, which makes the sound renderer the graph's clock.
INSTANTIATE_TEST_SUITE_P(Clips, Transport,
                         ::testing::Values("intra25.avi", "h264.mp4", "h264aac.mp4", "mpeg4mp3.avi"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
