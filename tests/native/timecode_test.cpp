// The timecode model, built natively (with sanitizers) and for Windows (run under Wine).
#include <limits.h>
#include <string.h>

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "timecode/timecode.h"

namespace {

std::string Format(int32_t n, int rate)
{
    char buffer[TIMECODE_BUFFER_SIZE];
    memset(buffer, 'x', sizeof buffer);
    return FormatTimecode(buffer, n, rate);
}

const int32_t HourMinuteSecond25 = 3600 * 25 + 60 * 25 + 25;

}  // namespace

// Must run first in the process: the base starts at 25 and only 24, 25 and 30 change it.
TEST(TimecodeBase, StartsAt25AndOnlyTakesSupportedRates)
{
    EXPECT_EQ(GetTimecodeBase(), 25);
    EXPECT_EQ(Format(25, 50), " 00:00:01:00");
    Format(0, 30);
    EXPECT_EQ(Format(30, 0), " 00:00:01:00");
    EXPECT_EQ(GetTimecodeBase(), 30);
    const int ignored[] = {0, 50, 60, 23, -25, INT_MIN, INT_MAX};
    for (int rate : ignored) {
        PackTimecode(1, rate);
        UnpackTimecode(1, rate);
        ParseTimecode("1", rate);
        ValidateTimecode("1:00", rate);
        EXPECT_EQ(GetTimecodeBase(), 30) << rate;
    }
    char text[TIMECODE_BUFFER_SIZE] = "12";
    NormalizeTimecode(text, 24);
    EXPECT_EQ(GetTimecodeBase(), 24);
    EXPECT_EQ(Format(24 * 3600, 50), " 01:00:00:00");
}

TEST(FormatTimecode, Table)
{
    struct Case {
        int32_t n;
        int rate;
        const char *text;
    } cases[] = {
        {HourMinuteSecond25, 25, " 01:01:01:00"},
        {-250, 25, "-00:00:10:00"},
        {0, 25, " 00:00:00:00"},
        {24, 25, " 00:00:00:24"},
        {86400 * 25 - 1, 25, " 23:59:59:24"},
        // A day wraps round to zero, both signs alike.
        {86400 * 25, 25, " 00:00:00:00"},
        {86400 * 25 + 1, 25, " 00:00:00:01"},
        {-(86400 * 25 + 26), 25, "-00:00:01:01"},
        {2 * 86400 * 25 - 1, 25, " 23:59:59:24"},
        {INT_MAX, 25, " 04:55:45:22"},
        {INT_MIN, 25, "-04:55:45:23"},
        {INT_MAX, 30, " 12:06:28:07"},
        {86400 * 24 - 1, 24, " 23:59:59:23"},
        {29, 30, " 00:00:00:29"},
        {-1, 30, "-00:00:00:01"},
    };
    for (const Case &c : cases) {
        std::string text = Format(c.n, c.rate);
        EXPECT_EQ(text, c.text) << c.n << " at " << c.rate;
        EXPECT_EQ(text.size(), 12u);
    }
}

TEST(PackTimecode, Table)
{
    struct Case {
        int32_t n;
        int rate;
        uint32_t packed;
    } cases[] = {
        {HourMinuteSecond25, 25, 0x01010100},
        {250, 25, 0x00000A00},
        {-250, 25, 0x00000A00},  // the sign is lost
        {86400 * 25 - 1, 25, 0x173B3B18},
        {86400 * 25, 25, 0},
        {45 * 60 * 25, 25, 0x002D0000},  // plain bytes, not decimal digit pairs
        {INT_MIN, 25, 0x04372D17},
        {INT_MAX, 30, 0x0C061C07},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PackTimecode(c.n, c.rate), c.packed) << c.n << " at " << c.rate;
}

TEST(UnpackTimecode, Table)
{
    struct Case {
        uint32_t packed;
        int rate;
        int32_t n;
    } cases[] = {
        {0x00003C00, 25, 1500},  // seconds 60 is not range-tested
        {0x01010100, 25, HourMinuteSecond25},
        {0, 25, 0},
        {0x000000FF, 25, 255},
        {0xFFFFFFFF, 30, 255 * (1 + 30 + 1800 + 108000)},
        {0x80000000, 24, 128 * 3600 * 24},  // no sign bit
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnpackTimecode(c.packed, c.rate), c.n) << std::hex << c.packed;
}

TEST(PackTimecode, RoundTripsEveryFrameOfTheDay)
{
    for (int rate : {24, 25, 30}) {
        int mismatches = 0;
        for (int32_t n = 0; n < 86400 * rate; n++) {
            if (UnpackTimecode(PackTimecode(n, rate), rate) != n)
                mismatches++;
        }
        EXPECT_EQ(mismatches, 0) << rate;
    }
}

TEST(ValidateTimecode, Table)
{
    struct Case {
        const char *text;
        int rate;
        bool valid;
    } cases[] = {
        {"10:00:00:00", 25, true},
        {"10;00;00;00", 25, true},
        {"00:00:10.05", 25, true},
        {"5:00", 25, true},
        {"1.05", 25, false},  // "." needs seven characters
        {"10.00.00.00", 25, false},
        {"24:00:00:00", 25, false},
        {"00:60:00:00", 25, false},
        {"00:00:60:00", 25, false},
        {"23:59:59:24", 25, true},
        {"00:00:00:25", 25, false},
        {"00:00:00:24", 24, false},
        {"00:00:00:29", 30, true},
        {"12", 25, false},
        {"", 25, false},
        {"   ", 25, true},
        {"XX10:00:00:00", 25, true},  // left of the hour digits nothing is examined
        {"  -01:00:00:00", 25, true},
        {"+01:00:00:00", 25, true},
        {"--01:00:00:00", 25, true},  // the 12th character from the right is not examined
        {"-+1:00", 25, false},
        {"1a:00", 25, false},
        {"10:00 ", 25, false},
        {"1:2:3", 25, false},
        {"\xff\xfe\x80", 25, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ValidateTimecode(c.text, c.rate), c.valid) << '"' << c.text << "\" at " << c.rate;
}

TEST(NormalizeTimecode, Table)
{
    struct Case {
        const char *text;
        int rate;
        bool valid;
        const char *result;
    } cases[] = {
        {"1:00:00:00", 25, true, " 01:00:00:00"},
        {"12", 25, true, " 00:00:00:12"},
        {"100", 25, true, " 00:00:01:00"},
        {"1234", 25, false, " 00:00:00:00"},
        {"1234", 30, false, " 00:00:00:00"},
        {"-5:00", 25, true, "-00:00:05:00"},
        {" -5:00", 25, true, " 00:00:05:00"},
        {"1 10:00:00:00", 25, true, " 10:00:00:00"},
        {"01/02/03/04", 25, true, " 01:02:03:04"},
        {"123456789", 25, false, " 00:00:00:00"},
        {"", 25, true, " 00:00:00:00"},
        {"abc", 25, true, " 00:00:00:00"},
        {"00:00:00:24", 24, false, " 00:00:00:00"},
    };
    for (const Case &c : cases) {
        char buffer[TIMECODE_BUFFER_SIZE] = {};
        strncpy(buffer, c.text, sizeof buffer - 1);
        EXPECT_EQ(NormalizeTimecode(buffer, c.rate), c.valid) << c.text;
        EXPECT_STREQ(buffer, c.result) << c.text;
    }
}

TEST(ParseTimecode, Table)
{
    struct Case {
        std::string text;
        int rate;
        int32_t n;
    } cases[] = {
        {"10:00:00:00", 25, 10 * 3600 * 25},
        {"-1:00:00:00", 25, -3600 * 25},
        {"5:00", 25, 125},
        {" -00:00:01:00", 25, 25},  // the sign must be the first character
        {"00:00:00:24", 25, 24},
        {"00:00:00:24", 24, 0},
        {"24:00:00:00", 25, 0},
        {"00:60:00:00", 25, 0},
        {"1 10:00:00:00", 25, 10 * 3600 * 25},  // only the eight rightmost digits count
        {"01/02/03/04", 25, 3600 * 25 + 2 * 60 * 25 + 3 * 25 + 4},
        {" 00:00:00:00", 25, 0},
        {"garbage", 25, 0},
        {"", 25, 0},
        {"-23:59:59:29", 30, -(86400 * 30 - 1)},
        // Longer than the dialog allows (a hand-edited settings file): parsed whole.
        {std::string(20, ' ') + "00:00:01:00", 25, 25},
        {"-" + std::string(40, ' ') + "1:00", 25, -25},
        {std::string(1000, '9') + "01:00:00:00", 25, 3600 * 25},
        {std::string(31, '\x80') + "2:00", 25, 50},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ParseTimecode(c.text.c_str(), c.rate), c.n) << '"' << c.text << "\" at " << c.rate;
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
