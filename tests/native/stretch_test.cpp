// The time-stretcher: sound at another speed keeps its pitch and its loudness, lasts as much
// longer or shorter as the speed says, has no click where segments or input blocks meet, and
// comes out unchanged at normal speed.
#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>

#include <vector>

#include "libs/quorvel/stretch.h"

namespace {

const int RATE = 44100;
const double PI = 3.14159265358979323846;
const double TONE_HZ = 440, TONE_AMPLITUDE = 12000;

std::vector<int16_t> Tone(double hertz, double seconds, int channels = 1)
{
    std::vector<int16_t> samples;
    int frames = (int)(seconds * RATE);
    for (int i = 0; i < frames; i++)
        for (int c = 0; c < channels; c++)
            samples.push_back((int16_t)lround(TONE_AMPLITUDE * sin(2 * PI * hertz * i / RATE)));
    return samples;
}

// Input cut into blocks of the given sizes in turn (0: all at once).
std::vector<int16_t> Stretch(const std::vector<int16_t> &input, double speed, int channels = 1,
                             std::vector<size_t> blocks = {0})
{
    TimeStretch s;
    StartTimeStretch(&s, RATE, channels, speed);
    std::vector<int16_t> output;
    size_t frames = input.size() / channels, at = 0;
    for (size_t i = 0; at < frames; i++) {
        size_t block = blocks[i % blocks.size()];
        size_t count = block == 0 || at + block > frames ? frames - at : block;
        PushTimeStretch(&s, &input[at * channels], count, &output);
        at += count;
    }
    EndTimeStretch(&s, &output);
    return output;
}

// One channel's samples from the middle half of a stretched tone (no fade at either end), at
// most half a second of them.
std::vector<double> Middle(const std::vector<int16_t> &samples, int channels = 1, int channel = 0)
{
    std::vector<double> middle;
    size_t frames = samples.size() / channels;
    for (size_t i = frames / 4; i < frames * 3 / 4 && middle.size() < RATE / 2; i++)
        middle.push_back(samples[i * channels + channel]);
    return middle;
}

// The strongest frequency between 100 Hz and 1500 Hz, to 1 Hz (Goertzel's filter at each).
double StrongestFrequency(const std::vector<double> &x)
{
    double best = 0, bestPower = -1;
    for (double f = 100; f <= 1500; f += 1) {
        double coefficient = 2 * cos(2 * PI * f / RATE), s1 = 0, s2 = 0;
        for (double v : x) {
            double s0 = v + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        if (power > bestPower) {
            bestPower = power;
            best = f;
        }
    }
    return best;
}

double Rms(const std::vector<double> &x)
{
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return sqrt(sum / x.size());
}

// The biggest step from one sample to the next: a click is a step far bigger than the tone's.
double LargestStep(const std::vector<double> &x)
{
    double most = 0;
    for (size_t i = 1; i < x.size(); i++)
        most = fmax(most, fabs(x[i] - x[i - 1]));
    return most;
}

const double TONE_STEP = TONE_AMPLITUDE * 2 * PI * TONE_HZ / RATE;  // the steepest a pure tone gets

}  // namespace

TEST(TimeStretch, ToneKeepsItsPitchLoudnessAndSmoothnessAtAnySpeed)
{
    std::vector<int16_t> tone = Tone(TONE_HZ, 1.0);
    for (double speed : {0.5, 0.6, 0.9, 1.3, 2.0}) {
        std::vector<double> middle = Middle(Stretch(tone, speed));
        EXPECT_NEAR(StrongestFrequency(middle), TONE_HZ, TONE_HZ * 0.02) << speed;
        EXPECT_NEAR(Rms(middle), TONE_AMPLITUDE / sqrt(2.0), TONE_AMPLITUDE * 0.1) << speed;
        EXPECT_LT(LargestStep(middle), TONE_STEP * 1.2) << speed;
    }
}

TEST(TimeStretch, LengthScalesByTheSpeed)
{
    std::vector<int16_t> tone = Tone(TONE_HZ, 1.0);
    const double WINDOW_FRAMES = RATE * 0.030;
    for (double speed : {0.5, 0.6, 1.0, 1.5, 2.0}) {
        double expected = tone.size() / speed;
        EXPECT_NEAR((double)Stretch(tone, speed).size(), expected, WINDOW_FRAMES) << speed;
    }
}

// Sound arrives from the decoder in blocks of whatever size it likes: the output must not
// depend on where they were cut, or every cut would be a possible click.
TEST(TimeStretch, BlockJoinsLeaveNoTrace)
{
    std::vector<int16_t> tone = Tone(TONE_HZ, 0.5);
    for (double speed : {0.6, 2.0}) {
        std::vector<int16_t> whole = Stretch(tone, speed);
        const std::vector<size_t> cuts[] = {{1}, {441}, {1000, 7, 4410, 333}};
        for (const std::vector<size_t> &blocks : cuts)
            EXPECT_EQ(Stretch(tone, speed, 1, blocks), whole)
                << speed << ", first block " << blocks[0];
    }
}

// After the first half window, which fades in, the input comes out as it went in.
TEST(TimeStretch, NormalSpeedChangesNothing)
{
    std::vector<int16_t> noise;
    srand(3);
    for (int i = 0; i < RATE / 2; i++)
        noise.push_back((int16_t)(rand() % 20001 - 10000));
    std::vector<int16_t> output = Stretch(noise, 1.0);
    const size_t FADE_IN = (size_t)(RATE * 0.015) + 1;
    ASSERT_GE(output.size(), noise.size());
    for (size_t i = FADE_IN; i < noise.size(); i++)
        ASSERT_NEAR(output[i], noise[i], 1) << "sample " << i;
}

// Both channels of a stereo stream are taken from the same places: a tone in each keeps its
// pitch, and the channels stay apart.
TEST(TimeStretch, StereoChannelsStayApart)
{
    std::vector<int16_t> left = Tone(TONE_HZ, 0.5), right = Tone(660, 0.5);
    std::vector<int16_t> stereo;
    for (size_t i = 0; i < left.size(); i++) {
        stereo.push_back(left[i]);
        stereo.push_back(right[i]);
    }
    std::vector<int16_t> output = Stretch(stereo, 0.75, 2);
    EXPECT_NEAR(StrongestFrequency(Middle(output, 2, 0)), TONE_HZ, TONE_HZ * 0.02);
    EXPECT_NEAR(StrongestFrequency(Middle(output, 2, 1)), 660, 660 * 0.02);
}

// A new speed midway goes on without a click.
TEST(TimeStretch, SpeedChangeMidwayIsSmooth)
{
    std::vector<int16_t> tone = Tone(TONE_HZ, 1.0);
    TimeStretch s;
    StartTimeStretch(&s, RATE, 1, 0.5);
    std::vector<int16_t> output;
    PushTimeStretch(&s, tone.data(), tone.size() / 2, &output);
    SetTimeStretchSpeed(&s, 2.0);
    PushTimeStretch(&s, tone.data() + tone.size() / 2, tone.size() / 2, &output);
    EndTimeStretch(&s, &output);
    // The input the stretcher holds ahead (about 40 ms) is taken at the new speed.
    const double AHEAD_FRAMES = RATE * 0.040 * (1 / 0.5 - 1 / 2.0);
    EXPECT_NEAR((double)output.size(), tone.size() / 2 / 0.5 + tone.size() / 2 / 2.0,
                AHEAD_FRAMES);
    EXPECT_LT(LargestStep(Middle(output)), TONE_STEP * 1.2);
}
