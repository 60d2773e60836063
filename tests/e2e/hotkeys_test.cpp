// The hot keys stay the player's: pressed while a text window of another program is in front,
// they act in the player and that window receives neither their key-downs nor their key-ups,
// while every other key reaches it as before. The text window notes each key message its edit
// control receives.
#include <stdio.h>
#include <string.h>

#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const char CLIP[] = "h264-30.mp4";
const int RATE = 30;
const WORD MARKER = VK_F8;               // a key no test makes a hot key
const char MARKER_TAP[] = "v77 ^77";

class HotKeys : public PlayerAndNotesTest {
protected:
    void SetUp() override
    {
        PlayerAndNotesTest::SetUp();
        StartWithNotes(CLIP);
    }
    void ClearNotes()
    {
        notes.Clear();
        markers_ = 0;
    }
    // Taps the marker and waits for it in the text window: keys arrive in the order they were
    // pressed, so what was pressed before it and has not arrived by then never will. The key
    // messages noted since the previous marker (or the clearing), before this marker.
    std::string KeysBeforeMarker()
    {
        PressKey(MARKER);
        std::string keys;
        std::vector<size_t> at;  // where each marker tap begins
        bool arrived = WaitFor(
            [&] {
                keys = notes.Keys();
                at.clear();
                for (size_t i = keys.find(MARKER_TAP); i != std::string::npos;
                     i = keys.find(MARKER_TAP, i + 1))
                    at.push_back(i);
                return at.size() > markers_;
            },
            TYPED_DEADLINE_MS);
        EXPECT_TRUE(arrived) << "the marker key never reached the text window: " << keys;
        if (!arrived)
            return keys;
        size_t from = markers_ ? at[markers_ - 1] + strlen(MARKER_TAP) : 0;
        std::string since = keys.substr(from, at[markers_] - from);
        markers_++;
        while (!since.empty() && since.front() == ' ')
            since.erase(0, 1);
        while (!since.empty() && since.back() == ' ')
            since.pop_back();
        return since;
    }
    // Presses key in the text window; the timecode it types, "" when nothing came.
    std::string TypeWith(WORD key, const std::string &expected)
    {
        std::string text;
        PressKey(key);
        WaitFor([&] { return (text = notes.Text()).size() >= expected.size(); },
                TYPED_DEADLINE_MS);
        return text;
    }
    // True when a key message of vk is among the noted ones.
    static bool HasKey(const std::string &keys, WORD vk)
    {
        char down[8], up[8];
        snprintf(down, sizeof down, "v%02X", vk);
        snprintf(up, sizeof up, "^%02X", vk);
        return keys.find(down) != std::string::npos || keys.find(up) != std::string::npos;
    }
    // The key messages that typing text gives in the layout of the text window, each character
    // a chord of Shift (as the US layout of Wine needs for ':') and its key.
    std::string KeysOf(const std::string &text) const
    {
        HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(notes.Window(), NULL));
        std::string keys;
        char item[32];
        for (char ch : text) {
            SHORT scan = VkKeyScanExA(ch, layout);
            bool shift = (scan >> 8) & 1;
            snprintf(item, sizeof item, "%s%sv%02X ^%02X%s", keys.empty() ? "" : " ",
                     shift ? "v10 " : "", scan & 0xFF, scan & 0xFF, shift ? " ^10" : "");
            keys += item;
        }
        return keys;
    }
    size_t markers_ = 0;  // marker taps in the text window since it was cleared
};

TEST_F(HotKeys, TcAndStartStopKeysDoNotReachTheWindowInFront)
{
    PauseAndSettle(RATE);
    std::string expected = player.Display() + " ";
    ASSERT_TRUE(notes.Activate());
    ClearNotes();
    EXPECT_EQ(TypeWith(VK_F12, expected), expected);
    // The typed keys alone, in one unbroken run, and no F12 before or after them.
    std::string keys = KeysBeforeMarker();
    EXPECT_FALSE(HasKey(keys, VK_F12)) << keys;
    EXPECT_EQ(keys, KeysOf(expected));

    ClearNotes();
    PressKey(VK_F11);
    EXPECT_TRUE(WaitFor([&] { return player.PlayChecked(); }, SETTLE_DEADLINE_MS));
    keys = KeysBeforeMarker();
    EXPECT_EQ(keys, "");
    PressKey(VK_F11);
    EXPECT_TRUE(WaitFor([&] { return player.PlayUnchecked(); }, SETTLE_DEADLINE_MS));
    keys = KeysBeforeMarker();
    EXPECT_EQ(keys, "");
    EXPECT_EQ(notes.Text(), "");
}

TEST_F(HotKeys, OtherKeysStillArrive)
{
    PauseAndSettle(RATE);
    ASSERT_TRUE(notes.Activate());
    ClearNotes();
    PressKey(VK_F5);
    PressKey('A');
    EXPECT_EQ(KeysBeforeMarker(), "v74 ^74 v41 ^41");
    EXPECT_EQ(notes.Text(), "a");
    EXPECT_TRUE(player.PlayUnchecked()) << "a key other than the hot keys acted in the player";
}

TEST_F(HotKeys, ChangedTcKeyIsKeptBackAndTheOldOneArrivesAgain)
{
    PauseAndSettle(RATE);
    ASSERT_TRUE(player.SetHotKeys("F9", "F11"));
    EXPECT_EQ(ReadSettingsValue("Options", "TCHotKey"), "F9");
    ASSERT_TRUE(notes.Activate());
    ClearNotes();
    PressKey(VK_F12);
    EXPECT_EQ(KeysBeforeMarker(), "v7B ^7B");
    EXPECT_EQ(notes.Text(), "") << "F12 typed after the TC key moved to F9";

    ClearNotes();
    std::string expected = player.Display() + " ";
    EXPECT_EQ(TypeWith(VK_F9, expected), expected);
    std::string keys = KeysBeforeMarker();
    EXPECT_FALSE(HasKey(keys, VK_F9)) << keys;
}

}  // namespace
