// Time-stretching of 16-bit PCM sound (WSOLA: waveform-similarity overlap-add), so that sound
// played faster or slower than recorded keeps its pitch. Pure code, no platform call: it is
// also built with the host compiler for its tests.
//
// It works on a stream: input comes in blocks of any size and output leaves as soon as it is
// ready, and the output does not depend on where the blocks were cut.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct TimeStretch {
    int channels;
    int window;         // frames of one segment, even
    int hop;            // output frames between segments: half a window
    int tolerance;      // how far from its nominal place a segment may be taken, in frames
    double speed;       // input frames consumed per output frame
    std::vector<float> hann;     // the segment window; two at half-window distance sum to 1
    std::vector<float> input;    // interleaved frames, the first at inputBase
    std::vector<float> mixed;    // the same frames, channels summed: what segments are matched by
    long long inputBase;
    double nominal;              // where the next segment would start at an exact speed
    long long previous;          // where the last segment was taken, -1 before the first
    std::vector<float> tail;     // the second half of the last segment, windowed
    bool ended;
};

// A stretcher for sound at sampleRate frames a second with 1 or more interleaved channels.
void StartTimeStretch(TimeStretch *stretch, int sampleRate, int channels, double speed);
// The new speed applies from the next segment on (0.5: half as fast, output twice as long).
void SetTimeStretchSpeed(TimeStretch *stretch, double speed);
// Takes frames of interleaved input, appends to output whatever is ready.
void PushTimeStretch(TimeStretch *stretch, const int16_t *frames, size_t count,
                     std::vector<int16_t> *output);
// The input has ended: appends the rest of the output.
void EndTimeStretch(TimeStretch *stretch, std::vector<int16_t> *output);
