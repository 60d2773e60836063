// Stamps typed from a template and read back from text.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "timecode/stamp.h"

namespace {

const TimecodeFormat Base25 = {25, false};
const TimecodeFormat Base30 = {30, false};
const TimecodeFormat DropFrame30 = {30, true};
const TimecodeFormat Base24 = {24, false};
const TimecodeFormat Base60 = {60, false};

std::string Stamp(const char *templateText, int32_t frame, StampClock clock)
{
    char text[STAMP_TEXT_SIZE];
    int length = FormatStamp(templateText, frame, clock, text, sizeof text);
    EXPECT_EQ(length, (int)strlen(text));
    return text;
}

const char *Preset(int k)
{
    return StampPresets[k].templateText;
}

}  // namespace

TEST(FormatStamp, PresetsAndRatesTable)
{
    struct Case {
        const char *templateText;
        int32_t frame;
        StampClock clock;
        const char *text;
    } cases[] = {
        // 25 fps: frames and clock agree; 1:02:03 and 4 frames is frame 93079.
        {Preset(1), 93079, {Base25, 25, 0}, "[01:02:03.04] "},
        {Preset(2), 93079, {Base25, 25, 0}, "#01:02:03-1# "},   // 4 frames: 160 ms
        {Preset(3), 93079, {Base25, 25, 0}, "01:02:03,160 "},
        {Preset(4), 93079, {Base25, 25, 0}, "(01:02:03) "},
        {Preset(5), 93079, {Base25, 25, 0}, "[02:03] "},
        {"{TC}{TAB}x{NL}", 93079, {Base25, 25, 0}, "01:02:03:04\tx\r\n"},
        {"{HH}h{MM}m{SS}s {FF}f {unknown}", 93079, {Base25, 25, 0}, "01h02m03s 04f {unknown}"},
        // An offset of 10:00:00:00 at 25 fps.
        {Preset(1), 93079, {Base25, 25, 900000}, "[11:02:03.04] "},
        {Preset(3), 93079, {Base25, 25, 900000}, "11:02:03,160 "},
        // 29.97 drop-frame: the label 00:01:00;02 is frame 1800; its media time is
        // 1800 · 1001/30000 s = 60.06 s.
        {Preset(1), 1800, {DropFrame30, 29.97, 0}, "[00:01:00.02] "},
        {"{TC}", 1800, {DropFrame30, 29.97, 0}, "00:01:00;02"},
        {Preset(3), 1800, {DropFrame30, 29.97, 0}, "00:01:00,060 "},
        {Preset(2), 1800, {DropFrame30, 29.97, 0}, "#00:01:00-0# "},
        // One hour of 29.97 frames: the drop-frame label and the clock within a frame.
        {Preset(1), 107892, {DropFrame30, 29.97, 0}, "[01:00:00.00] "},
        {Preset(3), 107892, {DropFrame30, 29.97, 0}, "00:59:59,996 "},
        // 29.97 without drop-frame: the label runs 3.6 s an hour behind the clock.
        {Preset(1), 108000, {Base30, 29.97, 0}, "[01:00:00.00] "},
        {Preset(3), 108000, {Base30, 29.97, 0}, "01:00:03,600 "},
        // 23.976: frame 23 is the label's last of its second, 959 ms in.
        {Preset(1), 23, {Base24, 23.976, 0}, "[00:00:00.23] "},
        {Preset(3), 23, {Base24, 23.976, 0}, "00:00:00,959 "},
        {Preset(3), 24, {Base24, 23.98, 0}, "00:00:01,001 "},
        // 60 fps: frames 00 to 59.
        {Preset(1), 3600 * 60 + 59, {Base60, 60, 0}, "[01:00:00.59] "},
        {Preset(3), 3600 * 60 + 59, {Base60, 60, 0}, "01:00:00,983 "},
        // The 24-hour wrap: an offset of 23:59:59:00 and two seconds of media.
        {Preset(1), 50, {Base25, 25, 2159975}, "[00:00:01.00] "},
        {Preset(3), 50, {Base25, 25, 2159975}, "00:00:01,000 "},
        // An offset with frames is a time with its fraction: 00:00:10:12 at 25 is 10.48 s.
        {Preset(3), 0, {Base25, 25, 262}, "00:00:10,480 "},
        // The designed form's text is the empty template's: nothing typed from here.
        {"", 93079, {Base25, 25, 0}, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Stamp(c.templateText, c.frame, c.clock), c.text)
            << c.templateText << " frame " << c.frame << " rate " << c.clock.frameRate;
}

TEST(FormatStamp, CutToSize)
{
    char text[6];
    EXPECT_EQ(FormatStamp(Preset(1), 93079, {Base25, 25, 0}, text, sizeof text), 5);
    EXPECT_STREQ(text, "[01:0");
}

TEST(LaggedFrame, Table)
{
    struct Case {
        int32_t frame;
        double lag, rate;
        int32_t lagged;
    } cases[] = {
        {1000, 0, 25, 1000},     {1000, 1.5, 25, 962},     {1000, 10, 25, 750},
        {20, 1, 25, 0},          // never before the first frame
        {0, 2, 25, 0},           {1000, 1, 29.97, 970},    // 29.97 frames: 970.03 → 30
        {1000, 0.5, 60, 970},    {1000, 1, 23.976, 976},   {1000, -3, 25, 1000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LaggedFrame(c.frame, c.lag, c.rate), c.lagged)
            << c.frame << " lag " << c.lag << " rate " << c.rate;
}

TEST(FindStamp, FormsInText)
{
    const StampClock clock = {Base25, 25, 0};
    struct Case {
        const char *text;
        int end;  // -1: the first stamp of the text
        const char *templateText;
        bool found;
        int32_t frame;
    } cases[] = {
        {"see [01:02:03.04] here", -1, "", true, 93079},
        {"01:02:03:04", -1, "", true, 93079},
        {"  01:02:03;04 ", -1, "", true, 93079},         // drop-frame separator
        {"01:02:03", -1, "", true, 93075},               // frames left out
        {"#01:02:03-1#", -1, "", true, 93078},           // the first frame of the tenth
        {"01:02:03,160", -1, "", true, 93079},
        {"(01:02:03)", -1, "", true, 93075},
        {"[02:03]", -1, "", true, 3075},
        {"1:02:03:04", -1, "", true, 93079},             // the hour's zero left out by hand
        {"01h02m03s", -1, "{HH}h{MM}m{SS}s", true, 93075},  // the template in force
        {"a 00:00:01:00 b 00:00:02:00 c", -1, "", true, 25},
        {"a 00:00:01:00 b 00:00:02:00 c", 200, "", true, 50},
        {"a 00:00:01:00 b 00:00:02:00 c", 17, "", true, 50},   // caret inside the second
        {"a 00:00:01:00 b 00:00:02:00 c", 16, "", true, 25},   // caret before it
        {"no stamp: 12:3 or 123:45:67:89", -1, "", false, 0},
        {"01:02:03:25", -1, "", false, 0},               // frames 25 at 25 fps: no timecode
        {"25:00:00:00", -1, "", false, 0},
        {"", -1, "", false, 0},
    };
    for (const Case &c : cases) {
        int32_t frame = -1;
        bool found = FindStamp(c.text, c.end < 0 ? 0 : c.end, c.end < 0, c.templateText, clock,
                               &frame);
        EXPECT_EQ(found, c.found) << c.text << " end " << c.end;
        if (c.found) {
            EXPECT_EQ(frame, c.frame) << c.text << " end " << c.end;
        }
    }
}

// Whatever the formatter types, the parser reads back the first frame that types the same text:
// the very frame where the form has frames or milliseconds.
TEST(FindStamp, ReadsBackWhatWasTyped)
{
    const StampClock clocks[] = {
        {Base25, 25, 0},          {Base25, 25, 900000},    {DropFrame30, 29.97, 0},
        {DropFrame30, 29.97, 107892}, {Base30, 29.97, 0}, {Base24, 23.976, 3600},
        {Base60, 60, 0},          {Base60, 59.94, 5000},   {Base25, 25, 2159975},
    };
    const char *forms[] = {Preset(1), Preset(2), Preset(3), Preset(4), Preset(5),
                           "{TC} ",   "<{HH}|{MM}|{SS}|{mmm}>", "{HH}:{MM}:{SS}.{T}"};
    for (const StampClock &clock : clocks) {
        for (const char *form : forms) {
            bool exact = strstr(form, "FF") || strstr(form, "mmm") || strstr(form, "TC");
            for (int32_t frame = 0; frame < 2000000; frame = frame * 3 / 2 + 7) {
                std::string typed = Stamp(form, frame, clock);
                int32_t back = -1;
                ASSERT_TRUE(FindStamp(typed.c_str(), 0, true, form, clock, &back))
                    << typed << " " << form << " rate " << clock.frameRate;
                if (strstr(form, "{MM}:{SS}]"))  // minutes and seconds: the hour is lost
                    continue;
                if (exact)
                    EXPECT_EQ(back, frame) << typed << " rate " << clock.frameRate;
                else
                    EXPECT_EQ(Stamp(form, back, clock), typed) << frame << " rate " << clock.frameRate;
            }
        }
    }
}
