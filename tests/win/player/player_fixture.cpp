#include "tests/win/player/player_fixture.h"

#include <string.h>

#include <algorithm>

#include "resources/resource.h"
#include "settings/settings.h"

static const PlayerValues InitialPlayer = Player;

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage((int)msg.wParam);  // keep it for Close()
                break;
            }
            ProcessLoopMessage(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpPending(void)
{
    PumpUntil([] { return false; }, 50);
}

std::string IniText(void)
{
    std::string text;
    HANDLE file = CreateFileA(SettingsFilePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

std::vector<DWORD> KeptKeys(void)
{
    std::vector<DWORD> keys;
    for (DWORD key : FakeHookKeys()) {
        if (key != 0 && std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void WriteIni(const char *section, const char *key, const char *value)
{
    WritePrivateProfileStringA(section, key, value, SettingsFilePath);
}

void PlayerWindowTest::SetUp()
{
    Player = InitialPlayer;
    ClearFakeCalls();
    SetFakeCallObserver(nullptr);
    SetFakeEngineReportOnSetRate(false, 0);
    // The settings file of this test program, in the test prefix's own application data.
    LocateSettingsFile(SettingsFilePath);
    DeleteFileA(SettingsFilePath);
}

void PlayerWindowTest::Start(const char *commandLine)
{
    WCHAR wide[CURRENT_FILE_SIZE * 2] = L"";
    MultiByteToWideChar(CP_ACP, 0, commandLine, -1, wide, CURRENT_FILE_SIZE * 2);
    StartApplication(GetModuleHandleA(NULL), wide);
    window_ = App.playerWindow;
    ASSERT_TRUE(window_ != NULL);
    PumpPending();
}

int PlayerWindowTest::Close()
{
    if (window_ && IsWindow(window_))
        SendMessageA(window_, WM_COMMAND, IDCANCEL, 0);
    MSG msg;
    int exitCode = -1;
    if (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        exitCode = (int)msg.wParam;
    window_ = NULL;
    return exitCode;
}

void PlayerWindowTest::TearDown()
{
    SetFakeCallObserver(nullptr);
    Close();
    ShutDownApplication();
    App.playerWindow = NULL;
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
}

int PlayerWindowTest::PlayCheck() const
{
    return (int)SendMessageA(Item(IDC_PLAY), BM_GETCHECK, 0, 0);
}

std::vector<std::string> PlayerWindowTest::Calls(const std::string &prefix) const
{
    std::vector<std::string> found;
    for (const std::string &call : FakeCalls()) {
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    }
    return found;
}

void PlayerWindowTest::Open(const char *path)
{
    lstrcpynA(Player.currentFile, path, sizeof Player.currentFile);
    PostMessageA(window_, WM_APP_OPENFILE, 0, 0);
    size_t before = Calls("QuorvelSetFile").size();
    PumpUntil([&] { return Calls("QuorvelSetFile").size() > before; });
}
