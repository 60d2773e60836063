// The Options, Decoder and About dialogs, opened from the Player window's menu commands and
// driven from another thread through real messages, with a real settings file.
#include <string.h>

#include <atomic>
#include <thread>

#include "tests/win/player/dialog_fixture.h"

#include "dialogs/dialogs.h"
#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "resources/resource.h"
#include "settings/settings.h"

TEST_F(DialogTest, OptionsWithoutAFileShowsAndWritesTheDefaults)
{
    Start();
    std::string rate, offset, tcKey, startStop, frames, append;
    Options([&](HWND dialog) {
        char title[32];
        GetWindowTextA(dialog, title, sizeof title);
        EXPECT_STREQ(title, "Options");
        rate = ItemText(dialog, IDC_OPT_FRAMERATE);
        offset = ItemText(dialog, IDC_OPT_TCOFFSET);
        tcKey = ItemText(dialog, IDC_OPT_TCHOTKEY);
        startStop = ItemText(dialog, IDC_OPT_STARTSTOPKEY);
        frames = ItemText(dialog, IDC_OPT_SHOWFRAMES);
        append = ItemText(dialog, IDC_OPT_APPENDSIGN);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_OPT_FRAMERATE, CB_GETCOUNT, 0, 0), 10);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_OPT_TCHOTKEY, CB_GETCOUNT, 0, 0), 13);
        Ok(dialog);
    });
    EXPECT_EQ(rate, "25");
    EXPECT_EQ(offset, " 00:00:00:00");
    EXPECT_EQ(tcKey, "F12");
    EXPECT_EQ(startStop, "F11");
    EXPECT_EQ(frames, "YES");
    EXPECT_EQ(append, "SPACE");
    EXPECT_EQ(Ini(SECTION_FRAME_RATE, KEY_DEFAULT), "25");
    EXPECT_EQ(Ini(SECTION_TC_OFFSET, KEY_DEFAULT), "00:00:00:00");  // the profile trims blanks
    EXPECT_EQ(Ini(SECTION_OPTIONS, KEY_TC_HOTKEY), "F12");
    EXPECT_EQ(Ini(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY), "F11");
    EXPECT_EQ(Calls("QuorvelSetRate"), (std::vector<std::string>{"QuorvelSetRate(25)"}));
}

TEST_F(DialogTest, OptionsWithAFileWritesOnlyThatFilesKeys)
{
    Start();
    lstrcpyA(Player.currentFile, "C:\\v\\mine.mp4");
    WriteIni(SECTION_FRAME_RATE, Player.currentFile, "");  // empty: shows the default
    WriteIni(SECTION_TC_OFFSET, Player.currentFile, "");
    WriteIni(SECTION_FRAME_RATE, KEY_DEFAULT, "30");
    std::string rate, offset;
    Options([&](HWND dialog) {
        rate = ItemText(dialog, IDC_OPT_FRAMERATE);
        offset = ItemText(dialog, IDC_OPT_TCOFFSET);
        Ok(dialog);
    });
    EXPECT_EQ(rate, "30");
    EXPECT_EQ(offset, " 00:00:00:00");
    EXPECT_EQ(Ini(SECTION_FRAME_RATE, "C:\\v\\mine.mp4"), "30");
    EXPECT_EQ(Ini(SECTION_TC_OFFSET, "C:\\v\\mine.mp4"), "00:00:00:00");
    EXPECT_EQ(Ini(SECTION_FRAME_RATE, KEY_DEFAULT), "30");
    EXPECT_EQ(Ini(SECTION_TC_OFFSET, KEY_DEFAULT), "<missing>");
}

TEST_F(DialogTest, OptionsFrameRatesAndOffsetsTakeEffectAtOnce)
{
    Start();
    struct Case {
        const char *stored;  // NULL: choose from the list
        const char *choose;
        const char *offset;
        const char *shown, *written, *engine;
        int rate;
        int32_t tcOffset;
    } cases[] = {
        {NULL, "23.98", "1:00", "25", "23.98", "QuorvelSetRate(23.98)", 24, 24},
        {NULL, "29.97", "", "25", "29.97", "QuorvelSetRate(29.97)", 30, 0},
        {NULL, "30", "00:00:01:00", "25", "30", "QuorvelSetRate(30)", 30, 30},
        {NULL, "24", "-00:00:01:00", "25", "24", "QuorvelSetRate(24)", 24, -24},
        {"2", NULL, "abc12", "24", "24", "QuorvelSetRate(24)", 24, 12},
        {"29.76", NULL, "1:00", "29.76", "29.76", "QuorvelSetRate(29.76)", 30, 30},
        {"50", NULL, "1:00", "50", "50", "QuorvelSetRate(50)", 50, 50},
        {NULL, "60", "00:00:01:30", "25", "60", "QuorvelSetRate(60)", 60, 90},
        {NULL, "59.94", "1:00", "25", "59.94", "QuorvelSetRate(59.94)", 60, 60},
        {NULL, "29.97 DF", "00:01:00;02", "25", "29.97 DF", "QuorvelSetRate(29.97)", 30, 1800},
        {"29.97", NULL, "00:01:00;02", "29.97", "29.97", "QuorvelSetRate(29.97)", 30, 1802},
        {"59.94", NULL, "1:00", "59.94", "59.94", "QuorvelSetRate(59.94)", 60, 60},
        {NULL, "59.94 DF", "-00:01:00;04", "25", "59.94 DF", "QuorvelSetRate(59.94)", 60,
         -3600},
        // Kept as stored: a rate the list lacks; a hand-typed "df" selects the DF item.
        {"48", NULL, "1:00", "48", "48", "QuorvelSetRate(48)", 48, 25},
        {"29.97 df", NULL, "1:00:02", "29.97 DF", "29.97 DF", "QuorvelSetRate(29.97)", 30, 1800},
    };
    for (const Case &c : cases) {
        WriteIni(SECTION_FRAME_RATE, KEY_DEFAULT, c.stored);
        ClearFakeCalls();
        std::string shown;
        Options([&](HWND dialog) {
            shown = ItemText(dialog, IDC_OPT_FRAMERATE);
            if (c.choose)
                Select(dialog, IDC_OPT_FRAMERATE, c.choose);
            SetDlgItemTextA(dialog, IDC_OPT_TCOFFSET, c.offset);
            Ok(dialog);
        });
        EXPECT_EQ(shown, c.shown) << c.written;
        EXPECT_EQ(Ini(SECTION_FRAME_RATE, KEY_DEFAULT), c.written);
        EXPECT_EQ(Calls("QuorvelSetRate"), (std::vector<std::string>{c.engine}));
        EXPECT_EQ(Player.timecodeRate, c.rate) << c.written;
        EXPECT_EQ(Player.tcOffset, c.tcOffset) << c.written << " " << c.offset;
        // The offset is stored as typed and shown again as typed.
        std::string offsetShown;
        Options([&](HWND dialog) {
            offsetShown = ItemText(dialog, IDC_OPT_TCOFFSET);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(offsetShown, c.offset);
    }
}

// Paused, the engine answers the new rate at once with the frame on screen, from inside the
// call; that report, the typed and queried timecode and the arrows all count with the new
// rate and offset.
TEST_F(DialogTest, OptionsOkWhilePausedShowsTheNewTimecodeAtOnce)
{
    Start();
    Open("C:\\v\\paused.mp4");
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);  // pause
    ASSERT_EQ(Player.playState, PLAY_STOPPED);
    SendFakeEngineReport(200);
    struct Case {
        const char *rate, *offset;
        const char *display;
        uint32_t packed;
    } cases[] = {
        {"25", "10:00:00:00", "10:00:08:00", 0x0A000800},
        {"30", "00:01:00:00", "00:01:06:20", 0x00010614},
        {"24", "00:00:10:00", "00:00:18:08", 0x00001208},
    };
    for (const Case &c : cases) {
        SetFakeEngineReportOnSetRate(true, 200);
        Options([&](HWND dialog) {
            Select(dialog, IDC_OPT_FRAMERATE, c.rate);
            SetDlgItemTextA(dialog, IDC_OPT_TCOFFSET, c.offset);
            Ok(dialog);
        });
        SetFakeEngineReportOnSetRate(false, 0);
        char display[32] = "";
        GetWindowTextA(Item(IDC_TCDISPLAY), display, sizeof display);
        EXPECT_STREQ(display, c.display) << c.offset;
        EXPECT_EQ(Player.currentTimecode, c.packed) << c.offset;
        EXPECT_EQ((uint32_t)SendMessageA(window_, WM_REMOTE_CONTROL, 1024, 0), c.packed) << c.offset;
        ClearFakeCalls();
        SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_RIGHT);
        SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_LEFT);
        EXPECT_EQ(FakeCalls(), (std::vector<std::string>{"QuorvelControl(256,201)",
                                                          "QuorvelControl(256,199)"}))
            << c.offset;
    }
}

// Opened on their own, the dialogs hand back what the user chose and leave the Player
// window's values and the engine alone: the Player window applies the choice.
TEST_F(DialogTest, DialogsHandBackTheChoiceOnly)
{
    Start();
    const PlayerValues before = Player;
    auto drive = [](const std::function<void(HWND)> &driver) {
        return DialogUser(GetCurrentThreadId(), driver);
    };
    OptionsChoice options = {};
    options.currentFile = "C:\\v\\own.mp4";
    options.tcHotKey = VK_F5;
    options.startStopHotKey = VK_F6;
    options.showFramesMode = 1;
    options.appendSignMode = 3;
    ClearFakeCalls();
    std::thread user = drive([&](HWND dialog) {
        Select(dialog, IDC_OPT_FRAMERATE, "30");
        SetDlgItemTextA(dialog, IDC_OPT_TCOFFSET, "00:00:02:00");
        Select(dialog, IDC_OPT_STARTSTOPKEY, "F2");
        Ok(dialog);
    });
    INT_PTR result = DialogBoxParamA(App.instance, IDD_OPTIONS, window_, OptionsDlgProc,
                                     (LPARAM)&options);
    user.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(options.frameRate, 30.0);
    EXPECT_EQ(options.timecodeRate, 30);
    EXPECT_EQ(options.tcOffset, 60);
    EXPECT_EQ(options.startStopHotKey, VK_F2);
    EXPECT_EQ(options.tcHotKey, VK_F12);  // the settings' default, shown and confirmed
    EXPECT_EQ(Ini(SECTION_FRAME_RATE, "C:\\v\\own.mp4"), "30");
    EXPECT_EQ(Player.timecodeRate, before.timecodeRate);
    EXPECT_EQ(Player.tcOffset, before.tcOffset);
    EXPECT_EQ(Player.startStopHotKey, before.startStopHotKey);
    EXPECT_TRUE(FakeCalls().empty());

    DecoderChoice decoder = {"C:\\v\\own.mp4", "Kept"};
    user = drive([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_DEC_LIST, LB_SETCURSEL, 1, 0);
        Ok(dialog);
    });
    result = DialogBoxParamA(App.instance, IDD_DECODER, window_, DecoderDlgProc, (LPARAM)&decoder);
    user.join();
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(decoder.decoderName, "Fake AVI Decompressor");
    EXPECT_STREQ(Player.decoderName, before.decoderName);
    EXPECT_EQ(Calls("QuorvelSetFile"), std::vector<std::string>{});
}

TEST_F(DialogTest, OptionsHotKeysAndModes)
{
    Start();
    WriteIni(SECTION_OPTIONS, KEY_TC_HOTKEY, "F1");
    WriteIni(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, "F13");
    WriteIni(SECTION_OPTIONS, KEY_SHOW_KEY_FRAMES, "ZERO");
    WriteIni(SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, "CRLF");
    std::string tcKey, startStop, frames, append;
    Options([&](HWND dialog) {
        tcKey = ItemText(dialog, IDC_OPT_TCHOTKEY);
        startStop = ItemText(dialog, IDC_OPT_STARTSTOPKEY);
        frames = ItemText(dialog, IDC_OPT_SHOWFRAMES);
        append = ItemText(dialog, IDC_OPT_APPENDSIGN);
        Ok(dialog);
    });
    EXPECT_EQ(tcKey, "F1");       // not "F10"
    EXPECT_EQ(startStop, "");     // "F13" begins no item
    EXPECT_EQ(frames, "ZERO");
    EXPECT_EQ(append, "CRLF");
    EXPECT_EQ(Ini(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY), "");
    EXPECT_EQ(Player.startStopHotKey, VK_F11);  // kept
    EXPECT_EQ(Player.tcHotKey, VK_F1);
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F1, VK_F11}));  // the hook keeps what is in force
    EXPECT_EQ(Player.showFramesMode, 2);
    EXPECT_EQ(Player.appendSignMode, 2);

    // "-" disables; both lists may name the same key.
    Options([&](HWND dialog) {
        Select(dialog, IDC_OPT_TCHOTKEY, "-");
        Select(dialog, IDC_OPT_STARTSTOPKEY, "F9");
        Ok(dialog);
    });
    EXPECT_EQ(Ini(SECTION_OPTIONS, KEY_TC_HOTKEY), "-");
    EXPECT_EQ(Player.tcHotKey, 0);
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F9}));
    Options([&](HWND dialog) {
        Select(dialog, IDC_OPT_TCHOTKEY, "F9");
        Ok(dialog);
    });
    EXPECT_EQ(Player.tcHotKey, VK_F9);
    EXPECT_EQ(Player.startStopHotKey, VK_F9);
    EXPECT_EQ(KeptKeys(), (std::vector<DWORD>{VK_F9}));
}

TEST_F(DialogTest, OptionsCancelEscAndNotificationsWriteOnlyThePosition)
{
    Start();
    const PlayerValues before = Player;
    Options([&](HWND dialog) {
        SetWindowPos(dialog, NULL, 123, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Select(dialog, IDC_OPT_FRAMERATE, "30");
        // Notifications of a list and of the edit: no end, no write.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_FRAMERATE, CBN_SELCHANGE),
                     (LPARAM)GetDlgItem(dialog, IDC_OPT_FRAMERATE));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_TCOFFSET, EN_CHANGE),
                     (LPARAM)GetDlgItem(dialog, IDC_OPT_TCOFFSET));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(Ini(SECTION_FRAME_RATE, KEY_DEFAULT), "<missing>");
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    std::string text = IniText();
    EXPECT_NE(text.find("Options=123,234,"), std::string::npos) << text;
    EXPECT_EQ(text.find("[FrameRate]"), std::string::npos) << text;
    EXPECT_EQ(text.find("[Options]"), std::string::npos) << text;
    EXPECT_EQ(Player.timecodeRate, before.timecodeRate);
    EXPECT_TRUE(Calls("QuorvelSetRate").empty());

    // The Esc key, through the dialog manager.
    Options([&](HWND dialog) {
        Select(dialog, IDC_OPT_FRAMERATE, "30");
        HWND focus = GetDlgItem(dialog, IDC_OPT_TCOFFSET);
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        for (int i = 0; i < 200 && IsWindow(dialog); i++)
            Sleep(10);
        EXPECT_FALSE(IsWindow(dialog));
        if (IsWindow(dialog))
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(Ini(SECTION_FRAME_RATE, KEY_DEFAULT), "<missing>");
    // Reopened where it was left, with the template's size.
    Options([&](HWND dialog) {
        RECT r;
        GetWindowRect(dialog, &r);
        EXPECT_EQ(r.left, 123);
        EXPECT_EQ(r.top, 234);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(DialogTest, DecoderListAndChoices)
{
    Start();
    Open("C:\\v\\dec.mp4");
    std::vector<std::string> items;
    RunFromMenu(IDM_DECODER, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            char text[64];
            SendMessageA(list, LB_GETTEXT, (WPARAM)i, (LPARAM)text);
            items.push_back(text);
        }
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
        // A double click does not confirm.
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DEC_LIST, LBN_DBLCLK), (LPARAM)list);
        EXPECT_TRUE(IsWindowVisible(dialog));
        Ok(dialog);
    });
    EXPECT_EQ(items, (std::vector<std::string>{"-", "Fake AVI Decompressor", "Fake MPEG Decoder"}));
    EXPECT_EQ(Ini(SECTION_DECODER, "C:\\v\\dec.mp4"), "Fake AVI Decompressor");
    EXPECT_STREQ(Player.decoderName, "Fake AVI Decompressor");

    // OK without a selection stores the buffer again.
    RunFromMenu(IDM_DECODER, [&](HWND dialog) { Ok(dialog); });
    EXPECT_EQ(Ini(SECTION_DECODER, "C:\\v\\dec.mp4"), "Fake AVI Decompressor");

    // "-" stores an empty value, and the next opening names no decoder.
    RunFromMenu(IDM_DECODER, [&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_DEC_LIST, LB_SETCURSEL, 0, 0);
        Ok(dialog);
    });
    EXPECT_EQ(Ini(SECTION_DECODER, "C:\\v\\dec.mp4"), "");
    EXPECT_STREQ(Player.decoderName, "");
    ClearFakeCalls();
    Open("C:\\v\\dec.mp4");
    EXPECT_TRUE(Calls("QuorvelLoadFilter").empty());

    // Cancel keeps the buffer and does not hand the file over again.
    lstrcpyA(Player.decoderName, "Kept");
    ClearFakeCalls();
    RunFromMenu(IDM_DECODER, [&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_DEC_LIST, LB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_STREQ(Player.decoderName, "Kept");
    EXPECT_TRUE(Calls("QuorvelSetFile").empty());
    EXPECT_EQ(Ini(SECTION_DECODER, "C:\\v\\dec.mp4"), "");
}

namespace {

std::vector<std::string> CreditTexts;
std::atomic<size_t> CreditTextCount{0};  // read by the driver thread
size_t TextsAtDestroy = 0;

LRESULT CALLBACK RecordCredits(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION) {
        if (sent->message == WM_SETTEXT && GetDlgCtrlID(sent->hwnd) == IDC_ABOUT_CREDITS) {
            CreditTexts.push_back((const char *)sent->lParam);
            CreditTextCount = CreditTexts.size();
        }
        if (sent->message == WM_DESTROY && GetDlgCtrlID(sent->hwnd) == IDC_ABOUT_CREDITS)
            TextsAtDestroy = CreditTexts.size();
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

}  // namespace

TEST_F(DialogTest, AboutRevealsTheCreditsOneCharacterAtATime)
{
    Start();
    const std::string credits = AboutCreditText;
    struct Case {
        const char *how;
        bool waitForTheWholeText;
        INT_PTR expected;
    } cases[] = {{"ok", true, 1}, {"enter", false, 1}, {"esc", false, 0}};
    for (const Case &c : cases) {
        CreditTexts.clear();
        CreditTextCount = 0;
        TextsAtDestroy = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordCredits, NULL, GetCurrentThreadId());
        HFONT titleFont = NULL;
        std::string title;
        bool revealed = false;
        std::thread user([&] {
            HWND dialog = NULL;
            for (int i = 0; i < 1000 && !dialog; i++) {
                Sleep(5);
                dialog = FindDialogOf(GetWindowThreadProcessId(window_, NULL));
            }
            if (!dialog)
                return;
            titleFont = (HFONT)SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0);
            title = ItemText(dialog, IDC_ABOUT_TITLE);
            if (c.waitForTheWholeText) {
                for (int i = 0; i < 1000 && !revealed; i++) {
                    Sleep(10);
                    revealed = CreditTextCount == credits.size() + 1;
                }
            }
            HWND ok = GetDlgItem(dialog, IDOK);
            if (strcmp(c.how, "ok") == 0)
                PostMessageA(dialog, WM_COMMAND, IDOK, (LPARAM)ok);
            else
                PostMessageA(ok, WM_KEYDOWN, strcmp(c.how, "enter") == 0 ? VK_RETURN : VK_ESCAPE,
                             0x00010001);
        });
        // The Player window ignores the result: open it as the menu does, keeping the result.
        INT_PTR result = DialogBoxParamA(App.instance, IDD_ABOUT, window_, AboutDlgProc,
                                        (LPARAM)Player.displayFont);
        user.join();
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(result, c.expected) << c.how;
        EXPECT_EQ(title, "Vantorel 1.20");
        EXPECT_EQ(titleFont, Player.displayFont);
        ASSERT_FALSE(CreditTexts.empty());
        EXPECT_GT(credits.size(), 20u);
        for (size_t i = 0; i < CreditTexts.size(); i++)
            EXPECT_EQ(CreditTexts[i], credits.substr(0, i)) << i;
        if (c.waitForTheWholeText) {
            EXPECT_TRUE(revealed);
            EXPECT_EQ(CreditTexts.size(), credits.size() + 1);
        } else {
            // A key pressed during the reveal ends the dialog at once.
            EXPECT_LT(TextsAtDestroy, credits.size() + 1) << c.how;
        }
    }
}

// The reveal keeps the program answering: a hot key posted by the hook and a remote request
// are carried out while the text is still appearing, not after.
TEST_F(DialogTest, AboutRevealLetsThePlayerWindowWork)
{
    Start();
    CreditTexts.clear();
    CreditTextCount = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordCredits, NULL, GetCurrentThreadId());
    std::vector<size_t> textsAtCall;
    std::atomic<size_t> callsSeen{0};  // read by the driver thread
    SetFakeCallObserver([&](const std::string &call) {
        if (call == "QuorvelControl(1,0)" || call == "QuorvelControl(4,0)") {
            textsAtCall.push_back(CreditTextCount);
            callsSeen = textsAtCall.size();
        }
    });
    RunFromMenu(IDM_ABOUT, [&](HWND dialog) {
        PostMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);    // play
        PostMessageA(window_, WM_REMOTE_CONTROL, REMOTE_PAUSE, 0);
        for (int i = 0; i < 500 && callsSeen < 2; i++)
            Sleep(10);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    SetFakeCallObserver(nullptr);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(textsAtCall.size(), 2u);
    for (size_t texts : textsAtCall)
        EXPECT_LT(texts, strlen(AboutCreditText) + 1);
    EXPECT_EQ(Player.playState, PLAY_STOPPED);
}
