// Stamps both ways in Wine's own Notepad (an edit control) and WordPad (a RichEdit window): F12
// types each preset form exactly, and the locate key goes from a stamp in the editor back to its
// picture, with the editor's clipboard, selection and caret as they were.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const char CLIP[] = "intra25.avi";  // 25 fps, 100 numbered pictures
const int RATE = 25;
const DWORD EDITOR_DEADLINE_MS = 20000;
const DWORD NOTICE_DEADLINE_MS = 3000;
const int TEXT_MOST = 4096;
const int EDITOR_X = 620, EDITOR_Y = 120, EDITOR_WIDTH = 400, EDITOR_HEIGHT = 300;

struct Found {
    DWORD pid;
    const char *className;
    HWND window;
};

BOOL CALLBACK FindTopWindow(HWND window, LPARAM parameter)
{
    Found *found = (Found *)parameter;
    DWORD pid = 0;
    char name[64] = "";
    GetWindowThreadProcessId(window, &pid);
    GetClassNameA(window, name, sizeof name);
    if (pid == found->pid && lstrcmpiA(name, found->className) == 0 && IsWindowVisible(window)) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindEditChild(HWND window, LPARAM parameter)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    CharLowerA(name);
    if (strstr(name, "edit")) {
        *(HWND *)parameter = window;
        return FALSE;
    }
    return TRUE;
}

// One of Wine's editors, started by the test, its text area with the keyboard focus.
class Editor {
public:
    ~Editor() { Close(); }
    bool Start(const char *program, const char *frameClass)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        char line[MAX_PATH];
        lstrcpynA(line, program, sizeof line);
        if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi_))
            return false;
        return WaitFor(
            [&] {
                Found found = {pi_.dwProcessId, frameClass, NULL};
                EnumWindows(FindTopWindow, (LPARAM)&found);
                frame_ = found.window;
                edit_ = NULL;
                if (frame_)
                    EnumChildWindows(frame_, FindEditChild, (LPARAM)&edit_);
                return edit_ != NULL;
            },
            EDITOR_DEADLINE_MS) &&
               // Clear of the Player window at 20,100 480x400, whose picture is read back.
               MoveWindow(frame_, EDITOR_X, EDITOR_Y, EDITOR_WIDTH, EDITOR_HEIGHT, TRUE);
    }
    void Close()
    {
        if (pi_.hProcess) {
            TerminateProcess(pi_.hProcess, 0);
            WaitForSingleObject(pi_.hProcess, EDITOR_DEADLINE_MS);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        pi_ = PROCESS_INFORMATION{};
    }
    bool Activate() const
    {
        DWORD thread = GetWindowThreadProcessId(frame_, NULL);
        return WaitFor(
            [&] {
                if (GetForegroundWindow() != frame_)
                    SetForegroundWindow(frame_);
                GUITHREADINFO info = {};
                info.cbSize = sizeof info;
                return GetForegroundWindow() == frame_ && GetGUIThreadInfo(thread, &info) &&
                       info.hwndFocus == edit_;
            },
            EDITOR_DEADLINE_MS);
    }
    // Wide across processes: Wine gives an ANSI caller of another process less.
    std::string Text() const
    {
        WCHAR wide[TEXT_MOST] = L"";
        SendMessageTimeoutW(edit_, WM_GETTEXT, TEXT_MOST, (LPARAM)wide, SMTO_NORMAL, 5000, NULL);
        char text[TEXT_MOST] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
        return text;
    }
    void SetText(const char *text) const
    {
        SendMessageTimeoutA(edit_, WM_SETTEXT, 0, (LPARAM)text, SMTO_NORMAL, 5000, NULL);
    }
    void Select(int start, int end) const
    {
        SendMessageTimeoutA(edit_, EM_SETSEL, (WPARAM)start, (LPARAM)end, SMTO_NORMAL, 5000, NULL);
    }
    std::pair<DWORD, DWORD> Selection() const
    {
        DWORD start = 0, end = 0;
        DWORD_PTR result = 0;
        SendMessageTimeoutA(edit_, EM_GETSEL, (WPARAM)&start, (LPARAM)&end, SMTO_NORMAL, 5000,
                            &result);
        return {LOWORD(result), HIWORD(result)};
    }

private:
    PROCESS_INFORMATION pi_ = {};
    HWND frame_ = NULL, edit_ = NULL;
};

void SetClipboardText(const char *text)
{
    ASSERT_TRUE(WaitFor([] { return OpenClipboard(NULL) != 0; }, 2000));
    EmptyClipboard();
    size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(NULL))
        return "(busy)";
    HANDLE memory = GetClipboardData(CF_TEXT);
    if (memory) {
        text = (const char *)GlobalLock(memory);
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return text;
}

struct EditorKind {
    const char *program, *frameClass;
};

class Stamps : public PlayerTest, public ::testing::WithParamInterface<EditorKind> {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        WriteSettings(SettingsText("25") + "[Stamp]\r\nLocateHotKey=F9\r\n");
        ASSERT_TRUE(player.Start("\"" + Clip(CLIP) + "\""));
        ASSERT_TRUE(player.WaitForAdvance());
        ASSERT_TRUE(editor.Start(GetParam().program, GetParam().frameClass)) << GetParam().program;
    }
    void TearDown() override
    {
        editor.Close();
        PlayerTest::TearDown();
    }
    // The Stamps dialog driven from outside: the template typed into its field, then OK.
    bool SetTemplate(const char *templateText)
    {
        PostMessageA(player.Window(), WM_COMMAND, IDM_STAMPS, 0);
        HWND dialog = player.WaitForDialog("Stamps");
        if (!dialog)
            return false;
        SendMessageTimeoutA(GetDlgItem(dialog, IDC_ST_TEMPLATE), WM_SETTEXT, 0,
                            (LPARAM)templateText, SMTO_NORMAL, 5000, NULL);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return WaitFor([&] { return !IsWindow(dialog); }, EDITOR_DEADLINE_MS);
    }
    bool LocateAndPause(const char *timecode, int frame)
    {
        if (Ctl(std::string("locate ") + timecode).exitCode != 0)
            return false;
        return (bool)player.WaitForFrame(frame, RATE);
    }
    Editor editor;
};

TEST_P(Stamps, TcHotKeyTypesEachPresetExactly)
{
    PauseAndSettle(RATE);
    ASSERT_TRUE(LocateAndPause("00:00:01:10", 35));
    struct {
        const char *templateText, *typed;
    } cases[] = {
        {"", "00:00:01:10 "},
        {"[{HH}:{MM}:{SS}.{FF}] ", "[00:00:01.10] "},
        {"#{HH}:{MM}:{SS}-{T}# ", "#00:00:01-4# "},
        {"{HH}:{MM}:{SS},{mmm} ", "00:00:01,400 "},
        {"({HH}:{MM}:{SS}) ", "(00:00:01) "},
        {"[{MM}:{SS}] ", "[00:01] "},
        // No layout has these two: typed as the characters themselves.
        {"\xAB{TC}\xBB ", "\xAB" "00:00:01:10\xBB "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.templateText);
        ASSERT_TRUE(SetTemplate(c.templateText));
        EXPECT_EQ(ReadSettingsValue("Stamp", "Template"), c.templateText);
        ASSERT_TRUE(editor.Activate());
        editor.SetText("");
        PressKey(VK_F12);
        std::string text;
        EXPECT_TRUE(WaitFor([&] { return (text = editor.Text()).size() >= strlen(c.typed); },
                            EDITOR_DEADLINE_MS));
        EXPECT_EQ(text, c.typed);
    }
}

TEST_P(Stamps, LocateKeyGoesToTheSelectedStampAndLeavesTheEditorAsItWas)
{
    PauseAndSettle(RATE);
    ASSERT_TRUE(LocateAndPause("00:00:00:10", 10));
    const char text[] = "intro [00:00:02.05] middle #00:00:03-4# end";
    ASSERT_TRUE(editor.Activate());
    editor.SetText(text);
    SetClipboardText("earlier");

    editor.Select(27, 39);  // "#00:00:03-4#": 3.4 s is frame 85
    PressKey(VK_F9);
    EXPECT_TRUE(player.WaitForFrame(85, RATE));
    EXPECT_TRUE(player.PlayUnchecked());
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == "earlier"; }, 1000)) << ClipboardText();
    EXPECT_EQ(editor.Selection(), std::make_pair(DWORD(27), DWORD(39)));
    EXPECT_EQ(editor.Text(), text);

    // The caret after both stamps on its line: the last one before it.
    editor.Select(24, 24);  // in "middle", after [00:00:02.05]
    PressKey(VK_F9);
    EXPECT_TRUE(player.WaitForFrame(55, RATE));
    EXPECT_TRUE(WaitFor([] { return ClipboardText() == "earlier"; }, 1000)) << ClipboardText();
    // Shift + Right gives back what Shift + Home selected, key by key.
    EXPECT_TRUE(WaitFor([&] { return editor.Selection() == std::make_pair(DWORD(24), DWORD(24)); },
                        EDITOR_DEADLINE_MS))
        << editor.Selection().first << "," << editor.Selection().second;
    EXPECT_EQ(editor.Text(), text);
}

TEST_P(Stamps, LocateKeyWhilePlayingPlaysOnFromTheStamp)
{
    ASSERT_TRUE(editor.Activate());
    editor.SetText("a 00:00:02:00 b");
    editor.Select(0, 15);
    // Playing from the start, so that the short clip has not ended by the time the key comes.
    ASSERT_EQ(Ctl("locate 00:00:00:00").exitCode, 0);
    ASSERT_EQ(Ctl("play").exitCode, 0);
    ASSERT_TRUE(player.WaitForAdvance());
    ASSERT_TRUE(editor.Activate());
    PressKey(VK_F9);
    // Playing on from frame 50: the display passes through the second after it.
    EXPECT_TRUE(WaitFor(
        [&] {
            int frame = FrameOfTimecode(player.Display(), RATE);
            return frame >= 50 && frame < 50 + RATE;
        },
        EDITOR_DEADLINE_MS))
        << player.Display();
    EXPECT_TRUE(player.PlayChecked());
    EXPECT_TRUE(player.WaitForAdvance());
}

TEST_P(Stamps, TextWithoutStampChangesNothingAndSaysSo)
{
    int frame = PauseAndSettle(RATE);
    std::string title = player.Title();
    ASSERT_TRUE(editor.Activate());
    editor.SetText("no stamp here 12:3");
    editor.Select(0, 18);
    PressKey(VK_F9);
    EXPECT_TRUE(WaitFor([&] { return player.Title().find("No stamp") != std::string::npos; },
                        NOTICE_DEADLINE_MS))
        << player.Title();
    EXPECT_TRUE(WaitFor([&] { return player.Title() == title; }, NOTICE_DEADLINE_MS))
        << player.Title();
    EXPECT_TRUE(player.WaitForFrame(frame, RATE));
}

INSTANTIATE_TEST_SUITE_P(Editors, Stamps,
                         ::testing::Values(EditorKind{"notepad.exe", "Notepad"},
                                           EditorKind{"\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"",
                                                      "WORDPADTOP"}),
                         [](const ::testing::TestParamInfo<EditorKind> &info) {
                             return std::string(info.param.frameClass);
                         });

}  // namespace
