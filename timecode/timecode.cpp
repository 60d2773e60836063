#include "timecode/timecode.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

const char ZeroTimecodeText[] = " 00:00:00:00";

const TimecodeFormat DefaultTimecodeFormat = {TIMECODE_DEFAULT_BASE, false};

enum {
    SECONDS_PER_MINUTE = 60,
    SECONDS_PER_HOUR = 3600,
    HOURS_PER_DAY = 24,
    MINUTES_PER_DAY = 1440,
    MINUTES_KEPT_EVERY = 10,         // drop-frame keeps all numbers of every tenth minute
    FRAMES_SEPARATOR_POSITION = 9,   // the separator before the frames in a timecode text
    FRAMES_PER_DROPPED_NUMBER = 15,  // 2 numbers dropped at base 30, 4 at base 60
};

static bool IsBase(int rate)
{
    return rate == 24 || rate == 25 || rate == 30 || rate == 50 || rate == 60;
}

// Whatever a caller hands in, the arithmetic runs on a base it knows, so nothing divides by zero.
static TimecodeFormat Usable(TimecodeFormat format)
{
    if (!IsBase(format.base))
        format.base = TIMECODE_DEFAULT_BASE;
    format.dropFrame = format.dropFrame && (format.base == 30 || format.base == 60);
    return format;
}

// The frame numbers skipped at the start of each minute but every tenth: 2 at 30, 4 at 60.
static unsigned DroppedNumbers(TimecodeFormat f)
{
    return f.dropFrame ? (unsigned)f.base / FRAMES_PER_DROPPED_NUMBER : 0;
}

static unsigned FramesPerTenMinutes(TimecodeFormat f)
{
    return MINUTES_KEPT_EVERY * SECONDS_PER_MINUTE * (unsigned)f.base -
           (MINUTES_KEPT_EVERY - 1) * DroppedNumbers(f);
}

static uint32_t FramesPerDay(TimecodeFormat f)
{
    return (MINUTES_PER_DAY / MINUTES_KEPT_EVERY) * FramesPerTenMinutes(f);
}

// The number a frame of the day bears: the frame itself, or under drop-frame the frame plus the
// numbers skipped before it.
static uint32_t NumberOfFrame(uint32_t frame, TimecodeFormat f)
{
    unsigned dropped = DroppedNumbers(f);
    if (dropped == 0)
        return frame;
    unsigned framesPerMinute = SECONDS_PER_MINUTE * (unsigned)f.base - dropped;
    uint32_t tens = frame / FramesPerTenMinutes(f);
    uint32_t rest = frame % FramesPerTenMinutes(f);
    uint32_t skipped = (MINUTES_KEPT_EVERY - 1) * dropped * tens;
    if (rest >= dropped)
        skipped += dropped * ((rest - dropped) / framesPerMinute);
    return frame + skipped;
}

struct TimecodeFields {
    unsigned hours, minutes, seconds, frames;
};

// The frame a label stands for. Fields are not range-tested (seconds 60 counts as a minute). A
// label that drop-frame skips counts as the first frame after it, as if the user had typed that.
static int32_t FrameOfFields(TimecodeFields t, TimecodeFormat f)
{
    unsigned dropped = DroppedNumbers(f);
    int32_t b = f.base;
    // At most (255·60 + 255)·60·60 + 255·60 + 255 frames: well inside 32 bits.
    int32_t minutes = (int32_t)(t.hours * 60 + t.minutes);
    int32_t frames = (int32_t)t.frames;
    if (dropped && minutes % MINUTES_KEPT_EVERY != 0 && t.seconds == 0 && t.frames < dropped)
        frames = (int32_t)dropped;
    int32_t skipped = (int32_t)dropped * (minutes - minutes / MINUTES_KEPT_EVERY);
    return frames + (int32_t)t.seconds * b + minutes * SECONDS_PER_MINUTE * b - skipped;
}

// Positions of 24 hours or more wrap round the day, as broadcast timecode does; the display and
// the packed form (which the hot key types) wrap alike. The magnitude is unsigned so that the
// magnitude of INT_MIN is well defined.
static TimecodeFields SplitMagnitude(uint32_t m, TimecodeFormat f)
{
    unsigned r = (unsigned)f.base;
    TimecodeFields t;
    m = NumberOfFrame(m % FramesPerDay(f), f);
    t.hours = m / (SECONDS_PER_HOUR * r);
    m %= SECONDS_PER_HOUR * r;
    t.minutes = m / (SECONDS_PER_MINUTE * r);
    m %= SECONDS_PER_MINUTE * r;
    t.seconds = m / r;
    t.frames = m % r;
    return t;
}

static uint32_t Magnitude(int32_t n)
{
    return n < 0 ? 0u - (uint32_t)n : (uint32_t)n;
}

static char FramesSeparator(TimecodeFormat f)
{
    return f.dropFrame ? ';' : ':';
}

char *FormatTimecode(char *buffer, int32_t frame, TimecodeFormat format)
{
    TimecodeFormat f = Usable(format);
    TimecodeFields t = SplitMagnitude(Magnitude(frame), f);
    snprintf(buffer, TIMECODE_BUFFER_SIZE, "%c%02u:%02u:%02u%c%02u", frame < 0 ? '-' : ' ',
             t.hours, t.minutes, t.seconds, FramesSeparator(f), t.frames);
    buffer[TIMECODE_TEXT_LENGTH] = '\0';
    return buffer;
}

uint32_t PackTimecode(int32_t frame, TimecodeFormat format)
{
    TimecodeFields t = SplitMagnitude(Magnitude(frame), Usable(format));
    return (t.hours << 24) | (t.minutes << 16) | (t.seconds << 8) | t.frames;
}

int32_t UnpackTimecode(uint32_t packed, TimecodeFormat format)
{
    TimecodeFields t;
    t.hours = (packed >> 24) & 0xFF;
    t.minutes = (packed >> 16) & 0xFF;
    t.seconds = (packed >> 8) & 0xFF;
    t.frames = packed & 0xFF;
    return FrameOfFields(t, Usable(format));
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

bool ValidateTimecode(const char *text, TimecodeFormat format)
{
    return ValidateAtBase(text, Usable(format).base);
}

// Right-aligns the last eight digits of text into a copy of the zero timecode; the sign comes
// from the first character only. Reads the whole text, however long, and writes only out.
static bool NormalizeInto(const char *text, char out[TIMECODE_BUFFER_SIZE], TimecodeFormat f)
{
    static const int digitPositions[8] = {11, 10, 8, 7, 5, 4, 2, 1};
    memcpy(out, ZeroTimecodeText, sizeof ZeroTimecodeText);
    out[FRAMES_SEPARATOR_POSITION] = FramesSeparator(f);
    int placed = 0;
    for (size_t i = strlen(text); i > 0 && placed < 8; i--) {
        if (IsDigit(text[i - 1]))
            out[digitPositions[placed++]] = text[i - 1];
    }
    out[0] = text[0] == '-' ? '-' : ' ';
    if (ValidateAtBase(out, f.base))
        return true;
    memcpy(out, ZeroTimecodeText, sizeof ZeroTimecodeText);
    out[FRAMES_SEPARATOR_POSITION] = FramesSeparator(f);
    return false;
}

bool NormalizeTimecode(char *text, TimecodeFormat format)
{
    char copy[TIMECODE_BUFFER_SIZE];
    bool valid = NormalizeInto(text, copy, Usable(format));
    memcpy(text, copy, sizeof ZeroTimecodeText);
    return valid;
}

static unsigned TwoDigits(const char *p)
{
    return (unsigned)((p[0] - '0') * 10 + (p[1] - '0'));
}

int32_t ParseTimecode(const char *text, TimecodeFormat format)
{
    TimecodeFormat f = Usable(format);
    char tc[TIMECODE_BUFFER_SIZE];
    NormalizeInto(text, tc, f);
    TimecodeFields t = {TwoDigits(tc + 1), TwoDigits(tc + 4), TwoDigits(tc + 7), TwoDigits(tc + 10)};
    if (t.hours >= HOURS_PER_DAY || t.minutes > 59 || t.seconds > 59 || t.frames >= (unsigned)f.base)
        return 0;
    int32_t n = FrameOfFields(t, f);
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

// The decimal number at the start of a frame-rate text, read as the settings file's decimal values
// are: leading blanks, optional sign, digits, "." as the decimal point. Returns where it ends.
static const char *ReadDecimal(const char *text, double *value)
{
    const double ceiling = 1e300;
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        p++;
    double v = 0.0;
    for (; IsDigit(*p); p++) {
        if (v < ceiling)
            v = v * 10.0 + (*p - '0');
    }
    if (*p == '.') {
        double scale = 0.1;
        for (p++; IsDigit(*p); p++) {
            v += (*p - '0') * scale;
            scale /= 10.0;
        }
    }
    *value = negative ? -v : v;
    return p;
}

static const char *SkipBlanks(const char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

// Letter case is ignored, as the Options dialog ignores it when it selects a stored rate in its
// list: a hand-typed "29.97 df" shows as "29.97 DF" and must mean the same. Older versions read
// "29.97 DF" as 29.97, so the mark costs them nothing.
static bool IsDropFrameMark(const char *p)
{
    p = SkipBlanks(p);
    return (p[0] == 'D' || p[0] == 'd') && (p[1] == 'F' || p[1] == 'f') &&
           *SkipBlanks(p + 2) == '\0';
}

TimecodeFormat TimecodeFormatFromRateText(const char *rateText)
{
    double rate;
    const char *rest = ReadDecimal(rateText, &rate);
    TimecodeFormat f = {TimecodeRateFromFrameRate(rate), IsDropFrameMark(rest)};
    return Usable(f);
}

int32_t TimecodeFramesPerDay(TimecodeFormat format)
{
    return (int32_t)FramesPerDay(Usable(format));
}
