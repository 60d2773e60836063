#include "peaks.h"

#include <limits.h>

namespace {

// The top 16 bits of one sample; 8-bit PCM is unsigned with its centre at 128.
short SampleAt(const BYTE *p, int bytesPerSample)
{
    if (bytesPerSample == 1)
        return (short)((p[0] - 128) * 256);
    return (short)(p[bytesPerSample - 1] << 8 | p[bytesPerSample - 2]);
}

}  // namespace

void ClearPeaks(Peaks *peaks)
{
    for (int i = 0; i < WAVEFORM_BUCKETS; i++) {
        peaks->minima[i] = SHRT_MAX;
        peaks->maxima[i] = SHRT_MIN;
    }
}

bool BucketEmpty(const Peaks &peaks, int bucket) { return peaks.minima[bucket] > peaks.maxima[bucket]; }

int BucketOf(LONGLONG position, LONGLONG total)
{
    if (total <= 0 || position < 0)
        return 0;
    if (position >= total)
        return WAVEFORM_BUCKETS - 1;
    return (int)(position * WAVEFORM_BUCKETS / total);
}

LONG AddPeaks(const BYTE *data, LONG bytes, PcmLayout layout, LONGLONG first, LONGLONG total,
              Peaks *peaks)
{
    if (!data || bytes <= 0 || layout.channels < 1 || layout.bytesPerSample < 1 ||
        layout.bytesPerSample > 4)
        return 0;
    const LONG positionBytes = layout.channels * layout.bytesPerSample;
    const LONG positions = bytes / positionBytes;
    for (LONG i = 0; i < positions; i++) {
        int bucket = BucketOf(first + i, total);
        const BYTE *p = data + i * positionBytes;
        for (int c = 0; c < layout.channels; c++, p += layout.bytesPerSample) {
            short s = SampleAt(p, layout.bytesPerSample);
            if (s < peaks->minima[bucket])
                peaks->minima[bucket] = s;
            if (s > peaks->maxima[bucket])
                peaks->maxima[bucket] = s;
        }
    }
    return positions;
}

void ColumnBuckets(int x, int width, int *from, int *to)
{
    if (width < 1)
        width = 1;
    *from = (int)((LONGLONG)x * WAVEFORM_BUCKETS / width);
    *to = (int)((LONGLONG)(x + 1) * WAVEFORM_BUCKETS / width);
    if (*from >= WAVEFORM_BUCKETS)
        *from = WAVEFORM_BUCKETS - 1;
    if (*to <= *from)
        *to = *from + 1;
    if (*to > WAVEFORM_BUCKETS)
        *to = WAVEFORM_BUCKETS;
}
