#include "tests/e2e/support.h"

#include <ctype.h>
#include <shlobj.h>
#include <stdio.h>

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "tests/support/picture.h"

namespace e2e {

namespace {

const char PLAYER_EXE[] = "Zentrix.exe";
const char CTL_EXE[] = "zentrixctl.exe";
const char NOTES_EXE[] = "e2e_notes.exe";
const char NOTES_CLASS[] = "VantorelE2ENotes";
// The hidden controls of the notes window with its keys and their times, as notes.cpp numbers them.
const int NOTES_KEYS_ID = 101, NOTES_TIMES_ID = 102;
const char DIALOG_CLASS[] = "#32770";
const char VIDEO_BAND_CLASS[] = "QuorvelVideoBand";
const int TEXT_SIZE = 1024;
const DWORD ANSWER_TIMEOUT_MS = 5000;
const DWORD CTL_DEADLINE_MS = 20000;
const DWORD DIALOG_DEADLINE_MS = 5000;

std::string WindowsPath(const char *unixDir, const std::string &name)
{
    std::string path = std::string("Z:") + unixDir + "/" + name;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string TextOf(HWND window)
{
    char text[TEXT_SIZE] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL,
                             ANSWER_TIMEOUT_MS, &copied))
        return "";
    return text;
}

struct WindowSearch {
    DWORD pid;
    const char *className, *title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch *s = (WindowSearch *)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner != s->pid || lstrcmpiA(name, s->className) != 0)
        return TRUE;
    if (s->title) {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpA(text, s->title) != 0)
            return TRUE;
    }
    s->found = window;
    return FALSE;
}

// A top-level window of the process with the class (and the title, when given).
HWND FindProcessWindow(DWORD pid, const char *className, const char *title)
{
    WindowSearch search = {pid, className, title, NULL};
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}

bool Launch(const std::string &commandLine, PROCESS_INFORMATION *pi, HANDLE output = NULL)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (output) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = output;
        si.hStdError = output;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return CreateProcessA(NULL, line.data(), NULL, NULL, output != NULL, 0, NULL, NULL, &si,
                          pi) != 0;
}

void EndProcess(PROCESS_INFORMATION *pi)
{
    if (!pi->hProcess)
        return;
    if (WaitForSingleObject(pi->hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi->hProcess, 99);
        WaitForSingleObject(pi->hProcess, EXIT_DEADLINE_MS);
    }
    CloseHandle(pi->hProcess);
    CloseHandle(pi->hThread);
    *pi = PROCESS_INFORMATION();
}

bool BringToFront(HWND window)
{
    return WaitFor(
        [&] {
            if (GetForegroundWindow() == window)
                return true;
            SetForegroundWindow(window);
            return false;
        },
        DIALOG_DEADLINE_MS);
}

}  // namespace

std::string TestNameOf(std::string fileName)
{
    for (char &ch : fileName)
        if (!isalnum((unsigned char)ch))
            ch = '_';
    return fileName;
}

std::string Clip(const char *name) { return WindowsPath(CLIP_DIR, name); }

std::string WorkPath(const std::string &name) { return WindowsPath(WORK_DIR, name); }

std::string BinPath(const char *name)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    char *slash = strrchr(path, '\\');
    if (slash)
        slash[1] = '\0';
    return std::string(path) + name;
}

std::string SettingsPath()
{
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, folder, CSIDL_APPDATA, TRUE);
    return std::string(folder) + "\\Zentrix\\Zentrix.ini";
}

void WriteSettings(const std::string &content)
{
    std::string path = SettingsPath();
    CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), NULL);
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

void DeleteSettings() { DeleteFileA(SettingsPath().c_str()); }

std::string ReadSettingsValue(const char *section, const char *key)
{
    char value[TEXT_SIZE] = "";
    GetPrivateProfileStringA(section, key, "", value, sizeof value, SettingsPath().c_str());
    return value;
}

static std::wstring Widened(const std::string &text)
{
    std::vector<WCHAR> wide(text.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), (int)wide.size());
    return wide.data();
}

std::wstring WideClip(const std::wstring &name) { return Widened(Clip("")) + name; }

bool Player::Start(const std::string &arguments) { return Start(Widened(arguments)); }

bool Player::Start(const std::wstring &arguments)
{
    Kill();
    std::wstring line = L"\"" + Widened(BinPath(PLAYER_EXE)) + L"\"";
    if (!arguments.empty())
        line += L" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::vector<WCHAR> text(line.begin(), line.end());
    text.push_back(L'\0');
    if (!CreateProcessW(NULL, text.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi_)) {
        // Wine has now and then refused to start a program; what it said is the lead.
        printf("the player was not started: CreateProcess failed with error %lu\n", GetLastError());
        fflush(stdout);
        return false;
    }
    DWORD pid = pi_.dwProcessId;
    return WaitFor(
        [&] {
            window_ = FindProcessWindow(pid, VANTOREL_DLGCLASS, NULL);
            return window_ && IsWindowVisible(window_) && GetDlgItem(window_, IDC_TCDISPLAY);
        },
        START_DEADLINE_MS);
}

bool Player::Running() const
{
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Player::WaitForExit(DWORD deadlineMs)
{
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, deadlineMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Player::Kill()
{
    EndProcess(&pi_);
    window_ = NULL;
}

std::string Player::Title() const { return TextOf(window_); }

std::wstring Player::WideTitle() const
{
    WCHAR text[TEXT_SIZE] = L"";
    GetWindowTextW(window_, text, TEXT_SIZE);
    return text;
}

std::string Player::VideoMessage() const
{
    HWND band = FindWindowExA(window_, NULL, VIDEO_BAND_CLASS, NULL);
    return band ? TextOf(band) : "";
}

std::string Player::Display() const { return TextOf(GetDlgItem(window_, IDC_TCDISPLAY)); }

// BST_CHECKED or BST_UNCHECKED, -1 when the player does not answer.
static int PlayButtonState(HWND player)
{
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(GetDlgItem(player, IDC_PLAY), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                             ANSWER_TIMEOUT_MS, &state))
        return -1;
    return (int)state;
}

bool Player::PlayChecked() const { return PlayButtonState(window_) == BST_CHECKED; }

bool Player::PlayUnchecked() const { return PlayButtonState(window_) == BST_UNCHECKED; }

int Player::PictureFrame() const
{
    // The renderer's window sits letterboxed in the video band; the band is the fallback.
    HWND band = FindWindowExA(window_, NULL, VIDEO_BAND_CLASS, NULL);
    HWND video = band ? GetWindow(band, GW_CHILD) : NULL;
    if (!video || !IsWindowVisible(video))
        return -1;
    RECT r;
    GetWindowRect(video, &r);
    HDC screen = GetDC(NULL);
    int frame = FrameInPicture(CaptureRect(screen, r));
    ReleaseDC(NULL, screen);
    return frame;
}

bool Player::WaitForAdvance(DWORD deadlineMs) const
{
    std::string first;
    WaitFor([&] { return !(first = Display()).empty(); }, deadlineMs);
    std::string previous = first;
    int changes = 0;
    // Two changes: one report after an open or a seek is not yet playback.
    return WaitFor(
        [&] {
            std::string now = Display();
            if (!now.empty() && now != previous) {
                changes++;
                previous = now;
            }
            return changes >= 2;
        },
        deadlineMs);
}

int Player::WaitForPaused(TimecodeFormat format, DWORD deadlineMs) const
{
    int frame = -1;
    bool paused = WaitFor(
        [&] {
            frame = PlayUnchecked() ? FrameOfTimecode(Display(), format) : -1;
            return frame >= 0 && PictureFrame() == frame;
        },
        deadlineMs);
    return paused ? frame : -1;
}

::testing::AssertionResult Player::WaitForFrame(int frame, int rate, DWORD deadlineMs) const
{
    return WaitForFrame(frame, TimecodeFormat{rate, false}, deadlineMs);
}

::testing::AssertionResult Player::WaitForFrame(int frame, TimecodeFormat format,
                                                DWORD deadlineMs) const
{
    std::string display;
    int picture = -1;
    bool agree = WaitFor(
        [&] {
            display = Display();
            picture = PictureFrame();
            return FrameOfTimecode(display, format) == frame && picture == frame;
        },
        deadlineMs);
    if (agree)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "wanted frame " << frame << ", the display shows \""
                                         << display << "\" and the picture frame " << picture;
}

bool Player::Activate() const { return BringToFront(window_); }

HWND Player::WaitForDialog(const char *title) const
{
    HWND dialog = NULL;
    DWORD pid = pi_.dwProcessId;
    WaitFor(
        [&] {
            dialog = FindProcessWindow(pid, DIALOG_CLASS, title);
            return dialog && IsWindowVisible(dialog);
        },
        DIALOG_DEADLINE_MS);
    return dialog;
}

static bool ConfirmAndWaitForClose(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return WaitFor([&] { return !IsWindow(dialog); }, DIALOG_DEADLINE_MS);
}

bool Player::ChooseOptions(const OptionChoice *choices, int count) const
{
    PostMessageA(window_, WM_COMMAND, IDM_OPTIONS, 0);
    HWND dialog = WaitForDialog("Options");
    if (!dialog)
        return false;
    for (int i = 0; i < count; i++) {
        HWND list = GetDlgItem(dialog, choices[i].id);
        DWORD_PTR index = (DWORD_PTR)CB_ERR;
        SendMessageTimeoutA(list, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)choices[i].item,
                            SMTO_NORMAL, ANSWER_TIMEOUT_MS, &index);
        if ((LRESULT)index == CB_ERR || TextOf(list) != choices[i].item)
            return false;
    }
    return ConfirmAndWaitForClose(dialog);
}

bool Player::SetTypingOptions(const char *appendSign, const char *showFrames) const
{
    const OptionChoice choices[] = {{IDC_OPT_APPENDSIGN, appendSign},
                                    {IDC_OPT_SHOWFRAMES, showFrames}};
    return ChooseOptions(choices, 2);
}

bool Player::SetHotKeys(const char *tcKey, const char *startStopKey) const
{
    const OptionChoice choices[] = {{IDC_OPT_TCHOTKEY, tcKey},
                                    {IDC_OPT_STARTSTOPKEY, startStopKey}};
    return ChooseOptions(choices, 2);
}

bool Player::SetTcOffset(const char *offset) const
{
    PostMessageA(window_, WM_COMMAND, IDM_OPTIONS, 0);
    HWND dialog = WaitForDialog("Options");
    if (!dialog)
        return false;
    HWND field = GetDlgItem(dialog, IDC_OPT_TCOFFSET);
    DWORD_PTR set = 0;
    if (!SendMessageTimeoutA(field, WM_SETTEXT, 0, (LPARAM)offset, SMTO_NORMAL, ANSWER_TIMEOUT_MS,
                             &set) ||
        TextOf(field) != offset)
        return false;
    return ConfirmAndWaitForClose(dialog);
}

std::string Player::ChooseDecoder(const char *preferred) const
{
    PostMessageA(window_, WM_COMMAND, IDM_DECODER, 0);
    HWND dialog = WaitForDialog("Decoder");
    if (!dialog)
        return "";
    HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    LRESULT chosen = LB_ERR;
    std::string name;
    // Wide: Wine hands an ANSI caller from another process only the first character here.
    for (LRESULT i = 0; i < count; i++) {
        WCHAR wide[TEXT_SIZE] = L"";
        if (SendMessageW(list, LB_GETTEXTLEN, (WPARAM)i, 0) >= TEXT_SIZE)
            continue;
        SendMessageW(list, LB_GETTEXT, (WPARAM)i, (LPARAM)wide);
        char item[TEXT_SIZE] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, NULL, NULL);
        bool usable = lstrcmpA(item, "-") != 0;
        if ((usable && chosen == LB_ERR) || lstrcmpA(item, preferred) == 0) {
            chosen = i;
            name = item;
            if (lstrcmpA(item, preferred) == 0)
                break;
        }
    }
    if (chosen == LB_ERR || SendMessageA(list, LB_SETCURSEL, (WPARAM)chosen, 0) == LB_ERR)
        return "";
    return ConfirmAndWaitForClose(dialog) ? name : "";
}

namespace {

// The result, and whether zentrixctl never got to run: Wine did not start it, or it ended with
// a status that is not one of its own (0, 1, 2) having printed nothing. *why says which, for the
// test's output.
CtlResult RunCtl(const std::string &arguments, bool *neverRan, std::string *why)
{
    char text[96] = "";
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    *neverRan = false;
    *why = "no pipe";
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return {-1, ""};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION pi = {};
    bool started = Launch("\"" + BinPath(CTL_EXE) + "\" " + arguments, &pi, writeEnd);
    DWORD launchError = started ? 0 : GetLastError();
    CloseHandle(writeEnd);
    CtlResult result = {-1, ""};
    *neverRan = !started;
    if (!started) {
        snprintf(text, sizeof text, "not started, error %lu", launchError);
    } else {
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, NULL) && got > 0)
            result.output.append(buffer, got);
        DWORD code = 0;
        if (WaitForSingleObject(pi.hProcess, CTL_DEADLINE_MS) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(pi.hProcess, &code)) {
            result.exitCode = (int)code;
            *neverRan = code > 2 && result.output.empty();
            snprintf(text, sizeof text, "exit status 0x%08lX", code);
        } else {
            snprintf(text, sizeof text, "still running %lu ms after its output closed",
                     CTL_DEADLINE_MS);
        }
        EndProcess(&pi);
    }
    CloseHandle(readEnd);
    while (!result.output.empty() && strchr("\r\n ", result.output.back()))
        result.output.pop_back();
    *why = text;
    return result;
}

}  // namespace

// Now and then, on a loaded machine, Wine does not get zentrixctl to its first line: it is run
// once more, which cannot repeat a request, as none was sent.
CtlResult Ctl(const std::string &arguments)
{
    bool neverRan = false;
    std::string why;
    CtlResult result = RunCtl(arguments, &neverRan, &why);
    if (neverRan) {
        printf("zentrixctl %s did not run (%s); once more\n", arguments.c_str(), why.c_str());
        result = RunCtl(arguments, &neverRan, &why);
    }
    if (result.exitCode == -1 && result.output.empty())
        printf("zentrixctl %s: no answer (%s)\n", arguments.c_str(), why.c_str());
    return result;
}

int FrameOfTimecode(const std::string &text, TimecodeFormat format)
{
    static const char SHAPE[] = "99:99:99:99";  // 9 a digit, : either separator
    if (text.size() != sizeof SHAPE - 1)
        return -1;
    for (size_t i = 0; i < text.size(); i++) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (SHAPE[i] == '9' ? !digit : text[i] != ':' && text[i] != ';')
            return -1;
    }
    if (!ValidateTimecode((" " + text).c_str(), format))
        return -1;
    return ParseTimecode(text.c_str(), format);
}

std::string TimecodeOfFrame(int frame, TimecodeFormat format)
{
    char text[TIMECODE_BUFFER_SIZE];
    return FormatTimecode(text, frame, format) + 1;  // without the sign
}

int FrameOfTimecode(const std::string &text, int rate)
{
    return FrameOfTimecode(text, TimecodeFormat{rate, false});
}

std::string TimecodeOfFrame(int frame, int rate)
{
    return TimecodeOfFrame(frame, TimecodeFormat{rate, false});
}

std::string ColonForm(std::string text)
{
    for (char &c : text)
        if (c == ';')
            c = ':';
    return text;
}

bool Notes::Start(int x, int y)
{
    Close();
    char line[MAX_PATH + 64];
    snprintf(line, sizeof line, "\"%s\" %d %d", BinPath(NOTES_EXE).c_str(), x, y);
    if (!Launch(line, &pi_))
        return false;
    DWORD pid = pi_.dwProcessId;
    return WaitFor(
        [&] {
            frame_ = FindProcessWindow(pid, NOTES_CLASS, NULL);
            edit_ = frame_ ? FindWindowExA(frame_, NULL, "EDIT", NULL) : NULL;
            keys_ = frame_ ? GetDlgItem(frame_, NOTES_KEYS_ID) : NULL;
            times_ = frame_ ? GetDlgItem(frame_, NOTES_TIMES_ID) : NULL;
            return edit_ && keys_ && times_ && IsWindowVisible(frame_);
        },
        START_DEADLINE_MS);
}

void Notes::Close()
{
    if (frame_ && IsWindow(frame_))
        PostMessageA(frame_, WM_CLOSE, 0, 0);
    if (pi_.hProcess)
        WaitForSingleObject(pi_.hProcess, EXIT_DEADLINE_MS);
    EndProcess(&pi_);
    frame_ = edit_ = keys_ = NULL;
}

bool Notes::Activate() const
{
    if (!BringToFront(frame_))
        return false;
    DWORD thread = GetWindowThreadProcessId(frame_, NULL);
    return WaitFor(
        [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == edit_;
        },
        DIALOG_DEADLINE_MS);
}

std::string Notes::Text() const { return TextOf(edit_); }

std::string Notes::Keys() const { return TextOf(keys_); }

std::vector<DWORD> Notes::KeyTimes() const
{
    std::vector<DWORD> times;
    std::string text = TextOf(times_);
    for (const char *p = text.c_str(); *p;) {
        char *end = NULL;
        unsigned long time = strtoul(p, &end, 10);
        if (end == p)
            break;
        times.push_back((DWORD)time);
        p = end;
    }
    return times;
}

void Notes::Clear() const
{
    SendMessageTimeoutA(edit_, WM_SETTEXT, 0, (LPARAM) "", SMTO_NORMAL, ANSWER_TIMEOUT_MS, NULL);
    SendMessageTimeoutA(keys_, WM_SETTEXT, 0, (LPARAM) "", SMTO_NORMAL, ANSWER_TIMEOUT_MS, NULL);
    SendMessageTimeoutA(times_, WM_SETTEXT, 0, (LPARAM) "", SMTO_NORMAL, ANSWER_TIMEOUT_MS, NULL);
}

std::string Notes::TypedAfter(WORD key, size_t length) const
{
    if (!Activate())
        return "";
    Clear();
    PressKey(key);
    std::string typed;
    WaitFor([&] { return (typed = Text()).size() >= length; }, TYPED_DEADLINE_MS);
    return typed;
}

static void SendKey(WORD key, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = flags;
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &input, sizeof input);
}

void KeyDown(WORD key) { SendKey(key, 0); }
void KeyUp(WORD key) { SendKey(key, KEYEVENTF_KEYUP); }
void PressKey(WORD key)
{
    KeyDown(key);
    KeyUp(key);
}

}  // namespace e2e

namespace e2e {

std::string SettingsText(const char *frameRate, const char *placement)
{
    return std::string("[FrameRate]\r\ndefault=") + frameRate + "\r\n[WindowPosition]\r\nPlayer=" +
           placement + "\r\n";
}

void PlayerTest::SetUp()
{
    // zentrixctl talks to the first player it finds: it has to be this test's.
    ASSERT_EQ(FindWindowA(VANTOREL_DLGCLASS, NULL), (HWND)NULL) << "a player is already running";
    DeleteSettings();
}

void PlayerTest::TearDown()
{
    player.Kill();
    DeleteSettings();
}

void PlayerTest::StartOn(const std::string &file, const char *frameRate)
{
    WriteSettings(SettingsText(frameRate));
    ASSERT_TRUE(player.Start("\"" + file + "\"")) << file;
}

int PlayerTest::PauseAndSettle(int rate) { return PauseAndSettle(TimecodeFormat{rate, false}); }

int PlayerTest::PauseAndSettle(TimecodeFormat format)
{
    CtlResult paused = Ctl("pause");
    EXPECT_EQ(paused.exitCode, 0) << paused.output;
    int frame = player.WaitForPaused(format);
    EXPECT_GE(frame, 0) << "not paused on one frame: display " << player.Display() << ", picture "
                        << player.PictureFrame();
    return frame;
}

void PlayerAndNotesTest::StartWithNotes(const char *clip)
{
    StartOn(Clip(clip), "30");
    ASSERT_TRUE(player.WaitForAdvance());
    ASSERT_TRUE(notes.Start(NOTES_X, NOTES_Y));
}

void PlayerAndNotesTest::TearDown()
{
    notes.Close();
    PlayerTest::TearDown();
}

}  // namespace e2e
