// The timecode model: frame numbers, the timecode base and the text, packed and offset forms of a
// timecode. Pure code, no platform call: it also builds with the host compiler.
#pragma once

#include <stdint.h>

enum {
    TIMECODE_TEXT_LENGTH = 12,  // " HH:MM:SS:FF"
    TIMECODE_BUFFER_SIZE = 16,  // every timecode text buffer
    TIMECODE_DEFAULT_BASE = 25,
};

// The zero timecode, also the built-in default of the TC offset.
extern const char ZeroTimecodeText[];

// Every operation first applies its rate argument: 24, 25 and 30 become the timecode base, any
// other rate leaves the base as it was. The arithmetic always uses the base, never the argument,
// so no rate can divide by zero.
char *FormatTimecode(char *buffer, int32_t frame, int rate);
uint32_t PackTimecode(int32_t frame, int rate);
int32_t UnpackTimecode(uint32_t packed, int rate);
int32_t ParseTimecode(const char *text, int rate);
bool NormalizeTimecode(char *text, int rate);
bool ValidateTimecode(const char *text, int rate);

int GetTimecodeBase(void);

// The whole frames per second of a decimal frame rate: the rate plus 0.5, truncated toward zero
// ("23.98" gives 24, "29.97" gives 30). Values beyond what an int holds are clamped.
int TimecodeRateFromFrameRate(double frameRate);
