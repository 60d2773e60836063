// The keystrokes and text of a timecode, in keyboard layouts this machine does not have. Pure:
// also built with the host compiler and as a 32-bit Linux program (tests/native).
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "player/keystrokes.h"
#include "settings/keys.h"
#include "tests/win/player/keystroke_text.h"

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

int16_t Lookup(uint16_t ch, void *context)
{
    const Layout *layout = (const Layout *)context;
    if (ch > 0x7F)
        return -1;
    auto found = layout->scan.find((char)ch);
    return found == layout->scan.end() ? -1 : found->second;
}

// One token a chord: the key in hex, after "S+" with Shift, after "CA+" with Ctrl and Alt; or
// "U+" and the character's code in hex for the character typed as itself.
std::vector<KeyStroke> Chords(const std::vector<std::string> &tokens)
{
    std::vector<KeyStroke> strokes;
    for (const std::string &t : tokens) {
        if (t.compare(0, 2, "U+") == 0) {
            uint16_t ch = (uint16_t)strtoul(t.c_str() + 2, NULL, 16);
            strokes.push_back({0, false, ch});
            strokes.push_back({0, true, ch});
            continue;
        }
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
            strokes.push_back({m, false, 0});
        strokes.push_back({vk, false, 0});
        strokes.push_back({vk, true, 0});
        for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
            strokes.push_back({*m, true, 0});
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
        // No key for ':', or only with AltGr: the character itself.
        {NoColon, " 01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"30", "31", "U+3A", "30", "32", "U+3A", "30", "33", "U+3A", "30", "34", "20"}},
        {AltGrColon, " 01:02:03:04", SHOW_FRAMES_NO, APPEND_NOT,
         {"30", "31", "U+3A", "30", "32", "U+3A", "30", "33"}},
        // Frames as zeros and the tab, on Shift where the digits are.
        {Azerty, " 12:34:56:07", SHOW_FRAMES_ZERO, APPEND_TAB,
         {"S+31", "S+32", "BF", "S+33", "S+34", "BF", "S+35", "S+36", "BF", "S+30", "S+30", "09"}},
        // The line feed stays the code no key has, not the layout's Ctrl + Return.
        {US, " 23:59:59:24", SHOW_FRAMES_NO, APPEND_CRLF,
         {"32", "33", "S+BA", "35", "39", "S+BA", "35", "39", "0D", "0A"}},
        {Azerty, " 00:00:10:00", SHOW_FRAMES_NO, APPEND_CRLF,
         {"S+30", "S+30", "BF", "S+30", "S+30", "BF", "S+31", "S+30", "0D", "0A"}},
        // Without any answer every character goes as itself; the blank and tab keep their keys.
        {Nothing, "-01:02:03:04", SHOW_FRAMES_YES, APPEND_SPACE,
         {"U+30", "U+31", "U+3A", "U+30", "U+32", "U+3A", "U+30", "U+33", "U+3A", "U+30", "U+34",
          "20"}},
        {Nothing, " 01:02:03:04", SHOW_FRAMES_NO, APPEND_TAB,
         {"U+30", "U+31", "U+3A", "U+30", "U+32", "U+3A", "U+30", "U+33", "09"}},
        // Drop-frame: the layout's ';', or ';' itself where it has no key for it.
        {USSemicolon, " 00:01:00;02", SHOW_FRAMES_YES, APPEND_NOT,
         {"30", "30", "S+BA", "30", "31", "S+BA", "30", "30", "BA", "30", "32"}},
        {US, " 00:01:00;02", SHOW_FRAMES_YES, APPEND_NOT,
         {"30", "30", "S+BA", "30", "31", "S+BA", "30", "30", "U+3B", "30", "32"}},
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

// The signs of the stamp forms: a key where the layout has one without AltGr, the character
// itself where it needs AltGr (brackets on German and French keyboards) or has none.
TEST(TextKeystrokes, StampSignsTable)
{
    std::map<char, int16_t> us = US.scan, german = German.scan, azerty = Azerty.scan;
    for (auto add : std::vector<std::pair<char, int16_t>>{
             {'[', 0x00DB}, {']', 0x00DD}, {'#', 0x0133}, {'(', 0x0139}, {')', 0x0130},
             {',', 0x00BC}, {'.', 0x00BE}, {'-', 0x00BD}})
        us[add.first] = add.second;
    for (auto add : std::vector<std::pair<char, int16_t>>{
             {'[', 0x0638}, {']', 0x0639}, {'#', 0x00BF}, {'(', 0x0138}, {')', 0x0139},
             {',', 0x00BC}, {'.', 0x00BE}, {'-', 0x00BD}})
        german[add.first] = add.second;
    for (auto add : std::vector<std::pair<char, int16_t>>{
             {'[', 0x0635}, {']', 0x06DB}, {'#', 0x0633}, {'(', 0x0035}, {')', 0x00DB},
             {',', 0x00BC}, {'.', 0x01BE}, {'-', 0x0036}})
        azerty[add.first] = add.second;
    const Layout withUS = {"US", us}, withGerman = {"German", german}, withAzerty = {"AZERTY", azerty};
    struct Case {
        const Layout &layout;
        const char16_t *text;
        std::vector<std::string> chords;
    } cases[] = {
        {withUS, u"[01.02]", {"DB", "30", "31", "BE", "30", "32", "DD"}},
        {withGerman, u"[01.02]", {"U+5B", "30", "31", "BE", "30", "32", "U+5D"}},
        {withAzerty, u"[01.02]", {"U+5B", "S+30", "S+31", "S+BE", "S+30", "S+32", "U+5D"}},
        {withUS, u"#1-2#", {"S+33", "31", "BD", "32", "S+33"}},
        {withGerman, u"#1-2#", {"BF", "31", "BD", "32", "BF"}},
        {withAzerty, u"#1-2#", {"U+23", "S+31", "36", "S+32", "U+23"}},
        {withGerman, u"(1,2)", {"S+38", "31", "BC", "32", "S+39"}},
        {withAzerty, u"(1,2)", {"35", "S+31", "BC", "S+32", "DB"}},
        // No layout has these: the character itself, a tab and a line break by their keys.
        {withUS, u"\u00BB1\t\r\n", {"U+BB", "31", "09", "0D", "0A"}},
        {NoColon, u"1:2", {"31", "U+3A", "32"}},
    };
    for (const Case &c : cases) {
        std::vector<uint16_t> text(c.text, c.text + std::char_traits<char16_t>::length(c.text) + 1);
        KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
        int count = TextKeystrokes(text.data(), Lookup, (void *)&c.layout, strokes);
        EXPECT_EQ(Describe(std::vector<KeyStroke>(strokes, strokes + count)), Describe(Chords(c.chords)))
            << c.layout.name << " " << text.size();
    }
}
