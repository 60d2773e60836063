// A working day with the Player window: files reopened where they were left, the recent files
// of the menu, the hard passage on one key, the slider that follows and the window on top.
// Checked as the engine requests they make, over real files on disk.
#include "tests/win/player/player_fixture.h"

#include <stdio.h>

#include <algorithm>

#include "controls/controls.h"
#include "platform/quorvel.h"
#include "platform/zentrixkey.h"
#include "resources/resource.h"
#include "settings/settings.h"

using CallList = std::vector<std::string>;

namespace {

// A file of its own in the temporary folder, some bytes long.
std::string MakeFile(const char *name, int bytes = 100)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + name;
    FILE *file = fopen(path.c_str(), "wb");
    for (int i = 0; i < bytes; i++)
        fputc('x', file);
    fclose(file);
    return path;
}

std::string StartAt(long frame)
{
    return "QuorvelControl(" + std::to_string(QUORVEL_START_AT) + "," + std::to_string(frame) + ")";
}

std::string Setting(const char *section, const char *key)
{
    char text[RECENT_ENTRY_SIZE];
    ReadSetting(section, key, "", text, sizeof text);
    return text;
}

std::wstring MenuText(HMENU menu, int position)
{
    WCHAR text[512] = L"";
    GetMenuStringW(menu, (UINT)position, text, 512, MF_BYPOSITION);
    return text;
}

std::wstring Title(HWND window)
{
    WCHAR text[1024] = L"";
    InternalGetWindowText(window, text, 1024);
    return text;
}

class WorkdayTest : public PlayerWindowTest {
protected:
    // The calls from the start-at request to the open, for the file opened.
    CallList OpenCalls(const std::string &path)
    {
        ClearFakeCalls();
        Open(path.c_str());
        CallList calls;
        for (const std::string &call : FakeCalls())
            if (call.rfind("QuorvelControl(512,", 0) == 0 || call.rfind("QuorvelSetFile", 0) == 0)
                calls.push_back(call);
        return calls;
    }
    HMENU Popup() const { return GetSubMenu(Player.menu, 0); }
};

}  // namespace

TEST_F(WorkdayTest, FileReopensWhereItWasLeftOnlyWhenSwitchedOnAndUnchanged)
{
    std::string a = MakeFile("workday-a.mp4"), b = MakeFile("workday-b.mp4");
    Start();
    // As designed: every file starts at its beginning, though its place is kept.
    EXPECT_EQ(OpenCalls(a), (CallList{"QuorvelSetFile(" + a + ")"}));
    SendFakeEngineReport(300);
    OpenCalls(b);
    EXPECT_EQ(Setting(SECTION_RECENT, "File2").substr(0, 4), "300|");
    EXPECT_EQ(OpenCalls(a), (CallList{"QuorvelSetFile(" + a + ")"}));

    WriteIni(SECTION_PLAYBACK, KEY_RESUME_WHERE_STOPPED, "YES");
    SendFakeEngineReport(300);
    OpenCalls(b);
    EXPECT_EQ(OpenCalls(a), (CallList{StartAt(300), "QuorvelSetFile(" + a + ")"}));

    // Left by closing the player, in a report while paused.
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
    SendFakeEngineReport(412);
    Close();
    EXPECT_EQ(Setting(SECTION_RECENT, "File1").substr(0, 4), "412|");
    Start();
    EXPECT_EQ(OpenCalls(a), (CallList{StartAt(412), "QuorvelSetFile(" + a + ")"}));

    // Changed since: from the start.
    SendFakeEngineReport(500);
    OpenCalls(b);
    MakeFile("workday-a.mp4", 200);
    EXPECT_EQ(OpenCalls(a), (CallList{"QuorvelSetFile(" + a + ")"}));
    Close();
}

TEST_F(WorkdayTest, PositionKeptWhilePlayingAtMostEveryThirtySeconds)
{
    std::string a = MakeFile("workday-a.mp4");
    Start();
    Open(a.c_str());
    SendFakeEngineReport(250);
    EXPECT_EQ(Setting(SECTION_RECENT, "File1").substr(0, 2), "0|");  // not yet
    Player.positionKeptAt -= 30000;
    SendFakeEngineReport(260);
    EXPECT_EQ(Setting(SECTION_RECENT, "File1").substr(0, 4), "260|");
    SendFakeEngineReport(270);
    EXPECT_EQ(Setting(SECTION_RECENT, "File1").substr(0, 4), "260|");
    Close();
}

TEST_F(WorkdayTest, RecentFilesInTheMenuNewestFirstAndAGoneFileDropped)
{
    const char *names[] = {"rec-1.mp4", "rec-2.mp3", "rec-3.wav", "rec-&4.avi", "rec-5.mov"};
    std::vector<std::string> paths;
    for (const char *name : names)
        paths.push_back(MakeFile(name));
    Start();
    for (const std::string &path : paths)
        Open(path.c_str());
    ShowRecentFilesInMenu(Popup());
    ASSERT_EQ(Player.recentShown, 5);
    std::wstring first = MenuText(Popup(), 0);
    EXPECT_EQ(first.substr(0, 3), L"&1 ");
    EXPECT_NE(first.find(L"rec-5.mov"), std::wstring::npos);
    EXPECT_NE(MenuText(Popup(), 1).find(L"&&4.avi"), std::wstring::npos);
    EXPECT_EQ(MenuText(Popup(), 4).substr(0, 3), L"&5 ");
    EXPECT_EQ(GetMenuState(Popup(), 5, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(Popup(), 0), (UINT)IDM_RECENT_FIRST);
    // The designed items follow, once, however often the menu is shown.
    ShowRecentFilesInMenu(Popup());
    EXPECT_EQ(GetMenuItemCount(Popup()), 5 + 1 + 9);

    // Chosen: opened like a dropped file, and first in the list.
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDM_RECENT_FIRST + 3, 0);
    PumpUntil([this] { return !Calls("QuorvelSetFile").empty(); });
    EXPECT_EQ(Calls("QuorvelSetFile"), (CallList{"QuorvelSetFile(" + paths[1] + ")"}));
    ShowRecentFilesInMenu(Popup());
    EXPECT_NE(MenuText(Popup(), 0).find(L"rec-2.mp3"), std::wstring::npos);

    // Gone: not opened, taken out, and the title says so for a moment.
    DeleteFileA(paths[0].c_str());
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDM_RECENT_FIRST + 4, 0);
    PumpPending();
    EXPECT_TRUE(Calls("QuorvelSetFile").empty());
    EXPECT_EQ(Title(window_), L"Not found: rec-1.mp4");
    ShowRecentFilesInMenu(Popup());
    EXPECT_EQ(Player.recentShown, 4);
    EXPECT_TRUE(PumpUntil([&] { return Title(window_).find(L"rec-2.mp3") != std::wstring::npos; }));
    Close();
}

TEST_F(WorkdayTest, RecentFileWithAJapaneseAndGreekNameShownAndOpenedAsItIs)
{
    const WCHAR name[] = L"\u65e5\u672c\u8a9e \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.mp4";
    WCHAR folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wsprintfW(path, L"%s%s", folder, name);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    Start();
    SetCurrentFile(path);
    PostMessageA(window_, WM_APP_OPENFILE, 0, 0);
    PumpUntil([this] { return !Calls("QuorvelSetFileW").empty(); });
    ShowRecentFilesInMenu(Popup());
    EXPECT_NE(MenuText(Popup(), 0).find(name), std::wstring::npos);
    ClearFakeCalls();
    SendMessageA(window_, WM_COMMAND, IDM_RECENT_FIRST, 0);
    PumpUntil([this] { return !Calls("QuorvelSetFileW").empty(); });
    ASSERT_EQ(Calls("QuorvelSetFileW").size(), 1u);
    char utf8[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, NULL, NULL);
    EXPECT_EQ(Calls("QuorvelSetFileW")[0], std::string("QuorvelSetFileW(") + utf8 + ")");
    Close();
    DeleteFileW(path);
}

// From the report of frame 300 at 25 fps, LoopSeconds 4 and LoopSpeed 75: frames 200 to 300 at
// 75 %, again and again, then on from 300 at the speed before.
TEST_F(WorkdayTest, HardPassageRepeatsSlowerUntilTheKeyComesAgain)
{
    std::string a = MakeFile("workday-a.mp4");
    WriteIni(SECTION_PLAYBACK, KEY_LOOP_HOTKEY, "F20");
    WriteIni(SECTION_PLAYBACK, KEY_LOOP_SECONDS, "4");
    Start();
    std::vector<DWORD> kept = KeptKeys();
    EXPECT_NE(std::find(kept.begin(), kept.end(), (DWORD)VK_F20), kept.end());
    Open(a.c_str());
    SendFakeEngineReport(300);
    ClearFakeCalls();
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F20, 0);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(2048,75)", "QuorvelControl(256,200)",
                                     "QuorvelControl(1,0)"}));
    EXPECT_NE(Title(window_).find(L"Loop 75 %"), std::wstring::npos);

    for (int round = 0; round < 2; round++) {
        ClearFakeCalls();
        SendFakeEngineReport(200);
        SendFakeEngineReport(299);
        PumpPending();
        EXPECT_TRUE(FakeCalls().empty()) << round;
        SendFakeEngineReport(301);
        SendFakeEngineReport(302);  // a second report before the first is answered
        PumpPending();
        EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(256,200)", "QuorvelControl(1,0)"}))
            << round;
        SendFakeEngineReport(200);
    }

    // F11 pauses within the passage and resumes it.
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
    SendFakeEngineReport(300);
    PumpPending();
    EXPECT_EQ(Player.playState, PLAY_STOPPED);
    EXPECT_TRUE(Player.looping);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F11, 0);
    ClearFakeCalls();
    SendFakeEngineReport(300);
    PumpPending();
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(256,200)", "QuorvelControl(1,0)"}));

    ClearFakeCalls();
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F20, 0);
    EXPECT_EQ(FakeCalls(), (CallList{"QuorvelControl(2048,100)", "QuorvelControl(256,300)",
                                     "QuorvelControl(1,0)"}));
    ClearFakeCalls();
    SendFakeEngineReport(400);
    PumpPending();
    EXPECT_TRUE(FakeCalls().empty());
    EXPECT_EQ(Title(window_).find(L"Loop"), std::wstring::npos);
    Close();
}

TEST_F(WorkdayTest, HardPassageEndsWhereAnythingElseMovesThePosition)
{
    std::string a = MakeFile("workday-a.mp4");
    WriteIni(SECTION_PLAYBACK, KEY_LOOP_HOTKEY, "F9");
    WriteIni(SECTION_PLAYBACK, KEY_SPEED, "60");
    Start();
    Open(a.c_str());
    HWND w = window_;
    struct Case {
        const char *name;
        std::function<void()> action;
    } cases[] = {
        {"stop", [w] { SendMessageA(w, WM_COMMAND, IDC_STOP, 0); }},
        {"slider", [w] { SendMessageA(w, WM_COMMAND, IDC_TRACKER, 40); }},
        {"remote locate", [w] { SendMessageA(w, WM_REMOTE_CONTROL, REMOTE_LOCATE, 0x0400); }},
        {"remote wind", [w] { SendMessageA(w, WM_REMOTE_CONTROL, REMOTE_FORWARD, 0); }},
        {"another file", [this] { Open(MakeFile("workday-b.mp4").c_str()); }},
    };
    for (const Case &c : cases) {
        SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
        if (Player.playState != PLAY_PLAYING)
            SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
        SendFakeEngineReport(500);
        SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F9, 0);
        ASSERT_TRUE(Player.looping) << c.name;
        ClearFakeCalls();
        c.action();
        EXPECT_FALSE(Player.looping) << c.name;
        CallList calls = FakeCalls();
        ASSERT_FALSE(calls.empty()) << c.name;
        EXPECT_EQ(calls[0], "QuorvelControl(2048,60)") << c.name;  // the user's speed again
    }
    // At the first frame there is nothing behind to go over.
    SendMessageA(window_, WM_COMMAND, IDC_PLAY, 0);
    SendFakeEngineReport(0);
    SendMessageA(window_, WM_KEYHOOK_HOTKEY, VK_F9, 0);
    EXPECT_FALSE(Player.looping);
    Close();
}

TEST_F(WorkdayTest, SliderFollowsOnlyWhenAskedAndNeverSeeks)
{
    std::string a = MakeFile("workday-a.mp4");
    Start();
    Open(a.c_str());
    SetFakeEngineLength(1001);
    HWND tracker = Item(IDC_TRACKER);
    auto knob = [tracker] { return (int)(short)GetWindowWord(tracker, TRACKER_VALUE_OFFSET); };
    SendFakeEngineReport(500);
    EXPECT_EQ(knob(), 0);  // as designed, it stays where it was put

    WriteIni(SECTION_PLAYBACK, KEY_SLIDER_FOLLOWS, "YES");
    ReadWorkingDaySettings(window_);
    ClearFakeCalls();
    for (int frame : {500, 504, 995, 1000, 0, 7}) {
        SendFakeEngineReport(frame);
        PumpPending();
        EXPECT_EQ(knob(), (frame * 100 + 500) / 1000) << frame;
    }
    EXPECT_TRUE(Calls("QuorvelControl(128").empty());  // nothing moved by a report seeks

    // While the knob is held, reports leave it where the pointer is.
    SetCapture(tracker);
    SendFakeEngineReport(900);
    EXPECT_EQ(knob(), 1);
    ReleaseCapture();
    SetFakeEngineLength(0);
    Close();
}

// Above or below in the z-order of the top-level windows.
static bool IsAbove(HWND upper, HWND lower)
{
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower)
            return true;
    return false;
}

// Another program's window brought to the front, as a click into the document does.
static HWND FrontWindow(void)
{
    HWND other = CreateWindowExA(0, "STATIC", "document", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200,
                                 NULL, NULL, NULL, NULL);
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(other);
    PumpPending();
    return other;
}

TEST_F(WorkdayTest, AlwaysOnTopFromTheMenuKeptForTheNextStart)
{
    Start();
    HWND document = FrontWindow();
    EXPECT_TRUE(IsAbove(document, window_));  // as designed
    SendMessageA(window_, WM_COMMAND, IDM_ALWAYSONTOP, 0);
    EXPECT_EQ(GetForegroundWindow(), document);  // the keyboard stays with the document
    DestroyWindow(document);
    document = FrontWindow();
    EXPECT_TRUE(IsAbove(window_, document));
    EXPECT_EQ(Setting(SECTION_PLAYBACK, KEY_ALWAYS_ON_TOP), "YES");
    DestroyWindow(document);
    Close();

    Start();
    document = FrontWindow();
    EXPECT_TRUE(IsAbove(window_, document));
    SendMessageA(window_, WM_COMMAND, IDM_ALWAYSONTOP, 0);
    EXPECT_EQ(Setting(SECTION_PLAYBACK, KEY_ALWAYS_ON_TOP), "NO");
    DestroyWindow(document);
    Close();
    // Switched off: below the document again. Wine takes no window out of the topmost band
    // while it lives, so this is looked at after a new start.
    Start();
    document = FrontWindow();
    EXPECT_TRUE(IsAbove(document, window_));
    DestroyWindow(document);
    Close();
}
