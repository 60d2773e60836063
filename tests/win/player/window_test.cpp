// The Player window under real messages: layout, commands, keys, drops, file opening, reports,
// remote requests and its end.
#include <shlobj.h>
#include <string.h>

#include <thread>

#include "tests/win/player/player_fixture.h"

#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timecode/timecode.h"

using CallList = std::vector<std::string>;

namespace {

RECT ChildRect(HWND parent, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, parent, (POINT *)&r, 2);
    return r;
}

void SetClientSize(HWND window, int width, int height)
{
    RECT window_rect, client;
    GetWindowRect(window, &window_rect);
    GetClientRect(window, &client);
    int extraW = (window_rect.right - window_rect.left) - client.right;
    int extraH = (window_rect.bottom - window_rect.top) - client.bottom;
    SetWindowPos(window, NULL, 0, 0, width + extraW, height + extraH, SWP_NOMOVE | SWP_NOZORDER);
}

// A drop handle such as the shell gives, holding the names.
HDROP MakeDrop(const std::vector<std::string> &names)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string &n : names)
        size += n.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    char *p = (char *)(drop + 1);
    for (const std::string &n : names) {
        memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    GlobalUnlock(memory);
    return (HDROP)memory;
}

HDROP MakeWideDrop(const std::wstring &name)
{
    size_t size = sizeof(DROPFILES) + (name.size() + 2) * sizeof(WCHAR);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    GlobalUnlock(memory);
    return (HDROP)memory;
}

std::string Text(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

TEST_F(PlayerWindowTest, StartsBoundToTheEngineAndHook)
{
    Start();
    CallList calls = FakeCalls();
    ASSERT_FALSE(calls.empty());
    // The early moves come before the engine is bound; the hook before the engine.
    auto at = [&](const std::string &c) { return std::find(calls.begin(), calls.end(), c) - calls.begin(); };
    EXPECT_LT(at("InstallKeyHook(123,1)"), at("QuorvelInit"));
    EXPECT_LT(at("QuorvelMoveVideoWindow"), at("QuorvelInit"));
    EXPECT_EQ(FakeEngineWindow(), window_);
    EXPECT_EQ(FakeHookWindow(), window_);
    EXPECT_TRUE(Calls("QuorvelSetFile").empty());
    // Without a stored placement: 20, 100, 320 x 240, which the minimum tracking width of the
    // resizable window widens to 340.
    RECT r;
    GetWindowRect(window_, &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right - r.left, 340);
    EXPECT_EQ(r.bottom - r.top, 240);
    EXPECT_EQ(GetMenuState(GetSubMenu(Player.menu, 0), IDM_DECODER, MF_BYCOMMAND) & MF_GRAYED,
              (UINT)MF_GRAYED);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_VIDEO)));
    EXPECT_EQ(Player.playState, PLAY_STOPPED);
}

TEST_F(PlayerWindowTest, LayoutOfA400x300Client)
{
    Start();
    ClearFakeCalls();
    SetClientSize(window_, 400, 300);
    PumpPending();
    struct Case {
        int id;
        RECT r;  // left, top, right, bottom; right < 0: size kept
    } cases[] = {
        {IDC_VIDEO, {0, 18, 400, 278}}, {IDC_PLAY, {2, 282, -1, -1}},
        {IDC_STOP, {68, 282, -1, -1}},  {IDC_REWIND, {94, 282, -1, -1}},
        {IDC_FORWARD, {120, 282, -1, -1}}, {IDC_TRACKER, {148, 282, 278, 298}},
        {IDC_TCDISPLAY, {282, 282, 370, 298}}, {IDC_MENU, {373, 282, -1, -1}},
    };
    for (const Case &c : cases) {
        RECT r = ChildRect(window_, Item(c.id));
        EXPECT_EQ(r.left, c.r.left) << c.id;
        EXPECT_EQ(r.top, c.r.top) << c.id;
        if (c.r.right >= 0) {
            EXPECT_EQ(r.right, c.r.right) << c.id;
            EXPECT_EQ(r.bottom, c.r.bottom) << c.id;
        }
    }
    EXPECT_FALSE(Calls("QuorvelMoveVideoWindow").empty());

    // A minimised window's layout takes negative sizes as zero.
    SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);
    RECT tracker = ChildRect(window_, Item(IDC_TRACKER));
    EXPECT_EQ(tracker.right - tracker.left, 0);
    RECT video = ChildRect(window_, Item(IDC_VIDEO));
    EXPECT_EQ(video.bottom - video.top, 0);
}

TEST_F(PlayerWindowTest, MinimumTrackingSize)
{
    Start();
    MINMAXINFO info = {};
    SendMessageA(window_, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    EXPECT_EQ(info.ptMinTrackSize.x, 340);
    EXPECT_EQ(info.ptMinTrackSize.y, 90);
}

TEST_F(PlayerWindowTest, PlayToggleFromEachState)
{
    Start();
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    EXPECT_EQ(PlayCheck(), 1);
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    EXPECT_EQ(PlayCheck(), 0);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(1,0)", "QuorvelControl(4,0)"}));

    SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_REWIND, 0);
    EXPECT_EQ(PlayCheck(), 2);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    EXPECT_EQ(PlayCheck(), 1);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(1,0)"}));
}

TEST_F(PlayerWindowTest, TransportCommandsUncheckBeforeTheirRequest)
{
    Start();
    struct Case {
        WPARAM command;
        LPARAM lParam;
        const char *call;
    } cases[] = {
        {IDC_STOP, 0, "QuorvelControl(8,0)"},
        {IDC_REWIND, 0, "QuorvelControl(16,0)"},
        {IDC_FORWARD, 0, "QuorvelControl(32,0)"},
        {IDC_TRACKER, 42, "QuorvelControl(128,42)"},
        {IDC_TRACKER, 0x10000 | 100, "QuorvelControl(128,100)"},  // release flag ignored
        {IDC_TRACKER, 0xFFFF, "QuorvelControl(128,-1)"},          // sign-extended
    };
    for (const Case &c : cases) {
        SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
        ASSERT_EQ(PlayCheck(), 1);
        int checkAtCall = -1;
        SetFakeCallObserver([&](const std::string &call) {
            if (call.rfind("QuorvelControl", 0) == 0)
                checkAtCall = PlayCheck();
        });
        ClearFakeCalls();
        SendMessageA(window_, WM_COMMAND, c.command, c.lParam);
        SetFakeCallObserver(nullptr);
        EXPECT_EQ(FakeCalls(), (CallList{c.call})) << c.call;
        EXPECT_EQ(checkAtCall, 0) << c.call;
        EXPECT_EQ(Player.playState, PLAY_STOPPED);
    }
}

TEST_F(PlayerWindowTest, ArrowKeysStepOnlyWhileStopped)
{
    Start();
    SendFakeEngineReport(1000);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_LEFT);
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_RIGHT);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(256,999)", "QuorvelControl(256,1001)"}));

    // With an offset the step is in media frames.
    Player.tcOffset = 3600 * 25;
    SendFakeEngineReport(1000);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_LEFT);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(256,999)"}));

    // A negative offset that takes the label below zero: the packed timecode has no sign, the
    // step is still from the media frame.
    Player.tcOffset = -1100;
    SendFakeEngineReport(1000);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_RIGHT);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(256,1001)"}));

    // The offset changed since the last report: the media frame is still the reported one.
    Player.tcOffset = 0;
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_LEFT);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(256,999)"}));

    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_LEFT);
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_RIGHT);
    SendMessageA(window_, WM_REMOTE_CONTROL, REMOTE_FORWARD, 0);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_LEFT);
    SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, 'A');
    EXPECT_TRUE(FakeCalls().empty());
}

TEST_F(PlayerWindowTest, SpaceTogglesWhicheverChildHasTheFocus)
{
    Start();
    const int children[] = {IDC_TRACKER, IDC_TCDISPLAY, IDC_PLAY, IDC_MENU};
    for (int id : children) {
        SetFocus(Item(id));
        ClearFakeCalls();
        int before = Player.playState;
        HWND focus = GetFocus() ? GetFocus() : window_;
        PostMessageA(focus, WM_KEYDOWN, VK_SPACE, 0x00390001);
        PostMessageA(focus, WM_KEYUP, VK_SPACE, 0xC0390001);
        PumpUntil([&] { return !FakeCalls().empty(); }, 1000);
        PumpPending();
        // Exactly one toggle, whoever had the focus.
        EXPECT_EQ(Calls("QuorvelControl").size(), 1u) << id;
        EXPECT_NE(Player.playState, before) << id;
    }
}

TEST_F(PlayerWindowTest, DropOfThreeFilesOpensTheFirst)
{
    Start();
    ClearFakeCalls();
    HDROP drop = MakeDrop({"C:\\v\\first.mp4", "C:\\v\\second.mp4", "C:\\v\\third.mp4"});
    SendMessageA(window_, WM_DROPFILES, (WPARAM)drop, 0);
    PumpUntil([&] { return !Calls("QuorvelSetFile").empty(); });
    PumpPending();
    EXPECT_EQ(Calls("QuorvelSetFile"), (CallList{"QuorvelSetFile(C:\\v\\first.mp4)"}));
    EXPECT_STREQ(Player.currentFile, "C:\\v\\first.mp4");
}

// While the engine opens a file the window's thread answers what is sent to it. A size change
// is placed at once; a command, a hot key, a second file or a drop would start something halfway
// through the open, so each waits until the open is over and then comes in its order.
TEST_F(PlayerWindowTest, WhatWouldStartSomethingWaitsForTheOpen)
{
    Start();
    ClearFakeCalls();
    bool sent = false;
    size_t callsAtOpenEnd = 0;
    SetFakeCallObserver([&](const std::string &call) {
        if (sent || call != "QuorvelSetFile(C:\\v\\first.mp4)")
            return;
        sent = true;  // as another program or the key hook sends them, inside the open
        SetWindowPos(window_, NULL, 0, 0, 500, 420, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(window_, WM_COMMAND, IDC_STOP, 0);
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
        SendMessageA(window_, WM_DROPFILES, (WPARAM)MakeDrop({"C:\\v\\second.mp4"}), 0);
        callsAtOpenEnd = FakeCalls().size();
    });
    Open("C:\\v\\first.mp4");
    SetFakeCallObserver(nullptr);
    ASSERT_TRUE(sent);
    PumpUntil([&] { return Calls("QuorvelSetFile").size() == 2; });
    PumpPending();

    CallList during(FakeCalls().begin(), FakeCalls().begin() + callsAtOpenEnd);
    CallList after(FakeCalls().begin() + callsAtOpenEnd, FakeCalls().end());
    EXPECT_EQ(during.back(), "QuorvelMoveVideoWindow") << "the size change waited";
    for (const std::string &call : during)
        EXPECT_TRUE(call.rfind("QuorvelControl", 0) != 0) << call << " ran inside the open";
    CallList kept;
    for (const std::string &call : after)
        if (call.rfind("QuorvelControl", 0) == 0 || call.rfind("QuorvelSetFile", 0) == 0)
            kept.push_back(call);
    // Stop, then F11 plays, then the dropped file opens (and plays).
    EXPECT_EQ(kept, (CallList{"QuorvelControl(8,0)", "QuorvelControl(1,0)",
                              "QuorvelSetFile(C:\\v\\second.mp4)"}));
    EXPECT_FALSE(Player.opening);
    EXPECT_EQ(Player.deferredCount, 0);
}

TEST_F(PlayerWindowTest, DroppedNameIsCutAt510Characters)
{
    Start();
    std::string longName = "C:\\" + std::string(700, 'n') + ".mp4";
    SendMessageA(window_, WM_DROPFILES, (WPARAM)MakeDrop({longName}), 0);
    PumpUntil([&] { return !Calls("QuorvelSetFile").empty(); });
    EXPECT_EQ(strlen(Player.currentFile), 510u);
    EXPECT_EQ(std::string(Player.currentFile), longName.substr(0, 510));
}

// A dropped name the ANSI code page cannot hold reaches the engine whole, through the wide
// export, and its own settings entry is found under its UTF-8 key.
TEST_F(PlayerWindowTest, DroppedNamesInAnyScript)
{
    struct Case {
        std::wstring name;
        const char *key;  // the settings key, in the bytes the file holds
        const char *call;
    } cases[] = {
        {L"C:\\v\\plain.mp4", "C:\\v\\plain.mp4", "QuorvelSetFile(C:\\v\\plain.mp4)"},
        {L"C:\\v\\\u65E5\u672C \u0395\u03BB.mp4",
         "C:\\v\\\xe6\x97\xa5\xe6\x9c\xac \xce\x95\xce\xbb.mp4",
         "QuorvelSetFileW(C:\\v\\\xe6\x97\xa5\xe6\x9c\xac \xce\x95\xce\xbb.mp4)"},
        {L"C:\\v\\\u0141\u00f3d\u017a.mp4", "C:\\v\\\xc5\x81\xc3\xb3" "d\xc5\xba.mp4",
         "QuorvelSetFileW(C:\\v\\\xc5\x81\xc3\xb3" "d\xc5\xba.mp4)"},
    };
    Start();
    for (const Case &c : cases) {
        WriteIni(SECTION_FRAME_RATE, c.key, "50");
        ClearFakeCalls();
        SendMessageA(window_, WM_DROPFILES, (WPARAM)MakeWideDrop(c.name), 0);
        PumpUntil([&] { return !Calls("QuorvelSetFile").empty(); });
        EXPECT_EQ(FakeCalls(), (CallList{"QuorvelSetRate(50)", c.call})) << c.key;
        EXPECT_STREQ(Player.currentFile, c.key);
        WCHAR title[1024] = L"";
        InternalGetWindowText(window_, title, 1024);
        EXPECT_EQ(std::wstring(title), c.name) << c.key;
    }
}

TEST_F(PlayerWindowTest, OpeningWithDefaults)
{
    Start();
    ClearFakeCalls();
    Open("C:\\video\\clip.avi");
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelSetRate(25)", "QuorvelSetFile(C:\\video\\clip.avi)"}));
    EXPECT_EQ(Player.timecodeRate, 25);
    EXPECT_EQ(Player.tcOffset, 0);
    EXPECT_EQ(Player.tcHotKey, VK_F12);
    EXPECT_EQ(Player.startStopHotKey, VK_F11);
    EXPECT_STREQ(Player.decoderName, "");
    EXPECT_EQ(Text(window_), "C:\\video\\clip.avi");
    EXPECT_FALSE(IsWindowVisible(Item(IDC_VIDEO)));
    EXPECT_EQ(GetMenuState(GetSubMenu(Player.menu, 0), IDM_DECODER, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(PlayCheck(), 1);
    EXPECT_EQ(GetFocus(), Item(IDC_TRACKER));
}

TEST_F(PlayerWindowTest, OpeningReadsTheFilesOwnEntriesAndFallsBack)
{
    Start();
    const char *file = "C:\\video\\own.mp4";
    struct Case {
        const char *ownRate, *defaultRate, *ownOffset, *defaultOffset, *decoder;
        const char *rateCall;
        int timecodeRate;
        int32_t offset;
        bool loadFilter;
        TimecodeFormat format;
    } cases[] = {
        {"29.97", NULL, NULL, NULL, NULL, "QuorvelSetRate(29.97)", 30, 0, false, {30, false}},
        {"", "24", NULL, NULL, NULL, "QuorvelSetRate(24)", 24, 0, false, {24, false}},
        {NULL, "23.98", NULL, "01:00:00:00", NULL, "QuorvelSetRate(23.98)", 24, 3600 * 24, false,
         {24, false}},
        {NULL, NULL, NULL, "01:00:00:00", NULL, "QuorvelSetRate(25)", 25, 3600 * 25, false,
         {25, false}},
        {"25", "30", "-00:00:10:00", "01:00:00:00", "", "QuorvelSetRate(25)", 25, -250, false,
         {25, false}},
        {NULL, NULL, "garbage", NULL, "WMVideo Decoder DMO", "QuorvelSetRate(25)", 25, 0, true,
         {25, false}},
        {"fps", NULL, NULL, NULL, NULL, "QuorvelSetRate(0)", 0, 0, false, {25, false}},
        // Real seconds above 30; drop-frame numbers the same frames the SMPTE way.
        {"50", NULL, "00:00:01:00", NULL, NULL, "QuorvelSetRate(50)", 50, 50, false, {50, false}},
        {"60", NULL, "00:00:01:00", NULL, NULL, "QuorvelSetRate(60)", 60, 60, false, {60, false}},
        {"29.97 DF", NULL, "00:01:00;02", NULL, NULL, "QuorvelSetRate(29.97)", 30, 1800, false,
         {30, true}},
        {NULL, "59.94 DF", NULL, "-01:00:00;00", NULL, "QuorvelSetRate(59.94)", 60, -6 * 35964,
         false, {60, true}},
    };
    for (const Case &c : cases) {
        DeleteFileA(SettingsFilePath);
        WriteIni(SECTION_FRAME_RATE, file, c.ownRate);
        WriteIni(SECTION_FRAME_RATE, KEY_DEFAULT, c.defaultRate);
        WriteIni(SECTION_TC_OFFSET, file, c.ownOffset);
        WriteIni(SECTION_TC_OFFSET, KEY_DEFAULT, c.defaultOffset);
        WriteIni(SECTION_DECODER, file, c.decoder);
        ClearFakeCalls();
        Open(file);
        CallList expected = {c.rateCall};
        if (c.loadFilter)
            expected.push_back(std::string("QuorvelLoadFilter(") + c.decoder + ")");
        expected.push_back(std::string("QuorvelSetFile(") + file + ")");
        EXPECT_EQ(FakeCalls(), expected) << c.rateCall;
        EXPECT_EQ(Player.timecodeRate, c.timecodeRate) << c.rateCall;
        EXPECT_EQ(Player.timecodeFormat.base, c.format.base) << c.rateCall;
        EXPECT_EQ(Player.timecodeFormat.dropFrame, c.format.dropFrame) << c.rateCall;
        EXPECT_EQ(Player.tcOffset, c.offset) << c.rateCall;
        EXPECT_STREQ(Player.decoderName, c.decoder ? c.decoder : "");
    }
}

TEST_F(PlayerWindowTest, OpeningReadsTheTypingOptions)
{
    Start();
    struct Case {
        const char *tcHotKey, *startStop, *showFrames, *appendSign;
        int tcCode, startStopCode, framesMode, appendMode;
    } cases[] = {
        {"-", "F1", "NO", "TAB", 0, VK_F1, 1, 3},
        {"F120", "F10", "zero", "tab", VK_F12, VK_F10, 1, 0},  // "zero" keeps NO; "tab" is SPACE
        {"f12", "F13", "ZERO", "CRLF", VK_F12, VK_F10, 2, 2},  // unknown names keep the codes
        {"F5", "-", "YES", "NOT", VK_F5, 0, 0, 1},
        {"F1xyz", "F9", "YESYESYES", "NOTNOTNOT", VK_F5, VK_F9, 0, 0},  // cut to 7: "YESYESY"
    };
    for (const Case &c : cases) {
        WriteIni(SECTION_OPTIONS, KEY_TC_HOTKEY, c.tcHotKey);
        WriteIni(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, c.startStop);
        WriteIni(SECTION_OPTIONS, KEY_SHOW_KEY_FRAMES, c.showFrames);
        WriteIni(SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, c.appendSign);
        Open("C:\\video\\options.mp4");
        EXPECT_EQ(Player.tcHotKey, c.tcCode) << c.tcHotKey;
        EXPECT_EQ(Player.startStopHotKey, c.startStopCode) << c.startStop;
        EXPECT_EQ(Player.showFramesMode, c.framesMode) << c.showFrames;
        EXPECT_EQ(Player.appendSignMode, c.appendMode) << c.appendSign;
    }
}

TEST_F(PlayerWindowTest, PositionReports)
{
    Start();
    struct Case {
        WPARAM kind;
        LPARAM frame;
        int32_t offset;
        TimecodeFormat format;
        const char *display;
        uint32_t packed;
    } cases[] = {
        {1024, 0, 0, {25, false}, "00:00:00:00", 0},
        {1024, 3600 * 25 + 60 * 25 + 25, 0, {25, false}, "01:01:01:00", 0x01010100},
        {1024, 250, 3600 * 25, {25, false}, "01:00:10:00", 0x01000A00},
        {1024, 0, -250, {25, false}, "00:00:10:00", 0x00000A00},  // the magnitude, without a sign
        {1024, 45, 0, {30, false}, "00:00:01:15", 0x0000010F},
        {1023, 77, 0, {25, false}, "00:00:01:15", 0x0000010F},  // another kind changes nothing
        {1024, 90, 0, {60, false}, "00:00:01:30", 0x0000011E},
        {1024, 1799, 1, {30, true}, "00:01:00;02", 0x00010002},
        {1024, 3600, 0, {60, true}, "00:01:00;04", 0x00010004},
        {1024, 17982, -17982, {30, true}, "00:00:00;00", 0},
    };
    for (const Case &c : cases) {
        Player.tcOffset = c.offset;
        Player.timecodeFormat = c.format;
        SendMessageA(window_, WM_ENGINE_NOTIFY, c.kind, c.frame);
        EXPECT_EQ(Text(Item(IDC_TCDISPLAY)), c.display) << c.frame;
        EXPECT_EQ(Player.currentTimecode, c.packed) << c.frame;
    }
}

// The engine says when it stopped by itself; the play state follows without a call back.
TEST_F(PlayerWindowTest, EngineNoticesSetThePlayState)
{
    Start();
    struct Case {
        WPARAM kind;
        int stateBefore, stateAfter;
    } cases[] = {
        {ENGINE_NOTIFY_PAUSED, PLAY_PLAYING, PLAY_STOPPED},   // end of the media
        {ENGINE_NOTIFY_PAUSED, PLAY_WINDING, PLAY_STOPPED},   // end of a wind
        {ENGINE_NOTIFY_FAILED, PLAY_PLAYING, PLAY_STOPPED},   // a file it cannot play
        {ENGINE_NOTIFY_FAILED, PLAY_STOPPED, PLAY_STOPPED},
        {1027, PLAY_PLAYING, PLAY_PLAYING},                   // unknown: ignored
    };
    for (const Case &c : cases) {
        SetPlayState(window_, c.stateBefore);
        Player.currentTimecode = 0x00000203;
        ClearFakeCalls();
        SendMessageA(window_, WM_ENGINE_NOTIFY, c.kind, 99);
        EXPECT_EQ(PlayCheck(), c.stateAfter) << c.kind;
        EXPECT_EQ(Player.playState, c.stateAfter) << c.kind;
        EXPECT_TRUE(FakeCalls().empty()) << c.kind;
        EXPECT_EQ(Player.currentTimecode, 0x00000203u) << c.kind;  // not a position
    }
    // Posted by a failed open, it arrives after the open has shown playing.
    Open("C:\\v\\broken.avi");
    PostMessageA(window_, WM_ENGINE_NOTIFY, ENGINE_NOTIFY_FAILED, 0);
    EXPECT_TRUE(PumpUntil([&] { return PlayCheck() == PLAY_STOPPED; }));
}

TEST_F(PlayerWindowTest, RemoteRequestsAndAnswers)
{
    Start();
    SetFakeEngineLength(12345);
    struct Case {
        WPARAM request;
        LPARAM parameter;
        int stateBefore;
        CallList calls;
        int stateAfter;
        LRESULT answer;
    } cases[] = {
        {1, 0, 0, {"QuorvelControl(1,0)"}, 1, 0},
        {1, 0, 1, {}, 1, 0},
        {1, 0, 2, {"QuorvelControl(1,0)"}, 1, 0},
        {4, 0, 1, {"QuorvelControl(4,0)"}, 0, 0},
        {4, 0, 2, {"QuorvelControl(4,0)"}, 0, 0},
        {4, 0, 0, {}, 0, 0},
        {8, 0, 1, {"QuorvelControl(8,0)"}, 0, 0},
        {16, 0, 0, {"QuorvelControl(16,0)"}, 2, 0},
        {32, 0, 1, {"QuorvelControl(32,0)"}, 2, 0},
        {64, -25, 1, {"QuorvelControl(64,-25)"}, 0, 0},
        {256, 0x01000A00, 1, {"QuorvelControl(256,90250)"}, 0, 0},
        {1024, 0, 1, {}, 1, 0x00000203},
        {0xFFFF8001, 0, 1, {"QuorvelControl(-32767,0)"}, 1, 12345},
        {0x8001, 0, 1, {}, 1, 0},
        {128, 50, 1, {}, 1, 0},
        {2, 0, 1, {}, 1, 0},
    };
    for (const Case &c : cases) {
        SetPlayState(window_, c.stateBefore);
        Player.currentTimecode = 0x00000203;
        ClearFakeCalls();
        LRESULT answer = SendMessageA(window_, WM_REMOTE_CONTROL, c.request, c.parameter);
        EXPECT_EQ(FakeCalls(), c.calls) << std::hex << c.request;
        EXPECT_EQ(Player.playState, c.stateAfter) << std::hex << c.request;
        EXPECT_EQ(PlayCheck(), c.stateAfter) << std::hex << c.request;
        EXPECT_EQ(answer, c.answer) << std::hex << c.request;
    }
}

// A query answers the label on show and a locate to that label returns to the same frame, also
// under drop-frame numbering, where the label and the frame count differ.
TEST_F(PlayerWindowTest, RemoteQueryAndLocateUseTheFilesNumbering)
{
    Start();
    struct Case {
        TimecodeFormat format;
        int32_t offset;
        LPARAM frame;
        uint32_t packed;
        const char *locate;
    } cases[] = {
        {{30, true}, 0, 1800, 0x00010002, "QuorvelControl(256,1800)"},
        {{30, true}, 107892, 17982, 0x010A0000, "QuorvelControl(256,17982)"},
        {{60, true}, 0, 3600, 0x00010004, "QuorvelControl(256,3600)"},
        {{50, false}, 0, 99, 0x00000131, "QuorvelControl(256,99)"},
        {{60, false}, -60, 120, 0x00000100, "QuorvelControl(256,120)"},
    };
    for (const Case &c : cases) {
        Player.timecodeFormat = c.format;
        Player.tcOffset = c.offset;
        SendMessageA(window_, WM_ENGINE_NOTIFY, 1024, c.frame);
        LRESULT answer = SendMessageA(window_, WM_REMOTE_CONTROL, 1024, 0);
        EXPECT_EQ((uint32_t)answer, c.packed) << c.frame;
        ClearFakeCalls();
        SendMessageA(window_, WM_REMOTE_CONTROL, 256, answer);
        EXPECT_EQ(FakeCalls(), (CallList{c.locate})) << c.frame;
    }
}

TEST_F(PlayerWindowTest, RemoteQueryFromAnotherThread)
{
    Start();
    Player.currentTimecode = 0x01020304;
    SetFakeEngineLength(-7);
    LRESULT timecode = 0, length = 0;
    bool finished = false;
    std::thread requester([&] {
        timecode = SendMessageA(window_, WM_REMOTE_CONTROL, 1024, 0);
        length = SendMessageA(window_, WM_REMOTE_CONTROL, 0xFFFF8001, 0);
        finished = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return finished; }));
    requester.join();
    EXPECT_EQ(timecode, 0x01020304);
    EXPECT_EQ(length, -7);
}

TEST_F(PlayerWindowTest, RemoteQueryFromAnotherProcess)
{
    Start();
    Player.currentTimecode = 0x00173B18;
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    strcpy(strrchr(exe, '\\') + 1, "remote_sender.exe");
    char command[512];
    snprintf(command, sizeof command, "\"%s\" %lu 1024 0", exe, (unsigned long)(UINT_PTR)window_);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 20000));
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(exitCode, 0x00173B18u);
}

TEST_F(PlayerWindowTest, DecoderOkHandsTheFileAgain)
{
    Start();
    struct Case {
        const char *file;
        const char *choice;  // NULL: Cancel
        CallList calls;
        int stateBefore, stateAfter;  // the file is played again after OK, paused or not
    } cases[] = {
        {"", "Fake MPEG Decoder", {"QuorvelListFilter"}, PLAY_STOPPED, PLAY_STOPPED},
        {"C:\\v\\a.mp4", "Fake MPEG Decoder",
         {"QuorvelListFilter", "QuorvelLoadFilter(Fake MPEG Decoder)", "QuorvelSetFile(C:\\v\\a.mp4)"},
         PLAY_STOPPED, PLAY_PLAYING},
        {"C:\\v\\a.mp4", "-", {"QuorvelListFilter", "QuorvelSetFile(C:\\v\\a.mp4)"},
         PLAY_PLAYING, PLAY_PLAYING},
        {"C:\\v\\a.mp4", NULL, {"QuorvelListFilter"}, PLAY_STOPPED, PLAY_STOPPED},
    };
    for (const Case &c : cases) {
        SetPlayState(window_, c.stateBefore);
        lstrcpyA(Player.currentFile, c.file);
        Player.decoderName[0] = '\0';
        ClearFakeCalls();
        bool done = false;
        std::thread user([&] {
            HWND dialog = NULL;
            for (int i = 0; i < 500 && !dialog; i++) {
                Sleep(10);
                dialog = FindWindowExA(NULL, NULL, MAKEINTATOM(32770), "Decoder");
            }
            if (dialog) {
                HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
                if (c.choice) {
                    LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)c.choice);
                    SendMessageA(list, LB_SETCURSEL, (WPARAM)index, 0);
                    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                } else {
                    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                }
            }
            done = true;
        });
        SendMessageA(window_, WM_COMMAND, IDM_DECODER, 0);
        PumpUntil([&] { return done; });
        user.join();
        EXPECT_EQ(FakeCalls(), c.calls) << c.file << " " << (c.choice ? c.choice : "cancel");
        EXPECT_EQ(PlayCheck(), c.stateAfter) << c.file << " " << (c.choice ? c.choice : "cancel");
        // The first Space after it pauses what plays.
        if (c.stateAfter == PLAY_PLAYING) {
            ClearFakeCalls();
            SendMessageA(window_, WM_COMMAND, ID_KEYFORWARD, VK_SPACE);
            EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(4,0)"})) << c.file;
        }
    }
}

TEST_F(PlayerWindowTest, ClosingEndsEngineThenSavesThenRemovesHook)
{
    Start();
    bool placementAtExit = true, placementAtRemove = false;
    SetFakeCallObserver([&](const std::string &call) {
        if (call == "QuorvelExit")
            placementAtExit = IniText().find("Player=") != std::string::npos;
        if (call == "RemoveKeyHook")
            placementAtRemove = IniText().find("Player=") != std::string::npos;
    });
    ClearFakeCalls();
    EXPECT_EQ(Close(), 1);
    CallList calls = FakeCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "QuorvelExit");
    EXPECT_EQ(calls[1], "RemoveKeyHook");
    EXPECT_FALSE(placementAtExit);
    EXPECT_TRUE(placementAtRemove);
    EXPECT_NE(IniText().find("Player=20,100,340,240"), std::string::npos) << IniText();
}

TEST_F(PlayerWindowTest, CommandLineOpensTheFile)
{
    Start("\"C:\\My Videos\\a b.mp4\"");
    PumpUntil([&] { return !Calls("QuorvelSetFile").empty(); });
    EXPECT_EQ(Calls("QuorvelSetFile"), (CallList{"QuorvelSetFile(C:\\My Videos\\a b.mp4)"}));
    // Opened after the engine was bound, by the posted message.
    CallList calls = FakeCalls();
    EXPECT_LT(std::find(calls.begin(), calls.end(), "QuorvelInit"),
              std::find(calls.begin(), calls.end(), "QuorvelSetFile(C:\\My Videos\\a b.mp4)"));
}

namespace {

std::vector<std::string> TraceLines;

LRESULT CALLBACK TraceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        TraceLines.push_back((const char *)lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeTraceWindow(void)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TraceWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = TRACE_WINDOW_CLASS;
    RegisterClassA(&wc);
    return CreateWindowA(TRACE_WINDOW_CLASS, TRACE_WINDOW_TITLE, WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                         NULL, GetModuleHandleA(NULL), NULL);
}

}  // namespace

TEST_F(PlayerWindowTest, TraceLinesGoToATraceWindowFoundAtStart)
{
    TraceLines.clear();
    HWND trace = MakeTraceWindow();
    WriteIni(SECTION_TC_OFFSET, KEY_DEFAULT, "1:00");
    Start("\"C:\\a b.mp4\"");
    PumpUntil([&] { return !Calls("QuorvelSetFile").empty(); });
    EXPECT_EQ(TraceLines, (std::vector<std::string>{"C:\\a b.mp4\r\n", "FrameRate = 25\r\n",
                                                    "C:\\a b.mp4\r\nTC_Offset= 1:00 \r\n"}));
    DestroyWindow(trace);
}

TEST_F(PlayerWindowTest, NoTraceWindowAtStartMeansNoTraceLines)
{
    TraceLines.clear();
    Start();
    HWND trace = MakeTraceWindow();
    Open("C:\\late.mp4");
    EXPECT_TRUE(TraceLines.empty());
    DestroyWindow(trace);
}
