// The Tracker's formulas without a window.
#include <gtest/gtest.h>

#include "controls/tracker_math.h"

namespace {

TEST(TrackerMath, KnobPosition)
{
    struct Case {
        int value, minimum, maximum, width, knob;
    } cases[] = {
        {0, 0, 100, 210, 5},     {1, 0, 100, 210, 7},      {50, 0, 100, 210, 105},
        {100, 0, 100, 210, 205}, {0, -127, 127, 210, 105}, {1, 0, 3, 210, 71},  // 66.67 truncated
        {-1, -3, 0, 210, 138},   {20, 20, 10, 210, 5},     {10, 20, 10, 210, 205},
        {7, 7, 7, 210, 5},       // empty range
        {0, 0, 0, 0, 5},         {50, 0, 100, 8, 4},  // no usable track: left of 5, no fault
        {32767, -32768, 32767, 32767, 32762},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.knob, TrackerKnobPosition(c.value, c.minimum, c.maximum, c.width))
            << c.value << " in " << c.minimum << ".." << c.maximum << " width " << c.width;
}

TEST(TrackerMath, ValueAtPointer)
{
    struct Case {
        int x, minimum, maximum, width, value;
    } cases[] = {
        {5, 0, 100, 210, 0},     {6, 0, 100, 210, 1},   {7, 0, 100, 210, 1},
        {8, 0, 100, 210, 2},     {0, 0, 100, 210, 0},   {-30000, 0, 100, 210, 0},
        {205, 0, 100, 210, 100}, {999, 0, 100, 210, 100},
        {6, -100, 0, 210, -99},  // 0.5 rounds up
        {6, 0, -100, 210, 0},    // -0.5 + 0.5 = 0
        {7, 0, -100, 210, 0},    // -1.0 + 0.5 = -0.5 truncates toward zero
        {8, 0, -100, 210, -1},
        {100, 10, 10, 210, 10},  // empty range
        {7, 0, 100, 10, 0},      {7, 0, 100, 9, 0},     {3, 0, 100, 0, 0},  // no usable track
        {32762, -32768, 32767, 32767, 32767},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.value, TrackerValueAt(c.x, c.minimum, c.maximum, c.width))
            << "x " << c.x << " in " << c.minimum << ".." << c.maximum << " width " << c.width;
}

TEST(TrackerMath, ParseDecimalWord)
{
    struct Case {
        const char *text;
        int value;
    } cases[] = {
        {"0", 0},       {"100", 100},        {"-1", -1},        {"+7", 7},
        {" \t\r\n42", 42}, {"12abc", 12},    {"abc", 0},        {"", 0},
        {"-", 0},       {"- 5", 0},          {"32767", 32767},  {"32768", -32768},
        {"70000", 4464}, {"-70000", -4464},  {"99999999999", -6145},  // wraps, keeps the low 16 bits
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.value, ParseDecimalWord(c.text)) << '"' << c.text << '"';
    EXPECT_EQ(0, ParseDecimalWord(nullptr));
}

}  // namespace
