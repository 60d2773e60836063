// The waveform's arithmetic: decoded PCM folded into the lowest and highest sample of each of a
// fixed number of buckets spread evenly over the sound's length, and the buckets shown in each
// pixel column of the band.
#pragma once

#include <windows.h>

const int WAVEFORM_BUCKETS = 2048;

// How the decoder lays out its samples: integer PCM, little-endian, channels interleaved.
struct PcmLayout {
    int channels;
    int bytesPerSample;   // one channel's sample: 1 (unsigned), 2, 3 or 4 (signed)
};

struct Peaks {
    short minima[WAVEFORM_BUCKETS];
    short maxima[WAVEFORM_BUCKETS];
};

// Every bucket empty: its minimum above its maximum.
void ClearPeaks(Peaks *peaks);
bool BucketEmpty(const Peaks &peaks, int bucket);

// The bucket of sample position n (one position holds a sample of every channel) in a sound of
// total positions; positions past the end count to the last bucket.
int BucketOf(LONGLONG position, LONGLONG total);

// Folds a buffer of interleaved samples starting at position first into the peaks, each sample
// taken at 16-bit precision; a sample cut off at the buffer's end is left out. The number of
// positions it held.
LONG AddPeaks(const BYTE *data, LONG bytes, PcmLayout layout, LONGLONG first, LONGLONG total,
              Peaks *peaks);

// The buckets a pixel column x of a band width wide shows: [*from, *to), at least one.
void ColumnBuckets(int x, int width, int *from, int *to);
