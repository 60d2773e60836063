// A clip with sound plays its sound: the tone reaches the sound server's null sink while the
// pictures keep their frame numbers.
#include <gtest/gtest.h>

#include "bound_engine.h"
#include "tests/support/sound.h"

namespace {

const int QUIET_DEADLINE_MS = 3000;  // the sound on its way to the server plays out first

class Sound : public BoundEngine<::testing::TestWithParam<const char *>> {};

TEST_P(Sound, PlaysTheToneIntoTheSinkAndStopsWithThePause)
{
    if (!SoundServerAvailable())
        GTEST_SKIP() << "no sound server (PULSE_SERVER is not set; ./vantorel test starts one)";
    ASSERT_TRUE(QuorvelSetFile(Clip(GetParam()).c_str()));
    ASSERT_TRUE(WaitFor([] { return LastReport() >= 5; }, REPORT_DEADLINE_MS));
    SinkRecording playing = RecordSink(RECORD_MS);
    ASSERT_TRUE(playing.available) << playing.why;
    EXPECT_TRUE(IsTone(playing, TONE_HZ, TONE_SHARE))
        << "rms " << playing.rms << ", " << playing.frequency << " Hz in " << playing.samples
        << " samples";
    EXPECT_GT(LastReport(), 5) << "the pictures stood still while the sound played";

    QuorvelControl(QUORVEL_PAUSE, 0);
    SinkRecording paused = RecordOnceQuiet(TONE_HZ, TONE_SHARE, QUIET_DEADLINE_MS, RECORD_MS);
    ASSERT_TRUE(paused.available) << paused.why;
    EXPECT_FALSE(IsTone(paused, TONE_HZ, TONE_SHARE)) << "rms " << paused.rms << " while paused";
}

INSTANTIATE_TEST_SUITE_P(Clips, Sound, ::testing::Values("h264aac.mp4", "mpeg4mp3.avi", "h264mp3.mp4"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
