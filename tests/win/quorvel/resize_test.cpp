// Sizing the Player window while the picture stands still: no size step waits for the picture;
// the frame is shown again once, after the sizing.
#include <gtest/gtest.h>

#include "engine.h"
#include "bound_engine.h"

namespace {

class StillResize : public BoundEngine<> {
protected:
    void Resize(int width, int height)
    {
        RECT frame = {0, 0, width, height};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(host, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        QuorvelMoveVideoWindow();
    }
};

TEST_F(StillResize, SizeStepsDoNotSeekAndThePictureComesBackAfterwards)
{
    ASSERT_TRUE(QuorvelSetFile(Clip("intra25.avi").c_str()));
    QuorvelControl(QUORVEL_SEEK, 40);
    ASSERT_EQ(40, LastReport());
    ClearRecord();
    // A border dragged across twenty sizes, each step handled without pumping in between.
    for (int step = 0; step < 20; step++) {
        Resize(HOST_CLIENT_WIDTH + 7 * (step + 1), HOST_CLIENT_HEIGHT + 3 * (step + 1));
        EXPECT_TRUE(g_engine.pictureStale) << "sought inside size step " << step;
    }
    EXPECT_TRUE(g_host.reports.empty());
    EXPECT_TRUE(WaitFor([&] { return !g_engine.pictureStale && PictureFrame(host) == 40; }, 5000))
        << "picture " << PictureFrame(host);
    EXPECT_EQ(MODE_PAUSED, g_engine.mode);

    // Playing, a resize leaves the running picture alone.
    QuorvelControl(QUORVEL_PLAY, 0);
    Resize(HOST_CLIENT_WIDTH, HOST_CLIENT_HEIGHT);
    EXPECT_FALSE(g_engine.pictureStale);
}

}  // namespace
