#include "timecode/timecode.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

const char ZeroTimecodeText[] = " 00:00:00:00";

static int TimecodeBase = TIMECODE_DEFAULT_BASE;

static int ApplyRate(int rate)
{
    if (rate == 24 || rate == 25 || rate == 30)
        TimecodeBase = rate;
    return TimecodeBase;
}

int GetTimecodeBase(void)
{
    return TimecodeBase;
}

struct TimecodeFields {
    unsigned hours, minutes, seconds, frames;
};

// Positions of 24 hours or more wrap round the day, as broadcast timecode does; the display and
// the packed form (which the hot key types) wrap alike. The magnitude is unsigned so that the
// magnitude of INT_MIN is well defined.
static TimecodeFields SplitMagnitude(uint32_t m, unsigned r)
{
    TimecodeFields f;
    m %= 86400u * r;
    f.hours = m / (3600u * r);
    m %= 3600u * r;
    f.minutes = m / (60u * r);
    m %= 60u * r;
    f.seconds = m / r;
    f.frames = m % r;
    return f;
}

static uint32_t Magnitude(int32_t n)
{
    return n < 0 ? 0u - (uint32_t)n : (uint32_t)n;
}

char *FormatTimecode(char *buffer, int32_t frame, int rate)
{
    unsigned r = (unsigned)ApplyRate(rate);
    TimecodeFields f = SplitMagnitude(Magnitude(frame), r);
    snprintf(buffer, TIMECODE_BUFFER_SIZE, "%c%02u:%02u:%02u:%02u",
             frame < 0 ? '-' : ' ', f.hours, f.minutes, f.seconds, f.frames);
    buffer[TIMECODE_TEXT_LENGTH] = '\0';
    return buffer;
}

uint32_t PackTimecode(int32_t frame, int rate)
{
    unsigned r = (unsigned)ApplyRate(rate);
    TimecodeFields f = SplitMagnitude(Magnitude(frame), r);
    return (f.hours << 24) | (f.minutes << 16) | (f.seconds << 8) | f.frames;
}

int32_t UnpackTimecode(uint32_t packed, int rate)
{
    int32_t r = ApplyRate(rate);
    int32_t hours = (int32_t)((packed >> 24) & 0xFF);
    int32_t minutes = (int32_t)((packed >> 16) & 0xFF);
    int32_t seconds = (int32_t)((packed >> 8) & 0xFF);
    int32_t frames = (int32_t)(packed & 0xFF);
    // At most 255·3600·30 + 255·60·30 + 255·30 + 255 frames: well inside 32 bits.
    return frames + seconds * r + minutes * 60 * r + hours * 3600 * r;
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the text from its right end: frames, separator, seconds, separator, minutes, separator,
// hours. Characters left of the hour digits are not examined.
static bool ValidateAtBase(const char *text, int r)
{
    if (strlen(text) < 3)
        return false;
    const char *s = text;
    while (*s == ' ')
        s++;
    if (*s == '+' || *s == '-')
        s++;
    size_t len = strlen(s);

    int field[4] = {0, 0, 0, 0};  // frames, seconds, minutes, hours
    for (size_t count = 1; count <= len && count <= 11; count++) {
        char c = s[len - count];
        size_t inField = (count - 1) % 3;  // 0 units, 1 tens, 2 separator
        size_t which = (count - 1) / 3;
        if (inField == 2) {
            bool ok = c == ':' || c == ';' || (count == 3 && c == '.' && len >= 7);
            if (!ok)
                return false;
        } else {
            if (!IsDigit(c))
                return false;
            field[which] += (c - '0') * (inField == 0 ? 1 : 10);
        }
    }
    return field[3] <= 23 && field[2] <= 59 && field[1] <= 59 && field[0] < r;
}

bool ValidateTimecode(const char *text, int rate)
{
    return ValidateAtBase(text, ApplyRate(rate));
}

// Right-aligns the last eight digits of text into a copy of the zero timecode; the sign comes
// from the first character only. Reads the whole text, however long, and writes only out.
static bool NormalizeInto(const char *text, char out[TIMECODE_BUFFER_SIZE], int r)
{
    static const int digitPositions[8] = {11, 10, 8, 7, 5, 4, 2, 1};
    memcpy(out, ZeroTimecodeText, sizeof ZeroTimecodeText);
    int placed = 0;
    for (size_t i = strlen(text); i > 0 && placed < 8; i--) {
        if (IsDigit(text[i - 1]))
            out[digitPositions[placed++]] = text[i - 1];
    }
    out[0] = text[0] == '-' ? '-' : ' ';
    if (ValidateAtBase(out, r))
        return true;
    memcpy(out, ZeroTimecodeText, sizeof ZeroTimecodeText);
    return false;
}

bool NormalizeTimecode(char *text, int rate)
{
    char copy[TIMECODE_BUFFER_SIZE];
    bool valid = NormalizeInto(text, copy, ApplyRate(rate));
    memcpy(text, copy, sizeof ZeroTimecodeText);
    return valid;
}

static int TwoDigits(const char *p)
{
    return (p[0] - '0') * 10 + (p[1] - '0');
}

int32_t ParseTimecode(const char *text, int rate)
{
    int r = ApplyRate(rate);
    char tc[TIMECODE_BUFFER_SIZE];
    NormalizeInto(text, tc, r);
    int hours = TwoDigits(tc + 1), minutes = TwoDigits(tc + 4);
    int seconds = TwoDigits(tc + 7), frames = TwoDigits(tc + 10);
    if (hours > 23 || minutes > 59 || seconds > 59 || frames >= r)
        return 0;
    int32_t n = hours * 3600 * r + minutes * 60 * r + seconds * r + frames;
    return tc[0] == '-' ? -n : n;
}

int TimecodeRateFromFrameRate(double frameRate)
{
    double v = frameRate + 0.5;
    if (!(v > (double)INT_MIN))  // also NaN
        return v != v ? 0 : INT_MIN;
    if (v >= (double)INT_MAX)
        return INT_MAX;
    return (int)v;
}
