#include "settings/values.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

const char *const HotKeyNames[13] = {
    "-", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
};
const char *const WideHotKeyNames[25] = {
    "-",   "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10", "F11", "F12",
    "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
};
const char *const ShowFramesNames[3] = {"YES", "NO", "ZERO"};
const char *const AppendSignNames[4] = {"SPACE", "NOT", "CRLF", "TAB"};

int HotKeyFromName(const char *name, int currentCode)
{
    if (strcmp(name, "-") == 0)
        return HOTKEY_NONE;
    if (name[0] != 'F')
        return currentCode;
    if (name[1] >= '1' && name[1] <= '9' && name[2] == '\0')
        return HOTKEY_F1 - 1 + (name[1] - '0');
    // "F10" to "F12": whatever follows the third character is not examined.
    if (name[1] == '1' && name[2] >= '0' && name[2] <= '2')
        return HOTKEY_F10 + (name[2] - '0');
    return currentCode;
}

int WideHotKeyFromName(const char *name, int currentCode)
{
    for (int i = 0; i < 25; i++) {
        if (strcmp(name, WideHotKeyNames[i]) == 0)
            return i == 0 ? HOTKEY_NONE : HOTKEY_F1 - 1 + i;
    }
    return currentCode;
}

static int ModeFromName(const char *name, const char *const *names, int count, int currentMode)
{
    for (int mode = 0; mode < count; mode++) {
        if (strcmp(name, names[mode]) == 0)
            return mode;
    }
    return currentMode;
}

int ShowFramesModeFromName(const char *name, int currentMode)
{
    return ModeFromName(name, ShowFramesNames, 3, currentMode);
}

int AppendSignModeFromName(const char *name, int currentMode)
{
    return ModeFromName(name, AppendSignNames, 4, currentMode);
}

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

double DecimalFromText(const char *text)
{
    const double ceiling = 1e300;  // a hand-edited run of digits never becomes infinity
    const char *p = text;
    while (IsBlank(*p))
        p++;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        p++;
    double value = 0.0;
    for (; IsDigit(*p); p++) {
        if (value < ceiling)
            value = value * 10.0 + (*p - '0');
    }
    if (*p == '.') {
        double scale = 0.1;
        for (p++; IsDigit(*p); p++) {
            value += (*p - '0') * scale;
            scale /= 10.0;
        }
    }
    return negative ? -value : value;
}

// Whether DecimalFromText finds digits at the start of the text.
static bool HasNumber(const char *text)
{
    const char *p = text;
    while (IsBlank(*p))
        p++;
    if (*p == '+' || *p == '-')
        p++;
    if (*p == '.')
        p++;
    return IsDigit(*p);
}

enum { HUNDREDTHS = 100 };

double RewindSecondsFromText(const char *text)
{
    double seconds = DecimalFromText(text);
    if (!(seconds > 0))
        return 0;
    if (seconds > REWIND_SECONDS_MAX)
        return REWIND_SECONDS_MAX;
    return (double)(long)(seconds * HUNDREDTHS + 0.5) / HUNDREDTHS;
}

// A number rounded to the nearest whole one and held to low to high.
static int WholeInRange(double value, int low, int high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return (int)(value + 0.5);
}

int JumpSecondsFromText(const char *text)
{
    if (!HasNumber(text))
        return JUMP_SECONDS_DEFAULT;
    return WholeInRange(DecimalFromText(text), JUMP_SECONDS_MIN, JUMP_SECONDS_MAX);
}

int LoopSecondsFromText(const char *text)
{
    if (!HasNumber(text))
        return LOOP_SECONDS_DEFAULT;
    return WholeInRange(DecimalFromText(text), LOOP_SECONDS_MIN, LOOP_SECONDS_MAX);
}

int LoopSpeedFromText(const char *text)
{
    if (!HasNumber(text))
        return LOOP_SPEED_DEFAULT;
    return WholeInRange(DecimalFromText(text), LOOP_SPEED_MIN, LOOP_SPEED_MAX);
}

bool SwitchFromText(const char *text) { return strcmp(text, "YES") == 0; }

int HeldSpeed(int percent) { return WholeInRange(percent, SPEED_SLOWEST, SPEED_FASTEST); }

int SpeedFromText(const char *text)
{
    if (!HasNumber(text))
        return SPEED_NORMAL;
    return WholeInRange(DecimalFromText(text), SPEED_SLOWEST, SPEED_FASTEST);
}

int SteppedSpeed(int percent, int direction)
{
    int steps = percent / SPEED_STEP;  // speeds are positive: this rounds down
    if (direction > 0)
        percent = (steps + 1) * SPEED_STEP;
    else if (direction < 0)
        percent = (percent % SPEED_STEP ? steps : steps - 1) * SPEED_STEP;
    if (percent < SPEED_SLOWEST)
        return SPEED_SLOWEST;
    if (percent > SPEED_FASTEST)
        return SPEED_FASTEST;
    return percent;
}

void FormatRewindSeconds(double seconds, char *text)
{
    // Held as a text is (RewindSecondsFromText) before it becomes a count: a long has 32 bits.
    unsigned hundredths = WholeInRange(seconds * HUNDREDTHS, 0, REWIND_SECONDS_MAX * HUNDREDTHS);
    if (hundredths > REWIND_SECONDS_MAX * HUNDREDTHS)  // never: for gcc's text-length check,
        hundredths = 0;                                // which cannot see through the double
    unsigned whole = hundredths / HUNDREDTHS, fraction = hundredths % HUNDREDTHS;
    if (fraction == 0)
        snprintf(text, SECONDS_TEXT_SIZE, "%u", whole);
    else if (fraction % 10 == 0)
        snprintf(text, SECONDS_TEXT_SIZE, "%u.%u", whole, fraction / 10);
    else
        snprintf(text, SECONDS_TEXT_SIZE, "%u.%02u", whole, fraction);
}

// A decimal integer that saturates instead of overflowing: leading blanks, optional sign,
// digits; no digits gives 0.
static int IntegerFromField(const char *p, const char *end)
{
    while (p < end && IsBlank(*p))
        p++;
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-'))
        p++;
    long long value = 0;
    for (; p < end && IsDigit(*p); p++) {
        value = value * 10 + (*p - '0');
        if (value > (long long)INT_MAX + 1)
            value = (long long)INT_MAX + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return (int)value;
}

void SplitWindowRect(const char *text, WindowRect *rect)
{
    int values[4] = {INT_MIN, INT_MIN, 500, 200};
    size_t length = strnlen(text, WINDOW_RECT_TEXT_MAX);
    const char *p = text, *end = text + length;
    int field = 0;
    while (p < end && field < 4) {
        const char *comma = (const char *)memchr(p, ',', (size_t)(end - p));
        const char *fieldEnd = comma ? comma : end;
        if (fieldEnd > p)
            values[field++] = IntegerFromField(p, fieldEnd);
        p = comma ? comma + 1 : end;
    }
    rect->x = values[0] < 0 ? 0 : values[0];
    rect->y = values[1] < 0 ? 0 : values[1];
    rect->width = values[2] < WINDOW_RECT_MIN_SIZE ? WINDOW_RECT_MIN_SIZE : values[2];
    rect->height = values[3] < WINDOW_RECT_MIN_SIZE ? WINDOW_RECT_MIN_SIZE : values[3];
}

void ClampWindowRectToDesktop(WindowRect *rect, int desktopRight, int desktopBottom)
{
    if (rect->x > desktopRight - WINDOW_RECT_MIN_SIZE)
        rect->x = desktopRight - WINDOW_RECT_MIN_SIZE;
    if (rect->y > desktopBottom - WINDOW_RECT_MIN_SIZE)
        rect->y = desktopBottom - WINDOW_RECT_MIN_SIZE;
}
