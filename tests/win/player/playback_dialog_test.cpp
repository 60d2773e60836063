// The Playback dialog from the ▲ menu: what it shows, what OK stores and hands back, the jump
// keys it refuses, and its remembered position.
#include <algorithm>

#include "tests/win/player/dialog_fixture.h"

#include "dialogs/dialogs.h"

namespace {

void SetItem(HWND dialog, int id, const char *text)
{
    SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, (LPARAM)text);
}

}  // namespace

class PlaybackDialogTest : public DialogTest {
protected:
    void Playback(const std::function<void(HWND)> &driver) { RunFromMenu(IDM_PLAYBACK, driver); }
};

TEST_F(PlaybackDialogTest, ShowsTheDefaultsAndStoresTheChoiceClamped)
{
    Start();
    std::string title, rewind, jump, back, forward;
    LRESULT keyCount = 0;
    Playback([&](HWND dialog) {
        char text[32];
        GetWindowTextA(dialog, text, sizeof text);
        title = text;
        rewind = ItemText(dialog, IDC_PB_REWIND);
        jump = ItemText(dialog, IDC_PB_JUMPSECONDS);
        back = ItemText(dialog, IDC_PB_JUMPBACKKEY);
        forward = ItemText(dialog, IDC_PB_JUMPFORWARDKEY);
        keyCount = SendDlgItemMessageA(dialog, IDC_PB_JUMPBACKKEY, CB_GETCOUNT, 0, 0);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(title, "Playback");
    EXPECT_EQ(rewind, "0");
    EXPECT_EQ(jump, "5");
    EXPECT_EQ(back, "-");
    EXPECT_EQ(forward, "-");
    EXPECT_EQ(keyCount, 13);
    EXPECT_EQ(IniText().find("[Playback]"), std::string::npos) << "Cancel stores nothing";

    struct Case {
        const char *rewind, *jump, *back, *forward;
        const char *storedRewind, *storedJump;
        int backCode, forwardCode;
    } cases[] = {
        {"2", "5", "F5", "F6", "2", "5", VK_F5, VK_F6},
        {"1.5", "10", "F1", "-", "1.5", "10", VK_F1, 0},
        {"25", "0", "-", "F10", "10", "1", 0, VK_F10},
        {"-3", "99", "F9", "F8", "0", "60", VK_F9, VK_F8},
        {"", "", "-", "-", "0", "5", 0, 0},
        {"0.333", "7.6", "F2", "F3", "0.33", "8", VK_F2, VK_F3},
    };
    for (const Case &c : cases) {
        Playback([&](HWND dialog) {
            SetItem(dialog, IDC_PB_REWIND, c.rewind);
            SetItem(dialog, IDC_PB_JUMPSECONDS, c.jump);
            Select(dialog, IDC_PB_JUMPBACKKEY, c.back);
            Select(dialog, IDC_PB_JUMPFORWARDKEY, c.forward);
            Ok(dialog);
        });
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME), c.storedRewind) << c.rewind;
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_JUMP_SECONDS), c.storedJump) << c.jump;
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_JUMP_BACK_HOTKEY), c.back);
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_JUMP_FORWARD_HOTKEY), c.forward);
        // In force at once, and kept from the program in front.
        EXPECT_EQ(Player.jumpBackHotKey, c.backCode) << c.back;
        EXPECT_EQ(Player.jumpForwardHotKey, c.forwardCode) << c.forward;
        std::vector<DWORD> kept = KeptKeys();
        for (int code : {c.backCode, c.forwardCode, VK_F11, VK_F12}) {
            if (code) {
                EXPECT_NE(std::find(kept.begin(), kept.end(), (DWORD)code), kept.end()) << code;
            }
        }
    }
    // The next opening shows what is stored.
    Playback([&](HWND dialog) {
        rewind = ItemText(dialog, IDC_PB_REWIND);
        jump = ItemText(dialog, IDC_PB_JUMPSECONDS);
        back = ItemText(dialog, IDC_PB_JUMPBACKKEY);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(rewind, "0.33");
    EXPECT_EQ(jump, "8");
    EXPECT_EQ(back, "F2");
}

// The TC key is F12 and start/stop F11 unless the Options dialog changed them.
TEST_F(PlaybackDialogTest, RefusesAJumpKeyThatIsAlreadyAnotherKey)
{
    Start();
    Player.tcHotKey = VK_F4;
    struct Case {
        const char *back, *forward;
        const char *backRefusal, *forwardRefusal;
    } cases[] = {
        {"F4", "-", "Already the TC key", ""},
        {"-", "F4", "", "Already the TC key"},
        {"F11", "F6", "Already Start/Stop", ""},
        {"F5", "F11", "", "Already Start/Stop"},
        {"F7", "F7", "", "Already Jump Back"},
        {"F4", "F11", "Already the TC key", "Already Start/Stop"},
    };
    for (const Case &c : cases) {
        bool openAfterOk = false, openAfterFix = true;
        std::string backRefusal, forwardRefusal, clearedAfterFix = "?";
        Playback([&](HWND dialog) {
            Select(dialog, IDC_PB_JUMPBACKKEY, c.back);
            Select(dialog, IDC_PB_JUMPFORWARDKEY, c.forward);
            Ok(dialog);
            openAfterOk = IsWindow(dialog) && IsWindowVisible(dialog);
            backRefusal = ItemText(dialog, IDC_PB_JUMPBACK_REFUSED);
            forwardRefusal = ItemText(dialog, IDC_PB_JUMPFORWARD_REFUSED);
            // A new choice clears the refusals as soon as it is made, and OK then closes.
            Select(dialog, IDC_PB_JUMPBACKKEY, "F2");
            Select(dialog, IDC_PB_JUMPFORWARDKEY, "F3");
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PB_JUMPFORWARDKEY, CBN_SELCHANGE),
                         (LPARAM)GetDlgItem(dialog, IDC_PB_JUMPFORWARDKEY));
            clearedAfterFix = ItemText(dialog, IDC_PB_JUMPBACK_REFUSED) +
                              ItemText(dialog, IDC_PB_JUMPFORWARD_REFUSED);
            Ok(dialog);
            for (int i = 0; i < 200 && IsWindow(dialog); i++)
                Sleep(5);
            openAfterFix = IsWindow(dialog) != FALSE;
            if (openAfterFix)
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_TRUE(openAfterOk) << c.back << " " << c.forward;
        EXPECT_EQ(backRefusal, c.backRefusal) << c.back << " " << c.forward;
        EXPECT_EQ(forwardRefusal, c.forwardRefusal) << c.back << " " << c.forward;
        EXPECT_EQ(clearedAfterFix, "");
        EXPECT_FALSE(openAfterFix);
        EXPECT_EQ(Player.jumpBackHotKey, VK_F2);
        EXPECT_EQ(Player.jumpForwardHotKey, VK_F3);
    }
}

// The speed field shows the stored speed; OK stores it held to 50 to 200 and hands it to the
// engine at once, and the speed keys are stored and kept like the jump keys.
TEST_F(PlaybackDialogTest, SpeedAndItsKeysAreShownStoredAndInForceAtOnce)
{
    Start();
    std::string speed, slower, faster;
    Playback([&](HWND dialog) {
        speed = ItemText(dialog, IDC_PB_SPEED);
        slower = ItemText(dialog, IDC_PB_SLOWERKEY);
        faster = ItemText(dialog, IDC_PB_FASTERKEY);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(speed, "100");
    EXPECT_EQ(slower, "-");
    EXPECT_EQ(faster, "-");

    struct Case {
        const char *speed, *slower, *faster;
        const char *stored;
        int slowerCode, fasterCode;
    } cases[] = {
        {"75", "F7", "F8", "75", VK_F7, VK_F8},
        {"20", "-", "F9", "50", 0, VK_F9},
        {"999", "F1", "-", "200", VK_F1, 0},
        {"", "-", "-", "100", 0, 0},
        {"133.6", "F2", "F3", "134", VK_F2, VK_F3},
    };
    for (const Case &c : cases) {
        ClearFakeCalls();
        Playback([&](HWND dialog) {
            SetItem(dialog, IDC_PB_SPEED, c.speed);
            Select(dialog, IDC_PB_SLOWERKEY, c.slower);
            Select(dialog, IDC_PB_FASTERKEY, c.faster);
            Ok(dialog);
        });
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_SPEED), c.stored) << c.speed;
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_SLOWER_HOTKEY), c.slower);
        EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_FASTER_HOTKEY), c.faster);
        EXPECT_EQ(Player.speedPercent, atoi(c.stored)) << c.speed;
        EXPECT_EQ(Calls("QuorvelControl(2048"),
                  (std::vector<std::string>{"QuorvelControl(2048," + std::string(c.stored) + ")"}))
            << c.speed;
        EXPECT_EQ(Player.slowerHotKey, c.slowerCode) << c.slower;
        EXPECT_EQ(Player.fasterHotKey, c.fasterCode) << c.faster;
        std::vector<DWORD> kept = KeptKeys();
        for (int code : {c.slowerCode, c.fasterCode}) {
            if (code) {
                EXPECT_NE(std::find(kept.begin(), kept.end(), (DWORD)code), kept.end()) << code;
            }
        }
    }
    Playback([&](HWND dialog) {
        speed = ItemText(dialog, IDC_PB_SPEED);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(speed, "134");
}

// A speed key may be no other key: not the TC or start/stop key, nor a jump key, nor the other
// speed key. F4 is the TC key here, F5 and F6 the jump keys.
TEST_F(PlaybackDialogTest, RefusesASpeedKeyThatIsAlreadyAnotherKey)
{
    Start();
    Player.tcHotKey = VK_F4;
    struct Case {
        const char *slower, *faster;
        const char *slowerRefusal, *fasterRefusal;
    } cases[] = {
        {"F4", "-", "Already the TC key", ""},
        {"F11", "F5", "Already Start/Stop", "Already Jump Back"},
        {"F6", "F7", "Already Jump Forward", ""},
        {"F7", "F7", "", "Already Slower"},
        {"-", "-", "", ""},
    };
    for (const Case &c : cases) {
        bool openAfterOk = false;
        std::string slowerRefusal, fasterRefusal;
        Playback([&](HWND dialog) {
            Select(dialog, IDC_PB_JUMPBACKKEY, "F5");
            Select(dialog, IDC_PB_JUMPFORWARDKEY, "F6");
            Select(dialog, IDC_PB_SLOWERKEY, c.slower);
            Select(dialog, IDC_PB_FASTERKEY, c.faster);
            Ok(dialog);
            openAfterOk = IsWindow(dialog) && IsWindowVisible(dialog);
            if (openAfterOk) {
                slowerRefusal = ItemText(dialog, IDC_PB_SLOWER_REFUSED);
                fasterRefusal = ItemText(dialog, IDC_PB_FASTER_REFUSED);
                SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        bool refused = *c.slowerRefusal || *c.fasterRefusal;
        EXPECT_EQ(openAfterOk, refused) << c.slower << " " << c.faster;
        EXPECT_EQ(slowerRefusal, c.slowerRefusal) << c.slower << " " << c.faster;
        EXPECT_EQ(fasterRefusal, c.fasterRefusal) << c.slower << " " << c.faster;
    }
}

TEST_F(PlaybackDialogTest, ReopensWhereItWasLeft)
{
    Start();
    Playback([&](HWND dialog) {
        SetWindowPos(dialog, NULL, 145, 167, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(Ini(SECTION_WINDOW_POSITION, KEY_PLAYBACK_DIALOG).rfind("145,167,", 0), 0u);
    RECT r = {};
    Playback([&](HWND dialog) {
        GetWindowRect(dialog, &r);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(r.left, 145);
    EXPECT_EQ(r.top, 167);
}

// The hold-to-play key offers F1 to F24; OK stores it, puts it in force and keeps it from the
// program in front; a key already in use is refused like the jump and speed keys.
TEST_F(PlaybackDialogTest, HoldToPlayKeyReachesF24AndIsRefusedWhenTaken)
{
    Start();
    LRESULT count = 0;
    std::string shown;
    Playback([&](HWND dialog) {
        count = SendDlgItemMessageA(dialog, IDC_PB_HOLDTOPLAYKEY, CB_GETCOUNT, 0, 0);
        shown = ItemText(dialog, IDC_PB_HOLDTOPLAYKEY);
        Select(dialog, IDC_PB_HOLDTOPLAYKEY, "F13");
        Ok(dialog);
    });
    EXPECT_EQ(count, 25);
    EXPECT_EQ(shown, "-");
    EXPECT_EQ(Ini(SECTION_PLAYBACK, KEY_HOLD_TO_PLAY_HOTKEY), "F13");
    EXPECT_EQ(HoldToPlayKey(), VK_F13);
    std::vector<DWORD> kept = KeptKeys();
    EXPECT_NE(std::find(kept.begin(), kept.end(), (DWORD)VK_F13), kept.end());

    std::string refusal;
    bool openAfterOk = false;
    Playback([&](HWND dialog) {
        shown = ItemText(dialog, IDC_PB_HOLDTOPLAYKEY);
        Select(dialog, IDC_PB_JUMPBACKKEY, "F5");
        Select(dialog, IDC_PB_HOLDTOPLAYKEY, "F5");
        Ok(dialog);
        openAfterOk = IsWindow(dialog) && IsWindowVisible(dialog);
        refusal = ItemText(dialog, IDC_PB_HOLDTOPLAY_REFUSED);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(shown, "F13");
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(refusal, "Already Jump Back");
    EXPECT_EQ(HoldToPlayKey(), VK_F13) << "Cancel changed the key in force";
}
