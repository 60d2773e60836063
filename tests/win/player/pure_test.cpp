// The Player window's pure pieces: the text and keystrokes of a timecode, in keyboard layouts
// this machine does not have; the controls' layout and the command line's file name.
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "player/keystrokes.h"
#include "tests/win/player/keystroke_text.h"
#include "player/layout.h"
#include "player/seek.h"
#include "resources/resource.h"
#include "settings/keys.h"

namespace {

// The answers of VkKeyScanExA in a layout for the characters a timecode is typed with. A
// character missing from a table has no key there (-1).
struct Layout {
    const char *name;
    std::map<char, int16_t> scan;
};

std::map<char, int16_t> Digits(int16_t shiftState)
{
    std::map<char, int16_t> scan;
    for (char d = '0'; d <= '9'; d++)
        scan[d] = (int16_t)(shiftState << 8 | d);
    return scan;
}

// Blank, tab, return, and Ctrl + Return for the line feed, as every layout answers them.
std::map<char, int16_t> With(std::map<char, int16_t> scan, char colon, int16_t colonScan)
{
    scan[' '] = 0x0020;
    scan['\t'] = 0x0009;
    scan['\r'] = 0x000D;
    scan['\n'] = 0x020D;
    if (colon)
        scan[colon] = colonScan;
    return scan;
}

const Layout US = {"US", With(Digits(0), ':', 0x01BA)};              // Shift + VK_OEM_1
const Layout German = {"German", With(Digits(0), ':', 0x01BE)};      // Shift + VK_OEM_PERIOD
const Layout Azerty = {"French AZERTY", With(Digits(1), ':', 0x00BF)};  // digits on Shift
const Layout NoColon = {"no ':'", With(Digits(0), 0, 0)};
const Layout AltGrColon = {"':' on AltGr", With(Digits(0), ':', 0x06DB)};
const Layout Nothing = {"no key for anything", {}};

std::map<char, int16_t> WithSemicolon(std::map<char, int16_t> scan, int16_t semicolonScan)
{
    scan[';'] = semicolonScan;
    return scan;
}
const Layout USSemicolon = {"US with ';'", WithSemicolon(US.scan, 0x00BA)};  // VK_OEM_1

int16_t Lookup(char ch, void *context)
{
    const Layout *layout = (const Layout *)context;
    auto found = layout->scan.find(ch);
    return found == layout->scan.end() ? -1 : found->second;
}

// One token a chord: the key in hex, after "S+" with Shift, after "CA+" with Ctrl and Alt.
std::vector<KeyStroke> Chords(const std::vector<std::string> &tokens)
{
    std::vector<KeyStroke> strokes;
    for (const std::string &t : tokens) {
        std::vector<uint8_t> modifiers;
        std::string key = t;
        if (t.compare(0, 2, "S+") == 0) {
            modifiers = {0x10};
            key = t.substr(2);
        } else if (t.compare(0, 3, "CA+") == 0) {
            modifiers = {0x11, 0x12};
            key = t.substr(3);
        }
        uint8_t vk = (uint8_t)strtoul(key.c_str(), NULL, 16);
        for (uint8_t m : modifiers)
            strokes.push_back({m, false});
        strokes.push_back({vk, false});
        strokes.push_back({vk, true});
        for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
            strokes.push_back({*m, true});
    }
    return strokes;
}

std::vector<KeyStroke> Typed(const char *tc, int frames, int append, const Layout &layout)
{
    KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
    int count = TimecodeKeystrokes(tc, frames, append, Lookup, (void *)&layout, strokes);
    return std::vector<KeyStroke>(strokes, strokes + count);
}

}  // namespace

TEST(TimecodeTypedText, ModesTable)
{
    struct Case {
        const char *tc;
        int frames, append;
        const char *text;
    } cases[] = {
        {" 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE, "01:02:03:04 "},
        {" 01:02:03:04", SHOW_FRAMES_NO, APPEND_SPACE, "01:02:03 "},
        {" 01:02:03:04", SHOW_FRAMES_ZERO, APPEND_SPACE, "01:02:03:00 "},
        {" 23:59:59:24", SHOW_FRAMES_YES, APPEND_NOT, "23:59:59:24"},
        {" 10:20:30:12", SHOW_FRAMES_YES, APPEND_CRLF, "10:20:30:12\r\n"},
        {" 00:00:00:00", SHOW_FRAMES_ZERO, APPEND_TAB, "00:00:00:00\t"},
        {" 01:02:03:04", SHOW_FRAMES_NO, APPEND_NOT, "01:02:03"},
        {" 01:02:03:04", SHOW_FRAMES_NO, APPEND_CRLF, "01:02:03\r\n"},
        {"-00:00:10:00", SHOW_FRAMES_YES, APPEND_SPACE, "00:00:10:00 "},  // no sign
        // Drop-frame: ';' before the frames wherever frames are typed.
        {" 00:01:00;02", SHOW_FRAMES_YES, APPEND_SPACE, "00:01:00;02 "},
        {" 00:01:00;02", SHOW_FRAMES_ZERO, APPEND_NOT, "00:01:00;00"},
        {" 00:01:00;02", SHOW_FRAMES_NO, APPEND_NOT, "00:01:00"},
    };
    for (const Case &c : cases) {
        char text[TYPED_TEXT_SIZE];
        int length = TimecodeTypedText(c.tc, c.frames, c.append, text);
        EXPECT_STREQ(text, c.text) << c.tc << " frames " << c.frames << " append " << c.append;
        EXPECT_EQ(length, (int)strlen(c.text)) << c.text;
    }
}

TEST(TimecodeKeystrokes, LayoutsTable)
{
    struct Case {
        const Layout &layout;
        const char *tc;
        int frames, append;
        std::vector<std::string> chords;
    } cases[] = {
        {US, " 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"30", "31", "S+BA", "30", "32", "S+BA", "30", "33", "S+BA", "30", "34", "20"}},
        {German, " 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"30", "31", "S+BE", "30", "32", "S+BE", "30", "33", "S+BE", "30", "34", "20"}},
        {Azerty, " 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"S+30", "S+31", "BF", "S+30", "S+32", "BF", "S+30", "S+33", "BF", "S+30", "S+34", "20"}},
        {NoColon, " 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"30", "31", "S+BE", "30", "32", "S+BE", "30", "33", "S+BE", "30", "34", "20"}},
        {AltGrColon, " 01:02:03:04", SHOW_FRAMES_NO, APPEND_NOT,
         {"30", "31", "CA+DB", "30", "32", "CA+DB", "30", "33"}},
        // Frames as zeros and the tab, on Shift where the digits are.
        {Azerty, " 12:34:56:07", SHOW_FRAMES_ZERO, APPEND_TAB,
         {"S+31", "S+32", "BF", "S+33", "S+34", "BF", "S+35", "S+36", "BF", "S+30", "S+30", "09"}},
        // The line feed stays the code no key has, not the layout's Ctrl + Return.
        {US, " 23:59:59:24", SHOW_FRAMES_NO, APPEND_CRLF,
         {"32", "33", "S+BA", "35", "39", "S+BA", "35", "39", "0D", "0A"}},
        {Azerty, " 00:00:10:00", SHOW_FRAMES_NO, APPEND_CRLF,
         {"S+30", "S+30", "BF", "S+30", "S+30", "BF", "S+31", "S+30", "0D", "0A"}},
        // Without any answer the keys are those typed before layouts were asked.
        {Nothing, "-01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"30", "31", "S+BE", "30", "32", "S+BE", "30", "33", "S+BE", "30", "34", "20"}},
        {Nothing, " 01:02:03:04", SHOW_FRAMES_YES, APPEND_TAB,
         {"30", "31", "S+BE", "30", "32", "S+BE", "30", "33", "S+BE", "30", "34", "09"}},
        // Drop-frame: the layout's ';', or its ':' where it has no ';'.
        {USSemicolon, " 00:01:00;02", SHOW_FRAMES_YES, APPEND_NOT,
         {"30", "30", "S+BA", "30", "31", "S+BA", "30", "30", "BA", "30", "32"}},
        {US, " 00:01:00;02", SHOW_FRAMES_YES, APPEND_NOT,
         {"30", "30", "S+BA", "30", "31", "S+BA", "30", "30", "S+BA", "30", "32"}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Describe(Typed(c.tc, c.frames, c.append, c.layout)), Describe(Chords(c.chords)))
            << c.layout.name << " " << c.tc << " frames " << c.frames << " append " << c.append;
    }
    // Frames typed and a one-key append sign on US: 8 digit taps, 3 chords of 4 and a tap.
    EXPECT_EQ(Typed(" 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE, US).size(), 30u);
}

TEST(ChordFromScan, AnswersTable)
{
    struct Case {
        char ch;
        int16_t scan;
        KeyChord chord;
    } cases[] = {
        {':', 0x01BA, {0xBA, true, false, false}},   // US
        {':', 0x00BF, {0xBF, false, false, false}},  // AZERTY
        {'5', 0x0135, {0x35, true, false, false}},   // AZERTY digit
        {':', 0x06DB, {0xDB, false, true, true}},    // AltGr
        {':', 0x07DB, {0xDB, true, true, true}},
        {':', -1, {0xBE, true, false, false}},        // no key: Shift + period
        {':', 0x01FF, {0xBE, true, false, false}},    // no key in the low byte alone
        {'7', -1, {0x37, false, false, false}},
        {' ', -1, {0x20, false, false, false}},
        {'\t', -1, {0x09, false, false, false}},
        {'\r', -1, {0x0D, false, false, false}},
    };
    for (const Case &c : cases) {
        KeyChord got = ChordFromScan(c.ch, c.scan);
        EXPECT_EQ(got.key, c.chord.key) << std::hex << c.scan;
        EXPECT_EQ(got.shift, c.chord.shift) << std::hex << c.scan;
        EXPECT_EQ(got.control, c.chord.control) << std::hex << c.scan;
        EXPECT_EQ(got.alt, c.chord.alt) << std::hex << c.scan;
    }
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

TEST(Seek, ResumeAndJumpFrames)
{
    struct Case {
        double seconds;
        int rate;
        int32_t frames;
    } frames[] = {
        {2, 25, 50}, {5, 25, 125}, {0.5, 25, 13}, {0.02, 25, 1}, {0.01, 25, 0}, {0, 30, 0},
        {10, 60, 600}, {60, 30, 1800}, {-5, 25, -125},
    };
    for (const Case &c : frames)
        EXPECT_EQ(FramesForSeconds(c.seconds, c.rate), c.frames) << c.seconds << " s at " << c.rate;

    EXPECT_EQ(ResumeFrame(300, 50), 250);
    EXPECT_EQ(ResumeFrame(50, 50), 0);
    EXPECT_EQ(ResumeFrame(30, 50), 0);
    EXPECT_EQ(ResumeFrame(INT32_MIN + 5, 250), 0);

    struct Jump {
        int32_t frame, delta, length, target;
    } jumps[] = {
        {1000, 125, 5000, 1125}, {1000, -125, 5000, 875}, {100, -125, 5000, 0},
        {4950, 125, 5000, 4999}, {4999, 125, 5000, 4999}, {0, -125, 5000, 0},
        {1000, 125, 0, 1125},     // length unknown: only the first frame limits
        {1000, -1125, 0, 0},
        {INT32_MAX - 10, 125, 0, INT32_MAX},
        {-40, 125, 5000, 85},     // a report below zero (an offset edited by hand) still moves
    };
    for (const Jump &c : jumps)
        EXPECT_EQ(JumpFrame(c.frame, c.delta, c.length), c.target) << c.frame << " + " << c.delta;
}
