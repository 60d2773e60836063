// Frame arithmetic of the engine: media time (100 ns units) to frame numbers and back at the
// counting rate, which is the rate the Player window set, mended where it would mislead.
#pragma once

#include <windows.h>

typedef LONGLONG MediaTime;  // 100 ns units, as DirectShow's REFERENCE_TIME

const double UNITS_PER_SECOND = 1e7;
const double FALLBACK_FRAME_RATE = 25.0;      // when neither the caller nor the media knows
const double SAME_RATE_TOLERANCE = 0.001;     // a set rate this close counts at the media's rate

// The media's exact frame rate from its average frame duration; NTSC-family durations
// (1001/24000 s and so on, rounded to 100 ns by the container) give their exact fraction.
// 0 when the duration is unknown (0 or negative).
double ExactMediaRate(MediaTime averageFrameDuration);

// The rate frames are counted at: the set rate, except that a rate within 0.1% of the media's
// counts at the media's exact rate, and 0, negative, infinite or NaN counts at the media's own
// rate (FALLBACK_FRAME_RATE when that is unknown too).
double CountingRate(double setRate, double mediaRate);

// The middle of frame n: a seek there shows frame n, a seek one unit before its start would not.
MediaTime FrameCentre(LONG frame, double rate);
// The frame whose interval holds media time t.
LONG FrameAtTime(MediaTime t, double rate);
// The frame starting at media time t (sample time stamps): rounded, not truncated.
LONG FrameStartingAt(MediaTime t, double rate);
// Number of frames in a duration (0 for none).
LONG FrameCount(MediaTime duration, double rate);
// n clamped to the first and last frame of a media with count frames.
LONG ClampFrame(LONGLONG n, LONG count);
// The frame at a percentage 0 to 100 of the duration (out-of-range percentages clamped).
LONG FrameAtPercent(LONG percent, LONG count);
// The period of the report timer while playing at rate: two ticks a frame, so that every frame
// shown gets its report, within 10 to 40 ms.
UINT ReportTickMs(double rate);

// Where a picture of the given size goes in a band, letterboxed to its aspect ratio.
RECT LetterboxRect(int bandWidth, int bandHeight, int videoWidth, int videoHeight);
