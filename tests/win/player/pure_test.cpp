// The Player window's pure pieces: the controls' layout, the command line's file name and the
// seek arithmetic. The keystrokes of a timecode are in keystrokes_test.cpp.
#include <wchar.h>

#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "player/layout.h"
#include "player/seek.h"
#include "resources/resource.h"

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
