// The hot keys pressed while a text window of another program is in front: F12 types the
// timecode of the picture on screen in the chosen form, F11 starts and pauses playback.
#include <gtest/gtest.h>

#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const char CLIP[] = "mp3-30.mp4";  // with sound, as users have it
const int RATE = 30;
const int HELD_REPEATS = 12;
const DWORD REPEAT_DELAY_MS = 300, REPEAT_PERIOD_MS = 30;  // a keyboard's, at their quickest

class Typing : public PlayerAndNotesTest {
protected:
    void SetUp() override
    {
        PlayerAndNotesTest::SetUp();
        StartWithNotes(CLIP);
    }
    // Waits until the text window holds at least the expected length; its text.
    std::string TypedText(size_t length)
    {
        std::string text;
        WaitFor([&] { return (text = notes.Text()).size() >= length; }, TYPED_DEADLINE_MS);
        return text;
    }
};

TEST_F(Typing, TcHotKeyTypesTheShownTimecodeInEachMode)
{
    struct {
        const char *appendSign, *showFrames;
    } modes[] = {
        {"SPACE", "YES"}, {"TAB", "YES"},  {"CRLF", "YES"}, {"NOT", "YES"},
        {"SPACE", "ZERO"}, {"TAB", "ZERO"}, {"CRLF", "ZERO"}, {"NOT", "ZERO"},
        {"SPACE", "NO"},  {"TAB", "NO"},   {"CRLF", "NO"},  {"NOT", "NO"},
    };
    PauseAndSettle(RATE);
    int frame = 37;
    for (const auto &mode : modes) {
        SCOPED_TRACE(std::string(mode.showFrames) + " " + mode.appendSign);
        ASSERT_TRUE(player.SetTypingOptions(mode.appendSign, mode.showFrames));
        EXPECT_EQ(ReadSettingsValue("Options", "AppendKeySign"), mode.appendSign);
        EXPECT_EQ(ReadSettingsValue("Options", "ShowKeyFrames"), mode.showFrames);
        frame = (frame + 41) % 110 + 3;  // a new picture each time
        CtlResult located = Ctl("locate " + TimecodeOfFrame(frame, RATE));
        ASSERT_EQ(located.exitCode, 0);
        ASSERT_TRUE(player.WaitForFrame(frame, RATE));

        std::string shown = player.Display();
        std::string expected = shown;
        if (strcmp(mode.showFrames, "NO") == 0)
            expected = shown.substr(0, 8);
        else if (strcmp(mode.showFrames, "ZERO") == 0)
            expected = shown.substr(0, 9) + "00";
        const char *sign = strcmp(mode.appendSign, "SPACE") == 0  ? " "
                           : strcmp(mode.appendSign, "TAB") == 0  ? "\t"
                           : strcmp(mode.appendSign, "CRLF") == 0 ? "\r\n"
                                                                   : "";
        expected += sign;

        ASSERT_TRUE(notes.Activate());
        notes.Clear();
        PressKey(VK_F12);
        EXPECT_EQ(TypedText(expected.size()), expected);
        // The picture is still the one whose timecode was typed.
        EXPECT_EQ(player.PictureFrame(), frame);
    }
}

TEST_F(Typing, StartStopHotKeyTogglesPlaybackFromTheTextWindow)
{
    PauseAndSettle(RATE);
    EXPECT_EQ(Ctl("locate 00:00:00:05").exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(5, RATE));
    ASSERT_TRUE(notes.Activate());
    notes.Clear();

    PressKey(VK_F11);
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked(); }, SETTLE_DEADLINE_MS));
    EXPECT_TRUE(player.WaitForAdvance()) << "F11 did not start playback";

    PressKey(VK_F11);
    EXPECT_GE(player.WaitForPaused(TimecodeFormat{RATE, false}), 0)
        << "F11 did not pause playback: " << player.Display();

    // The text window kept the front and received nothing.
    EXPECT_EQ(GetForegroundWindow(), notes.Window());
    EXPECT_EQ(notes.Text(), "");
}

// A held key repeats its key-down; the hook reports the press once. Every report the hook made
// is queued before the player moves on, so after a new position and a second press the text
// holds exactly the two timecodes.
TEST_F(Typing, HeldTcHotKeyTypesOnce)
{
    int frame = PauseAndSettle(RATE);
    std::string first = TimecodeOfFrame(frame, RATE) + " ";
    ASSERT_TRUE(notes.Activate());
    notes.Clear();
    // As a keyboard repeats a held key: the first repeat after its delay, then steadily.
    KeyDown(VK_F12);
    Sleep(REPEAT_DELAY_MS);
    for (int i = 1; i < HELD_REPEATS; i++) {
        KeyDown(VK_F12);
        Sleep(REPEAT_PERIOD_MS);
    }
    KeyUp(VK_F12);
    EXPECT_EQ(TypedText(first.size()), first);

    int next = frame > 60 ? frame - 50 : frame + 50;
    ASSERT_EQ(Ctl("locate " + TimecodeOfFrame(next, RATE)).exitCode, 0);
    ASSERT_TRUE(player.WaitForFrame(next, RATE));
    std::string second = TimecodeOfFrame(next, RATE) + " ";
    PressKey(VK_F12);
    std::string text;
    EXPECT_TRUE(WaitFor(
        [&] {
            text = notes.Text();
            return text.size() >= second.size() &&
                   text.compare(text.size() - second.size(), second.size(), second) == 0;
        },
        TYPED_DEADLINE_MS));
    EXPECT_EQ(text, first + second);
}

}  // namespace

namespace {

bool IsAbove(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower)
            return true;
    return false;
}

}  // namespace

// Always on top, switched on from the menu: the document brought to the front stays below the
// Player window, and keeps the keyboard, so F12 types into it.
TEST_F(Typing, AlwaysOnTopStaysAboveTheDocumentAndF12StillTypesThere)
{
    const WPARAM ALWAYS_ON_TOP = 1007;  // the menu item
    PauseAndSettle(RATE);
    ASSERT_TRUE(notes.Activate());
    EXPECT_TRUE(IsAbove(notes.Window(), player.Window()));  // as designed
    PostMessageA(player.Window(), WM_COMMAND, ALWAYS_ON_TOP, 0);
    EXPECT_TRUE(WaitFor([&] { return ReadSettingsValue("Playback", "AlwaysOnTop") == "YES"; },
                        SETTLE_DEADLINE_MS));
    ASSERT_TRUE(notes.Activate());
    EXPECT_TRUE(WaitFor([&] { return IsAbove(player.Window(), notes.Window()); },
                        SETTLE_DEADLINE_MS));
    EXPECT_EQ(GetForegroundWindow(), notes.Window());
    notes.Clear();
    std::string expected = player.Display() + " ";
    PressKey(VK_F12);
    EXPECT_EQ(TypedText(expected.size()), expected);
    EXPECT_EQ(GetForegroundWindow(), notes.Window());
}
