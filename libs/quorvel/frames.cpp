#include "frames.h"

#include <math.h>

namespace {

// Rates whose frame durations are not whole 100 ns units; the container rounds them.
const double NTSC_RATES[] = {24000.0 / 1001, 30000.0 / 1001, 48000.0 / 1001, 60000.0 / 1001,
                             120000.0 / 1001};
// Relative error a rounded 100 ns frame duration can carry at 120 fps and below.
const double ROUNDED_DURATION_TOLERANCE = 2e-5;

bool Near(double a, double b, double relative) { return fabs(a - b) <= relative * b; }

}  // namespace

double ExactMediaRate(MediaTime averageFrameDuration)
{
    if (averageFrameDuration <= 0)
        return 0.0;
    double rate = UNITS_PER_SECOND / (double)averageFrameDuration;
    for (double ntsc : NTSC_RATES)
        if (Near(rate, ntsc, ROUNDED_DURATION_TOLERANCE))
            return ntsc;
    double whole = floor(rate + 0.5);
    if (whole >= 1 && Near(rate, whole, ROUNDED_DURATION_TOLERANCE))
        return whole;
    return rate;
}

double CountingRate(double setRate, double mediaRate)
{
    bool mediaKnown = mediaRate > 0 && isfinite(mediaRate);
    if (!(setRate > 0) || !isfinite(setRate))
        return mediaKnown ? mediaRate : FALLBACK_FRAME_RATE;
    if (mediaKnown && Near(setRate, mediaRate, SAME_RATE_TOLERANCE))
        return mediaRate;
    return setRate;
}

MediaTime FrameCentre(LONG frame, double rate)
{
    return (MediaTime)floor(((double)frame + 0.5) * UNITS_PER_SECOND / rate + 0.5);
}

LONG FrameAtTime(MediaTime t, double rate)
{
    // One unit of tolerance: a frame's start time, rounded to 100 ns, still lies inside it.
    double frames = ((double)t + 1.0) * rate / UNITS_PER_SECOND;
    if (frames < 0)
        return 0;
    if (frames > 2147483647.0)
        return 2147483647L;
    return (LONG)floor(frames);
}

LONG FrameStartingAt(MediaTime t, double rate)
{
    double frames = floor((double)t * rate / UNITS_PER_SECOND + 0.5);
    if (frames < 0)
        return 0;
    if (frames > 2147483647.0)
        return 2147483647L;
    return (LONG)frames;
}

LONG FrameCount(MediaTime duration, double rate)
{
    if (duration <= 0)
        return 0;
    return FrameStartingAt(duration, rate);
}

LONG ClampFrame(LONGLONG n, LONG count)
{
    if (count <= 0 || n < 0)
        return 0;
    if (n > count - 1)
        return count - 1;
    return (LONG)n;
}

LONG FrameAtPercent(LONG percent, LONG count)
{
    const LONG FULL = 100;
    if (percent < 0)
        percent = 0;
    if (percent > FULL)
        percent = FULL;
    if (count <= 0)
        return 0;
    return (LONG)(((LONGLONG)(count - 1) * percent + FULL / 2) / FULL);
}

RECT LetterboxRect(int bandWidth, int bandHeight, int videoWidth, int videoHeight)
{
    RECT r = {0, 0, bandWidth > 0 ? bandWidth : 0, bandHeight > 0 ? bandHeight : 0};
    if (videoWidth <= 0 || videoHeight <= 0 || r.right == 0 || r.bottom == 0)
        return r;
    // Whichever side limits the picture fills the band; the other is centred.
    if ((LONGLONG)r.right * videoHeight > (LONGLONG)r.bottom * videoWidth) {
        int width = (int)((LONGLONG)r.bottom * videoWidth / videoHeight);
        r.left = (r.right - width) / 2;
        r.right = r.left + width;
    } else {
        int height = (int)((LONGLONG)r.right * videoHeight / videoWidth);
        r.top = (r.bottom - height) / 2;
        r.bottom = r.top + height;
    }
    return r;
}

UINT ReportTickMs(double rate)
{
    const UINT MIN_TICK_MS = 10, MAX_TICK_MS = 40;
    if (!(rate > 0))
        return MAX_TICK_MS;
    double ms = 1000.0 / (2.0 * rate);
    return ms < MIN_TICK_MS ? MIN_TICK_MS : ms > MAX_TICK_MS ? MAX_TICK_MS : (UINT)ms;
}
