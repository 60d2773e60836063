#include "controls/tracker_math.h"

#include <cmath>

namespace {

// Truncates toward zero and keeps the low 16 bits, without the undefined behaviour of casting a
// double outside the range of int.
int16_t TruncateToWord(double x)
{
    double t = std::trunc(x);
    if (!(t > -2147483648.0 && t < 2147483647.0))
        t = 0;
    return (int16_t)(uint16_t)(uint32_t)(int32_t)t;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int16_t TrackerKnobPosition(int value, int minimum, int maximum, int width)
{
    if (maximum == minimum)
        return kTrackerMargin;
    double usable = width - 2 * kTrackerMargin;
    return TruncateToWord(
        std::trunc((double)(value - minimum) * usable / (double)(maximum - minimum)) +
        kTrackerMargin);
}

int TrackerClampPointer(int x, int width)
{
    if (x > width - kTrackerMargin)
        x = width - kTrackerMargin;
    if (x < kTrackerMargin)
        x = kTrackerMargin;
    return x;
}

int16_t TrackerValueAt(int x, int minimum, int maximum, int width)
{
    int usable = width - 2 * kTrackerMargin;
    if (usable <= 0)
        return (int16_t)minimum;
    x = TrackerClampPointer(x, width);
    double fraction = (double)(x - kTrackerMargin) * (double)(maximum - minimum) / usable;
    return TruncateToWord(std::trunc(fraction + 0.5) + minimum);
}

int16_t TrackerClampValue(int value, int minimum, int maximum)
{
    if (value < minimum)
        value = minimum;
    if (value > maximum)
        value = maximum;
    return (int16_t)value;
}

int16_t ParseDecimalWord(const char *text)
{
    if (!text)
        return 0;
    while (IsSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    uint32_t number = 0;  // wraps like the 16-bit word it ends in
    for (; *text >= '0' && *text <= '9'; ++text)
        number = number * 10 + (uint32_t)(*text - '0');
    if (negative)
        number = 0u - number;
    return (int16_t)(uint16_t)number;
}
