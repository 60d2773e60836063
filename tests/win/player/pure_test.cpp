// The Player window's pure pieces: the keystrokes of a timecode, the separator chord, the layout
// and the command line's file name.
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "player/keystrokes.h"
#include "tests/win/player/keystroke_text.h"
#include "player/layout.h"
#include "resources/resource.h"
#include "settings/keys.h"

namespace {

const SeparatorChord ShiftPeriod = {0xBE, true, false, false};
const SeparatorChord Oem1 = {0xBA, false, false, false};  // ';' on US layouts

// "0" taps the digit key, ":" the separator chord Shift + period, ";" the drop-frame chord
// VK_OEM_1, "SP" space, "TAB", "CR", "LF".
std::vector<KeyStroke> Expected(const std::vector<std::string> &taps)
{
    std::vector<KeyStroke> strokes;
    auto tap = [&](uint8_t key) {
        strokes.push_back({key, false});
        strokes.push_back({key, true});
    };
    for (const std::string &t : taps) {
        if (t == ":") {
            strokes.push_back({0x10, false});
            tap(0xBE);
            strokes.push_back({0x10, true});
        } else if (t == ";") {
            tap(0xBA);
        } else if (t == "SP") {
            tap(0x20);
        } else if (t == "TAB") {
            tap(0x09);
        } else if (t == "CR") {
            tap(0x0D);
        } else if (t == "LF") {
            tap(0x0A);
        } else {
            tap((uint8_t)t[0]);
        }
    }
    return strokes;
}

std::vector<KeyStroke> Typed(const char *tc, int frames, int append, SeparatorChord sep)
{
    KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
    int count = TimecodeKeystrokes(tc, frames, append, sep, Oem1, strokes);
    return std::vector<KeyStroke>(strokes, strokes + count);
}

}  // namespace

TEST(TimecodeKeystrokes, ModesTable)
{
    struct Case {
        const char *tc;
        int frames, append;
        std::vector<std::string> taps;
    } cases[] = {
        {" 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"0", "1", ":", "0", "2", ":", "0", "3", ":", "0", "4", "SP"}},
        {" 01:02:03:04", SHOW_FRAMES_NO, APPEND_SPACE,
         {"0", "1", ":", "0", "2", ":", "0", "3", "SP"}},
        {" 01:02:03:04", SHOW_FRAMES_ZERO, APPEND_SPACE,
         {"0", "1", ":", "0", "2", ":", "0", "3", ":", "0", "0", "SP"}},
        {" 23:59:59:24", SHOW_FRAMES_YES, APPEND_NOT,
         {"2", "3", ":", "5", "9", ":", "5", "9", ":", "2", "4"}},
        {" 10:20:30:12", SHOW_FRAMES_YES, APPEND_CRLF,
         {"1", "0", ":", "2", "0", ":", "3", "0", ":", "1", "2", "CR", "LF"}},
        {" 00:00:00:00", SHOW_FRAMES_YES, APPEND_TAB,
         {"0", "0", ":", "0", "0", ":", "0", "0", ":", "0", "0", "TAB"}},
        // The sign is never typed.
        {"-00:00:10:00", SHOW_FRAMES_YES, APPEND_SPACE,
         {"0", "0", ":", "0", "0", ":", "1", "0", ":", "0", "0", "SP"}},
        {" 01:02:03:04", SHOW_FRAMES_NO, APPEND_NOT, {"0", "1", ":", "0", "2", ":", "0", "3"}},
        // Drop-frame: ';' before the frames wherever frames are typed.
        {" 00:01:00;02", SHOW_FRAMES_YES, APPEND_SPACE,
         {"0", "0", ":", "0", "1", ":", "0", "0", ";", "0", "2", "SP"}},
        {" 00:01:00;02", SHOW_FRAMES_ZERO, APPEND_NOT,
         {"0", "0", ":", "0", "1", ":", "0", "0", ";", "0", "0"}},
        {" 00:01:00;02", SHOW_FRAMES_NO, APPEND_NOT, {"0", "0", ":", "0", "1", ":", "0", "0"}},
    };
    for (const Case &c : cases) {
        std::vector<KeyStroke> got = Typed(c.tc, c.frames, c.append, ShiftPeriod);
        std::vector<KeyStroke> want = Expected(c.taps);
        EXPECT_EQ(Describe(got), Describe(want)) << c.tc << " frames " << c.frames << " append "
                                                 << c.append;
    }
    // Frames typed and a one-key append sign: 30 events; 28 with the one-key ';'.
    EXPECT_EQ(Typed(" 01:02:03;04", 0, 0, ShiftPeriod).size(), 28u);
    EXPECT_EQ(Typed(" 01:02:03:04", 0, 0, ShiftPeriod).size(), 30u);
}

TEST(SeparatorChord, FromTheLayoutsAnswer)
{
    struct Case {
        int16_t scan;
        SeparatorChord chord;
    } cases[] = {
        {0x01BA, {0xBA, true, false, false}},   // US: Shift + VK_OEM_1
        {0x01BE, {0xBE, true, false, false}},   // German: Shift + VK_OEM_PERIOD
        {0x00BF, {0xBF, false, false, false}},  // a layout with ':' unshifted
        {0x06DB, {0xDB, false, true, true}},    // AltGr (Ctrl + Alt)
        {-1, {0xBE, true, false, false}},       // no key for ':': Shift + period
    };
    for (const Case &c : cases) {
        SeparatorChord got = SeparatorChordFromScan(c.scan);
        EXPECT_EQ(got.key, c.chord.key) << std::hex << c.scan;
        EXPECT_EQ(got.shift, c.chord.shift) << std::hex << c.scan;
        EXPECT_EQ(got.control, c.chord.control) << std::hex << c.scan;
        EXPECT_EQ(got.alt, c.chord.alt) << std::hex << c.scan;
    }
}

TEST(SeparatorChord, UsLayoutTypesShiftOem1AsOneChord)
{
    std::vector<KeyStroke> got = Typed(" 01:02:03:04", 0, APPEND_NOT, SeparatorChordFromScan(0x01BA));
    ASSERT_GE(got.size(), 8u);
    // 0 down, 0 up, 1 down, 1 up, then the chord.
    EXPECT_EQ(Describe(std::vector<KeyStroke>(got.begin() + 4, got.begin() + 8)),
              "10v BAv BA^ 10^ ");
    std::vector<KeyStroke> altGr = Typed(" 01:02:03:04", 0, APPEND_NOT, SeparatorChordFromScan(0x06DB));
    EXPECT_EQ(Describe(std::vector<KeyStroke>(altGr.begin() + 4, altGr.begin() + 10)),
              "11v 12v DBv DB^ 12^ 11^ ");
}

TEST(PlayerLayout, ClientOf400x300)
{
    ControlPlace places[LAYOUT_CONTROL_COUNT];
    LayoutPlayerControls(400, 300, places);
    const ControlPlace expected[LAYOUT_CONTROL_COUNT] = {
        {IDC_VIDEO, 0, 18, 400, 260, true},     {IDC_PLAY, 2, 282, 0, 0, false},
        {IDC_STOP, 68, 282, 0, 0, false},       {IDC_REWIND, 94, 282, 0, 0, false},
        {IDC_FORWARD, 120, 282, 0, 0, false},   {IDC_TRACKER, 148, 282, 130, 16, true},
        {IDC_TCDISPLAY, 282, 282, 88, 16, true}, {IDC_MENU, 373, 282, 0, 0, false},
    };
    for (int i = 0; i < LAYOUT_CONTROL_COUNT; i++) {
        EXPECT_EQ(places[i].id, expected[i].id) << i;
        EXPECT_EQ(places[i].x, expected[i].x) << i;
        EXPECT_EQ(places[i].y, expected[i].y) << i;
        EXPECT_EQ(places[i].sized, expected[i].sized) << i;
        if (expected[i].sized) {
            EXPECT_EQ(places[i].width, expected[i].width) << i;
            EXPECT_EQ(places[i].height, expected[i].height) << i;
        }
    }
}

TEST(PlayerLayout, MinimisedWindowGivesNoNegativeSizes)
{
    ControlPlace places[LAYOUT_CONTROL_COUNT];
    LayoutPlayerControls(0, 0, places);
    for (const ControlPlace &p : places) {
        EXPECT_GE(p.width, 0) << p.id;
        EXPECT_GE(p.height, 0) << p.id;
    }
    EXPECT_EQ(places[0].height, 0);  // the video band
    EXPECT_EQ(places[5].width, 0);   // the Tracker
}

TEST(CommandLine, FileName)
{
    struct Case {
        std::wstring commandLine, fileName;
    } cases[] = {
        {L"", L""},
        {L"C:\\My Videos\\a b.mp4", L"C:\\My Videos\\a b.mp4"},
        {L"\"C:\\My Videos\\a b.mp4\"", L"C:\\My Videos\\a b.mp4"},
        // Only the first and the very last character go.
        {L"\"C:\\a b.mp4\" more text", L"C:\\a b.mp4\" more tex"},
        {L"\"", L""},
        {L"\"\"", L""},
        {std::wstring(600, L'x'), std::wstring(512, L'x')},
        {L"\"" + std::wstring(600, L'y') + L"\"", std::wstring(512, L'y')},
        // Names no ANSI code page holds all of arrive whole.
        {L"\"C:\\v\\\u65E5\u672C\u8A9E \u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC.mp4\"",
         L"C:\\v\\\u65E5\u672C\u8A9E \u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC.mp4"},
    };
    for (const Case &c : cases) {
        WCHAR fileName[513];
        wmemset(fileName, L'#', 513);
        FileNameFromCommandLine(c.commandLine.c_str(), fileName, 513);
        EXPECT_EQ(std::wstring(fileName), c.fileName) << c.commandLine.size() << " characters";
    }
}

// What WinMain would be handed, from the whole process command line.
TEST(CommandLine, ArgumentsFollowTheProgramPath)
{
    struct Case {
        const WCHAR *processLine, *arguments;
    } cases[] = {
        {L"Zentrix.exe", L""},
        {L"Zentrix.exe a.mp4", L"a.mp4"},
        {L"\"C:\\Program Files\\Vantorel\\Zentrix.exe\" \"C:\\v\\a b.mp4\"",
         L"\"C:\\v\\a b.mp4\""},
        {L"\"C:\\Program Files\\Zentrix.exe\"\t  \t\"x\"", L"\"x\""},
        {L"C:\\Vantorel\\Zentrix.exe   C:\\v\\a b.mp4  ", L"C:\\v\\a b.mp4  "},
        {L"\"C:\\unclosed quote\\Zentrix.exe", L""},
        {L"\"Zentrix.exe\"\u65E5\u672C.mp4", L"\u65E5\u672C.mp4"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(std::wstring(ArgumentsOfCommandLine(c.processLine)), c.arguments);
}
