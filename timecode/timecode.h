// The timecode model: frame numbers, the timecode format of a file and the text, packed and offset
// forms of a timecode. Pure code, no platform call: it also builds with the host compiler.
#pragma once

#include <stdint.h>

enum {
    TIMECODE_TEXT_LENGTH = 12,  // " HH:MM:SS:FF", or " HH:MM:SS;FF" for drop-frame
    TIMECODE_BUFFER_SIZE = 16,  // every timecode text buffer
    TIMECODE_DEFAULT_BASE = 25,
};

// How a file's frames are numbered: the frames of one timecode second (24, 25, 30, 50 or 60) and
// whether drop-frame numbering applies (only at 30 and 60: the 29.97 and 59.94 video rates). Every
// operation takes it explicitly; none keeps any state between calls.
struct TimecodeFormat {
    int base;
    bool dropFrame;
};

// The base 25 without drop-frame: in force until a file is opened.
extern const TimecodeFormat DefaultTimecodeFormat;

// The format of a frame-rate text as the settings file holds it: the decimal number at its start
// rounds to the base ("23.98" 24, "29.97" 30, "59.94" 60); a rate that rounds to none of the five
// bases, or no number at all, counts at 25. "DF" after the number (any letter case, blanks between
// allowed, nothing after it) asks for drop-frame numbering, which only the bases 30 and 60 have.
TimecodeFormat TimecodeFormatFromRateText(const char *rateText);

// The zero timecode, also the built-in default of the TC offset.
extern const char ZeroTimecodeText[];

// Positions wrap round 24 hours (for drop-frame: round the frames of a drop-frame day). Drop-frame
// texts have ';' before the frames. A text's separators may be ':' or ';' in any format; the
// format, not the text, decides the numbering. A label that drop-frame numbering skips (00:01:00;00)
// counts as the first frame after it.
char *FormatTimecode(char *buffer, int32_t frame, TimecodeFormat format);
uint32_t PackTimecode(int32_t frame, TimecodeFormat format);
int32_t UnpackTimecode(uint32_t packed, TimecodeFormat format);
int32_t ParseTimecode(const char *text, TimecodeFormat format);
bool NormalizeTimecode(char *text, TimecodeFormat format);
bool ValidateTimecode(const char *text, TimecodeFormat format);

// The whole frames per second of a decimal frame rate: the rate plus 0.5, truncated toward zero
// ("23.98" gives 24, "29.97" gives 30). Values beyond what an int holds are clamped.
int TimecodeRateFromFrameRate(double frameRate);

// The frames of one day of timecode: where positions wrap round.
int32_t TimecodeFramesPerDay(TimecodeFormat format);
