// The timecode model, built natively (with sanitizers) and for Windows (run under Wine).
#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "timecode/timecode.h"

namespace {

const TimecodeFormat At24 = {24, false}, At25 = {25, false}, At30 = {30, false};
const TimecodeFormat At50 = {50, false}, At60 = {60, false};
const TimecodeFormat Df30 = {30, true}, Df60 = {60, true};

std::string Format(int32_t n, TimecodeFormat format)
{
    char buffer[TIMECODE_BUFFER_SIZE];
    memset(buffer, 'x', sizeof buffer);
    return FormatTimecode(buffer, n, format);
}

std::string Name(TimecodeFormat f)
{
    return std::to_string(f.base) + (f.dropFrame ? " DF" : "");
}

const int32_t HourMinuteSecond25 = 3600 * 25 + 60 * 25 + 25;

// Frames of a drop-frame day: 144 ten-minute blocks of 17982 (29.97) or 35964 (59.94) frames.
const int32_t DayDf30 = 144 * 17982, DayDf60 = 144 * 35964;

}  // namespace

// No operation keeps a base between calls: a format the arithmetic has no base for counts at 25,
// whatever ran before.
TEST(TimecodeFormat, UnsupportedBasesCountAt25WhateverRanBefore)
{
    const TimecodeFormat odd[] = {{0, false}, {23, false}, {-25, true}, {INT_MIN, false},
                                  {INT_MAX, true}, {25, true}, {48, false}};
    for (TimecodeFormat f : odd) {
        Format(0, At30);
        EXPECT_EQ(Format(25, f), " 00:00:01:00") << f.base;
        EXPECT_EQ(PackTimecode(25, f), 0x00000100u) << f.base;
        EXPECT_EQ(UnpackTimecode(0x00000100, f), 25) << f.base;
        EXPECT_EQ(ParseTimecode("1:00", f), 25) << f.base;
        EXPECT_FALSE(ValidateTimecode("00:00:00:25", f)) << f.base;
    }
    EXPECT_EQ(Format(24 * 3600, At24), " 01:00:00:00");
    EXPECT_EQ(Format(25 * 60, DefaultTimecodeFormat), " 00:01:00:00");
}

TEST(FormatTimecode, Table)
{
    struct Case {
        int32_t n;
        TimecodeFormat format;
        const char *text;
    } cases[] = {
        {HourMinuteSecond25, At25, " 01:01:01:00"},
        {-250, At25, "-00:00:10:00"},
        {0, At25, " 00:00:00:00"},
        {24, At25, " 00:00:00:24"},
        {86400 * 25 - 1, At25, " 23:59:59:24"},
        // A day wraps round to zero, both signs alike.
        {86400 * 25, At25, " 00:00:00:00"},
        {86400 * 25 + 1, At25, " 00:00:00:01"},
        {-(86400 * 25 + 26), At25, "-00:00:01:01"},
        {2 * 86400 * 25 - 1, At25, " 23:59:59:24"},
        {INT_MAX, At25, " 04:55:45:22"},
        {INT_MIN, At25, "-04:55:45:23"},
        {INT_MAX, At30, " 12:06:28:07"},
        {86400 * 24 - 1, At24, " 23:59:59:23"},
        {29, At30, " 00:00:00:29"},
        {-1, At30, "-00:00:00:01"},
        // 50 and 60 count real seconds: a 6 s clip at 60 fps ends at six seconds.
        {90, At60, " 00:00:01:30"},
        {6 * 60, At60, " 00:00:06:00"},
        {59, At60, " 00:00:00:59"},
        {49, At50, " 00:00:00:49"},
        {3600 * 50 + 50, At50, " 01:00:01:00"},
        {86400 * 60, At60, " 00:00:00:00"},
        {-(86400 * 50 + 1), At50, "-00:00:00:01"},
    };
    for (const Case &c : cases) {
        std::string text = Format(c.n, c.format);
        EXPECT_EQ(text, c.text) << c.n << " at " << Name(c.format);
        EXPECT_EQ(text.size(), 12u);
    }
}

TEST(PackTimecode, Table)
{
    struct Case {
        int32_t n;
        TimecodeFormat format;
        uint32_t packed;
    } cases[] = {
        {HourMinuteSecond25, At25, 0x01010100},
        {250, At25, 0x00000A00},
        {-250, At25, 0x00000A00},  // the sign is lost
        {86400 * 25 - 1, At25, 0x173B3B18},
        {86400 * 25, At25, 0},
        {45 * 60 * 25, At25, 0x002D0000},  // plain bytes, not decimal digit pairs
        {INT_MIN, At25, 0x04372D17},
        {INT_MAX, At30, 0x0C061C07},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PackTimecode(c.n, c.format), c.packed) << c.n << " at " << Name(c.format);
}

TEST(UnpackTimecode, Table)
{
    struct Case {
        uint32_t packed;
        TimecodeFormat format;
        int32_t n;
    } cases[] = {
        {0x00003C00, At25, 1500},  // seconds 60 is not range-tested
        {0x01010100, At25, HourMinuteSecond25},
        {0, At25, 0},
        {0x000000FF, At25, 255},
        {0xFFFFFFFF, At30, 255 * (1 + 30 + 1800 + 108000)},
        {0x80000000, At24, 128 * 3600 * 24},  // no sign bit
        {0x0000011E, At60, 90},
        {0x00003C00, At50, 3000},
        {0x00000031, At50, 49},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnpackTimecode(c.packed, c.format), c.n) << std::hex << c.packed;
}

// Every frame of the first hour and ten minutes (numbering repeats every ten minutes, then the hour
// carries) and of the last ten minutes of the day packs to a label that unpacks to it again; the
// labels run on without a gap but the ones drop-frame skips, and none of those is ever produced.
TEST(PackTimecode, RoundTripsAndNumbersWithoutGaps)
{
    const TimecodeFormat formats[] = {At24, At25, At30, At50, At60, Df30, Df60};
    for (TimecodeFormat f : formats) {
        int32_t day = f.dropFrame ? (f.base == 30 ? DayDf30 : DayDf60) : 86400 * f.base;
        int32_t tenMinutes = day / 144;
        unsigned dropped = f.dropFrame ? f.base / 15 : 0;
        const int32_t ranges[2][2] = {{0, 7 * tenMinutes + 1}, {day - tenMinutes, day}};
        int mismatches = 0, skippedLabels = 0, gaps = 0;
        for (const auto &range : ranges) {
            uint32_t previous = 0;
            for (int32_t n = range[0]; n < range[1]; n++) {
                uint32_t packed = PackTimecode(n, f);
                if (UnpackTimecode(packed, f) != n)
                    mismatches++;
                unsigned minutes = (packed >> 24) * 60 + ((packed >> 16) & 0xFF);
                unsigned seconds = (packed >> 8) & 0xFF, frames = packed & 0xFF;
                skippedLabels += minutes % 10 != 0 && seconds == 0 && frames < dropped;
                // Within a second the frames count up by one.
                if (n > range[0] && frames > dropped && packed != previous + 1)
                    gaps++;
                previous = packed;
            }
        }
        EXPECT_EQ(mismatches, 0) << Name(f);
        EXPECT_EQ(skippedLabels, 0) << Name(f);
        EXPECT_EQ(gaps, 0) << Name(f);
        EXPECT_EQ(PackTimecode(7 * tenMinutes, f), (1u << 24) | (10u << 16)) << Name(f);
        EXPECT_EQ(PackTimecode(day - 1, f), (23u << 24) | (59u << 16) | (59u << 8) | (f.base - 1u))
            << Name(f);
        EXPECT_EQ(PackTimecode(day, f), 0u) << Name(f);
    }
}

TEST(ValidateTimecode, Table)
{
    struct Case {
        const char *text;
        TimecodeFormat format;
        bool valid;
    } cases[] = {
        {"10:00:00:00", At25, true},
        {"10;00;00;00", At25, true},
        {"00:00:10.05", At25, true},
        {"5:00", At25, true},
        {"1.05", At25, false},  // "." needs seven characters
        {"10.00.00.00", At25, false},
        {"24:00:00:00", At25, false},
        {"00:60:00:00", At25, false},
        {"00:00:60:00", At25, false},
        {"23:59:59:24", At25, true},
        {"00:00:00:25", At25, false},
        {"00:00:00:24", At24, false},
        {"00:00:00:29", At30, true},
        {"00:00:00:59", At60, true},
        {"00:00:00:60", At60, false},
        {"00:00:00:50", At50, false},
        {"00:01:00;00", Df30, true},  // skipped by drop-frame, but still a timecode
        {"00:00:00:30", Df30, false},
        {"12", At25, false},
        {"", At25, false},
        {"   ", At25, true},
        {"XX10:00:00:00", At25, true},  // left of the hour digits nothing is examined
        {"  -01:00:00:00", At25, true},
        {"+01:00:00:00", At25, true},
        {"--01:00:00:00", At25, true},  // the 12th character from the right is not examined
        {"-+1:00", At25, false},
        {"1a:00", At25, false},
        {"10:00 ", At25, false},
        {"1:2:3", At25, false},
        {"\xff\xfe\x80", At25, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ValidateTimecode(c.text, c.format), c.valid)
            << '"' << c.text << "\" at " << Name(c.format);
}

TEST(NormalizeTimecode, Table)
{
    struct Case {
        const char *text;
        TimecodeFormat format;
        bool valid;
        const char *result;
    } cases[] = {
        {"1:00:00:00", At25, true, " 01:00:00:00"},
        {"12", At25, true, " 00:00:00:12"},
        {"100", At25, true, " 00:00:01:00"},
        {"1234", At25, false, " 00:00:00:00"},
        {"1234", At30, false, " 00:00:00:00"},
        {"-5:00", At25, true, "-00:00:05:00"},
        {" -5:00", At25, true, " 00:00:05:00"},
        {"1 10:00:00:00", At25, true, " 10:00:00:00"},
        {"01/02/03/04", At25, true, " 01:02:03:04"},
        {"123456789", At25, false, " 00:00:00:00"},
        {"", At25, true, " 00:00:00:00"},
        {"abc", At25, true, " 00:00:00:00"},
        {"00:00:00:24", At24, false, " 00:00:00:00"},
        {"1:00:00:00", Df30, true, " 01:00:00;00"},
        {"-1:00:02", Df60, true, "-00:01:00;02"},
        {"1234", Df30, false, " 00:00:00;00"},
        {"00:00:00;45", At50, true, " 00:00:00:45"},
    };
    for (const Case &c : cases) {
        char buffer[TIMECODE_BUFFER_SIZE] = {};
        strncpy(buffer, c.text, sizeof buffer - 1);
        EXPECT_EQ(NormalizeTimecode(buffer, c.format), c.valid) << c.text;
        EXPECT_STREQ(buffer, c.result) << c.text;
    }
}

TEST(ParseTimecode, Table)
{
    struct Case {
        std::string text;
        TimecodeFormat format;
        int32_t n;
    } cases[] = {
        {"10:00:00:00", At25, 10 * 3600 * 25},
        {"-1:00:00:00", At25, -3600 * 25},
        {"5:00", At25, 125},
        {" -00:00:01:00", At25, 25},  // the sign must be the first character
        {"00:00:00:24", At25, 24},
        {"00:00:00:24", At24, 0},
        {"24:00:00:00", At25, 0},
        {"00:60:00:00", At25, 0},
        {"1 10:00:00:00", At25, 10 * 3600 * 25},  // only the eight rightmost digits count
        {"01/02/03/04", At25, 3600 * 25 + 2 * 60 * 25 + 3 * 25 + 4},
        {" 00:00:00:00", At25, 0},
        {"garbage", At25, 0},
        {"", At25, 0},
        {"-23:59:59:29", At30, -(86400 * 30 - 1)},
        {"00:00:01:30", At60, 90},
        {"00:00:00:59", At50, 0},
        {"-01:00:00:00", At50, -3600 * 50},
        // The format decides the numbering, whatever separator the text has.
        {"00:01:00:02", Df30, 1800},
        {"00:01:00;02", At30, 1802},
        {"00;01;00;02", Df30, 1800},
        // Longer than the dialog allows (a hand-edited settings file): parsed whole.
        {std::string(20, ' ') + "00:00:01:00", At25, 25},
        {"-" + std::string(40, ' ') + "1:00", At25, -25},
        {std::string(1000, '9') + "01:00:00:00", At25, 3600 * 25},
        {std::string(31, '\x80') + "2:00", At25, 50},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ParseTimecode(c.text.c_str(), c.format), c.n)
            << '"' << c.text << "\" at " << Name(c.format);
}

TEST(TimecodeRate, FromFrameRate)
{
    struct Case {
        double frameRate;
        int rate;
    } cases[] = {
        {23.98, 24}, {24, 24}, {25, 25}, {29.76, 30}, {29.97, 30}, {30, 30}, {0, 0},
        {-0.7, 0}, {-25, -24}, {1e300, INT_MAX}, {-1e300, INT_MIN}, {50, 50},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TimecodeRateFromFrameRate(c.frameRate), c.rate) << c.frameRate;
    double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TimecodeRateFromFrameRate(nan), 0);
}

// Drop-frame numbering across minutes, tenth minutes and the day: each frame's text and packed
// label, and the way back from both.
TEST(DropFrame, Table)
{
    struct Case {
        int32_t n;
        TimecodeFormat format;
        const char *text;  // without the sign
    } cases[] = {
        {0, Df30, "00:00:00;00"},
        {1, Df30, "00:00:00;01"},
        {1799, Df30, "00:00:59;29"},
        {1800, Df30, "00:01:00;02"},
        {1801, Df30, "00:01:00;03"},
        {3597, Df30, "00:01:59;29"},
        {3598, Df30, "00:02:00;02"},
        {17981, Df30, "00:09:59;29"},
        {17982, Df30, "00:10:00;00"},
        {17983, Df30, "00:10:00;01"},
        {17982 + 1800, Df30, "00:11:00;02"},
        {6 * 17982, Df30, "01:00:00;00"},
        {6 * 17982 + 1800, Df30, "01:01:00;02"},
        {DayDf30 - 1, Df30, "23:59:59;29"},
        {3599, Df60, "00:00:59;59"},
        {3600, Df60, "00:01:00;04"},
        {3601, Df60, "00:01:00;05"},
        {35963, Df60, "00:09:59;59"},
        {35964, Df60, "00:10:00;00"},
        {35967, Df60, "00:10:00;03"},
        {6 * 35964, Df60, "01:00:00;00"},
        {DayDf60 - 1, Df60, "23:59:59;59"},
    };
    for (const Case &c : cases) {
        std::string where = std::to_string(c.n) + " at " + Name(c.format);
        EXPECT_EQ(Format(c.n, c.format), std::string(" ") + c.text) << where;
        EXPECT_EQ(Format(-c.n, c.format), std::string(c.n ? "-" : " ") + c.text) << where;
        unsigned h, m, s, f;
        ASSERT_EQ(sscanf(c.text, "%u:%u:%u;%u", &h, &m, &s, &f), 4);
        uint32_t packed = (h << 24) | (m << 16) | (s << 8) | f;
        EXPECT_EQ(PackTimecode(c.n, c.format), packed) << where;
        EXPECT_EQ(PackTimecode(-c.n, c.format), packed) << where;
        EXPECT_EQ(UnpackTimecode(packed, c.format), c.n) << where;
        EXPECT_EQ(ParseTimecode(c.text, c.format), c.n) << where;
        EXPECT_EQ(ParseTimecode((std::string("-") + c.text).c_str(), c.format), -c.n) << where;
    }
}

TEST(DropFrame, WrapsRoundTheDropFrameDay)
{
    struct Case {
        int32_t n;
        TimecodeFormat format;
        const char *text;
    } cases[] = {
        {DayDf30, Df30, " 00:00:00;00"},
        {DayDf30 + 1800, Df30, " 00:01:00;02"},
        {-(DayDf30 + 1), Df30, "-00:00:00;01"},
        {2 * DayDf30 - 1, Df30, " 23:59:59;29"},
        {DayDf60 + 3600, Df60, " 00:01:00;04"},
        {-DayDf60, Df60, "-00:00:00;00"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Format(c.n, c.format), c.text) << c.n << " at " << Name(c.format);
        EXPECT_EQ(UnpackTimecode(PackTimecode(c.n, c.format), c.format),
                  ParseTimecode(c.text + 1, c.format))
            << c.n << " at " << Name(c.format);
    }
}

// A label that drop-frame skips, typed or sent, means the first frame after it.
TEST(DropFrame, SkippedLabelsCountAsTheNextFrame)
{
    struct Case {
        const char *text;
        TimecodeFormat format;
        int32_t n;
    } cases[] = {
        {"00:01:00;00", Df30, 1800}, {"00:01:00;01", Df30, 1800}, {"00:01:00;02", Df30, 1800},
        {"00:02:00;00", Df30, 3598}, {"00:10:00;00", Df30, 17982}, {"00:10:00;01", Df30, 17983},
        {"01:00:00;00", Df30, 6 * 17982}, {"01:01:00;01", Df30, 6 * 17982 + 1800},
        {"00:01:00;03", Df60, 3600}, {"00:01:00;00", Df60, 3600}, {"00:01:01;00", Df60, 3656},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ParseTimecode(c.text, c.format), c.n) << c.text << " at " << Name(c.format);
        unsigned h, m, s, f;
        ASSERT_EQ(sscanf(c.text, "%u:%u:%u;%u", &h, &m, &s, &f), 4);
        uint32_t packed = (h << 24) | (m << 16) | (s << 8) | f;
        EXPECT_EQ(UnpackTimecode(packed, c.format), c.n) << c.text << " at " << Name(c.format);
    }
}

TEST(TimecodeFormat, FromRateText)
{
    struct Case {
        std::string text;
        int base;
        bool dropFrame;
    } cases[] = {
        // The list of the Options dialog.
        {"23.98", 24, false}, {"24", 24, false}, {"25", 25, false}, {"29.97", 30, false},
        {"29.97 DF", 30, true}, {"30", 30, false}, {"50", 50, false}, {"59.94", 60, false},
        {"59.94 DF", 60, true}, {"60", 60, false},
        // Edited by hand.
        {"29.76", 30, false}, {"23.976", 24, false}, {"  25", 25, false}, {"29.97 fps", 30, false},
        {"29.97DF", 30, true}, {" 29.97  DF  ", 30, true}, {"30 DF", 30, true}, {"60 DF", 60, true},
        {"29.97 df", 30, true}, {"59.94 Df", 60, true}, {"29.97 DFX", 30, false}, {"29.97 DF 2", 30, false},
        {"29.97 xDF", 30, false},
        // Drop-frame only exists at 30 and 60.
        {"25 DF", 25, false}, {"23.98 DF", 24, false}, {"50 DF", 50, false},
        // No base of its own: 25.
        {"", 25, false}, {"DF", 25, false}, {"abc", 25, false}, {"0", 25, false},
        {"48", 25, false}, {"120", 25, false}, {"-30", 25, false}, {"15 DF", 25, false},
        {std::string(400, '9'), 25, false},
    };
    for (const Case &c : cases) {
        TimecodeFormat f = TimecodeFormatFromRateText(c.text.c_str());
        EXPECT_EQ(f.base, c.base) << '"' << c.text << '"';
        EXPECT_EQ(f.dropFrame, c.dropFrame) << '"' << c.text << '"';
    }
}
