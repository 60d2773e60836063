// The installer as a user runs it: a silent per-user installation, the installed player started
// from its folder and answering zentrixctl, then the silent uninstallation through the command
// that Apps / Programs and Features would run. The settings file and other programs' entries in
// the shared registry keys must come through untouched.
//
//   win_package <path of Vantorel-<version>-setup.exe>
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const DWORD INSTALL_DEADLINE_MS = 30000;
const DWORD PLAYER_DEADLINE_MS = 20000;
const DWORD UNINSTALL_DEADLINE_MS = 30000;
const DWORD POLL_MS = 100;
const DWORD CLOSED_PLAYER_EXIT_CODE = 1;

const char PLAYER_CLASS[] = "VANTORELDLGCLASS";
const char CLASSES[] = "Software\\Classes\\";
const char APP_KEY[] = "Software\\Classes\\Applications\\Zentrix.exe";
const char PROGID[] = "Vantorel.Video";
const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantorel";
const char *const SHIPPED[] = {"Zentrix.exe", "QUORVEL.DLL", "OSGRIM.DLL", "ZENTRIXKEY.DLL",
                               "zentrixctl.exe", "ZentrixHelp.pdf", "README.txt"};
const char *const VIDEO_TYPES[] = {".mp4", ".avi", ".mov", ".mkv", ".wmv", ".mpg"};
// Another program's "Open with" entry on a type we share: it has to survive our uninstaller.
const char OTHER_TYPE[] = ".avi";
const char OTHER_PROGID[] = "OtherPlayer.avi";

std::string g_installer;

std::string Folder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string InstallDir() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Vantorel"; }
std::string SettingsDir() { return Folder(CSIDL_APPDATA) + "\\Zentrix"; }
std::string SettingsFile() { return SettingsDir() + "\\Zentrix.ini"; }
std::string Shortcut() { return Folder(CSIDL_PROGRAMS) + "\\Vantorel.lnk"; }
std::string Quoted(const std::string &path) { return "\"" + path + "\""; }

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

template <typename Condition>
bool WaitFor(Condition condition, DWORD deadlineMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > deadlineMs)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

// Registry reads in HKCU; "present" distinguishes a missing value from an empty one.
struct RegValue {
    bool present;
    std::string text;
};

RegValue ReadValue(const std::string &key, const char *name)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return {false, ""};
    char data[1024] = "";
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG status = RegQueryValueExA(handle, name, NULL, &type, (BYTE *)data, &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return {false, ""};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        data[0] = 0;
    return {true, data};
}

// Removes a key only when nothing is left in it, as a shared key may hold other programs' entries.
void DeleteKeyIfEmpty(const std::string &key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyA(handle, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(handle);
    if (subkeys == 0 && values == 0)
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

bool KeyExists(const std::string &key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::string ReadWholeFile(const std::string &path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteWholeFile(const std::string &path, const std::string &text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written;
    WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL);
    CloseHandle(file);
}

// A started program; its handles are closed, and a program still running is ended, on the way out.
struct Process {
    PROCESS_INFORMATION info = {};
    HANDLE output = NULL;  // read end of its standard output, when captured

    ~Process()
    {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(info.hProcess, 0);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
        if (output)
            CloseHandle(output);
    }
    bool Start(const std::string &commandLine, bool captureOutput = false)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        HANDLE writeEnd = NULL;
        if (captureOutput) {
            SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
            if (!CreatePipe(&output, &writeEnd, &inherit, 0))
                return false;
            SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = writeEnd;
            startup.hStdError = writeEnd;
        }
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back(0);
        // Started from the Windows folder, as a shortcut would, not beside the program.
        std::string where = Folder(CSIDL_WINDOWS);
        BOOL started = CreateProcessA(NULL, line.data(), NULL, NULL, captureOutput, 0, NULL,
                                      where.c_str(), &startup, &info);
        if (writeEnd)
            CloseHandle(writeEnd);
        return started != FALSE;
    }
    // false when it did not end within the deadline.
    bool Wait(DWORD deadlineMs, DWORD *exitCode)
    {
        if (WaitForSingleObject(info.hProcess, deadlineMs) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(info.hProcess, exitCode);
        return true;
    }
    std::string Output()
    {
        std::string text;
        char buffer[256];
        DWORD got;
        while (output && ReadFile(output, buffer, sizeof buffer, &got, NULL) && got)
            text.append(buffer, got);
        return text;
    }
};

bool ProcessRunning(const char *exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return found;
}

// The Player windows of one process (other tests may show Player windows of their own).
struct PlayerSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectPlayerWindow(HWND window, LPARAM context)
{
    PlayerSearch *search = (PlayerSearch *)context;
    char name[64] = "";
    DWORD owner = 0;
    GetClassNameA(window, name, sizeof name);
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && lstrcmpA(name, PLAYER_CLASS) == 0)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> PlayerWindowsOf(DWORD processId)
{
    PlayerSearch search = {processId, {}};
    EnumWindows(CollectPlayerWindow, (LPARAM)&search);
    return search.found;
}

bool FirstPlayerIsOf(DWORD processId)
{
    HWND first = FindWindowA(PLAYER_CLASS, NULL);
    DWORD owner = 0;
    return first && GetWindowThreadProcessId(first, &owner) && owner == processId;
}

struct CtlAnswer {
    DWORD status;
    std::string output;
};

CtlAnswer RunZentrixctl(const std::string &arguments)
{
    Process ctl;
    CtlAnswer answer = {~0u, ""};
    if (!ctl.Start(Quoted(InstallDir() + "\\zentrixctl.exe") + " " + arguments, true))
        return answer;
    answer.output = ctl.Output();
    if (!ctl.Wait(PLAYER_DEADLINE_MS, &answer.status))
        answer.status = ~0u;
    return answer;
}

// Runs an uninstaller left by an earlier, interrupted run, so each run starts from nothing.
void RemoveEarlierInstallation()
{
    std::string uninstaller = InstallDir() + "\\Uninstall.exe";
    if (!Exists(uninstaller))
        return;
    Process earlier;
    DWORD status;
    if (earlier.Start(Quoted(uninstaller) + " /S"))
        earlier.Wait(UNINSTALL_DEADLINE_MS, &status);
    WaitFor([] { return !Exists(InstallDir()) && !ProcessRunning("Un.exe"); }, UNINSTALL_DEADLINE_MS);
}

class Installer : public ::testing::Test {
protected:
    std::string savedSettings;
    bool hadSettings = false;
    bool hadSettingsDir = false;

    void SetUp() override
    {
        ASSERT_FALSE(g_installer.empty()) << "usage: win_package <setup.exe>";
        ASSERT_TRUE(Exists(g_installer)) << g_installer;
        RemoveEarlierInstallation();
        ASSERT_FALSE(Exists(InstallDir())) << "an earlier installation could not be removed";
        hadSettingsDir = Exists(SettingsDir());
        hadSettings = Exists(SettingsFile());
        if (hadSettings)
            savedSettings = ReadWholeFile(SettingsFile());
        HKEY other;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER,
                                  (std::string(CLASSES) + OTHER_TYPE + "\\OpenWithProgids").c_str(),
                                  0, NULL, 0, KEY_WRITE, NULL, &other, NULL),
                  ERROR_SUCCESS);
        RegSetValueExA(other, OTHER_PROGID, 0, REG_SZ, (const BYTE *)"", 1);
        RegCloseKey(other);
    }

    void TearDown() override
    {
        std::string type = std::string(CLASSES) + OTHER_TYPE;
        RegDeleteKeyValueA(HKEY_CURRENT_USER, (type + "\\OpenWithProgids").c_str(), OTHER_PROGID);
        DeleteKeyIfEmpty(type + "\\OpenWithProgids");
        DeleteKeyIfEmpty(type);
        if (hadSettings)
            WriteWholeFile(SettingsFile(), savedSettings);
        else
            DeleteFileA(SettingsFile().c_str());
        if (!hadSettingsDir)
            RemoveDirectoryA(SettingsDir().c_str());
        RemoveEarlierInstallation();
    }
};

void ExpectInstalled()
{
    std::string dir = InstallDir();
    for (const char *name : SHIPPED)
        EXPECT_TRUE(Exists(dir + "\\" + name)) << name;
    EXPECT_TRUE(Exists(dir + "\\Uninstall.exe"));
    EXPECT_TRUE(Exists(Shortcut())) << Shortcut();

    std::string open = Quoted(dir + "\\Zentrix.exe") + " \"%1\"";
    EXPECT_EQ(ReadValue(std::string(APP_KEY) + "\\shell\\open\\command", "").text, open);
    EXPECT_EQ(ReadValue(std::string(CLASSES) + PROGID + "\\shell\\open\\command", "").text, open);
    for (const char *type : VIDEO_TYPES) {
        SCOPED_TRACE(type);
        std::string key = std::string(CLASSES) + type;
        EXPECT_TRUE(ReadValue(key + "\\OpenWithProgids", PROGID).present);
        EXPECT_TRUE(KeyExists(key + "\\OpenWithList\\Zentrix.exe"));
        EXPECT_TRUE(ReadValue(std::string(APP_KEY) + "\\SupportedTypes", type).present);
    }
    EXPECT_EQ(ReadValue(UNINSTALL_KEY, "DisplayName").text, "Vantorel " VANTOREL_VERSION);
    EXPECT_EQ(ReadValue(UNINSTALL_KEY, "DisplayVersion").text, VANTOREL_VERSION);
    EXPECT_EQ(ReadValue(UNINSTALL_KEY, "InstallLocation").text, dir);
    EXPECT_EQ(ReadValue(UNINSTALL_KEY, "QuietUninstallString").text,
              Quoted(dir + "\\Uninstall.exe") + " /S");
}

void ExpectUninstalled()
{
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(KeyExists(APP_KEY));
    EXPECT_FALSE(KeyExists(std::string(CLASSES) + PROGID));
    EXPECT_FALSE(KeyExists(UNINSTALL_KEY));
    for (const char *type : VIDEO_TYPES) {
        SCOPED_TRACE(type);
        std::string key = std::string(CLASSES) + type;
        EXPECT_FALSE(ReadValue(key + "\\OpenWithProgids", PROGID).present);
        EXPECT_FALSE(KeyExists(key + "\\OpenWithList\\Zentrix.exe"));
    }
    // Entries of other programs on the same type stay.
    EXPECT_TRUE(ReadValue(std::string(CLASSES) + OTHER_TYPE + "\\OpenWithProgids", OTHER_PROGID).present);
}

// Starts the installed player without a file, waits until zentrixctl reaches it, then closes it
// as its close box would.
void ExpectInstalledPlayerAnswers()
{
    Process player;
    ASSERT_TRUE(player.Start(Quoted(InstallDir() + "\\Zentrix.exe")));
    DWORD id = player.info.dwProcessId;
    ASSERT_TRUE(WaitFor([&] { return !PlayerWindowsOf(id).empty(); }, PLAYER_DEADLINE_MS))
        << "the installed player showed no window";

    // zentrixctl talks to the first Player window; a Player window of another test may come
    // first for a moment, so only an answer taken while ours came first on both sides counts.
    CtlAnswer answer = {~0u, ""};
    bool ours = WaitFor(
        [&] {
            if (!FirstPlayerIsOf(id))
                return false;
            answer = RunZentrixctl("query");
            return answer.status == 0 && FirstPlayerIsOf(id);
        },
        PLAYER_DEADLINE_MS);
    ASSERT_TRUE(ours) << "zentrixctl query: status " << answer.status << ", " << answer.output;
    EXPECT_EQ(answer.output, "00:00:00:00\r\n");

    for (HWND window : PlayerWindowsOf(id))
        PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    ASSERT_TRUE(player.Wait(PLAYER_DEADLINE_MS, &exitCode)) << "the player did not close";
    EXPECT_EQ(exitCode, CLOSED_PLAYER_EXIT_CODE);
}

TEST_F(Installer, InstallsPerUserRunsAndUninstallsLeavingTheSettings)
{
    const std::string settings = "[PackageTest]\r\nMarker=kept by the uninstaller\r\n";
    CreateDirectoryA(SettingsDir().c_str(), NULL);
    WriteWholeFile(SettingsFile(), settings);

    Process setup;
    DWORD status = ~0u;
    ASSERT_TRUE(setup.Start(Quoted(g_installer) + " /S"));
    ASSERT_TRUE(setup.Wait(INSTALL_DEADLINE_MS, &status)) << "the installer did not finish";
    ASSERT_EQ(status, 0u);
    ExpectInstalled();

    ExpectInstalledPlayerAnswers();

    // The command Apps / Programs and Features runs for a silent removal. The uninstaller hands
    // over to a copy of itself in the temporary folder, so its end is seen in what it removes.
    RegValue quiet = ReadValue(UNINSTALL_KEY, "QuietUninstallString");
    ASSERT_TRUE(quiet.present);
    Process uninstall;
    ASSERT_TRUE(uninstall.Start(quiet.text));
    ASSERT_TRUE(uninstall.Wait(UNINSTALL_DEADLINE_MS, &status));
    EXPECT_TRUE(WaitFor([] { return !KeyExists(UNINSTALL_KEY) && !ProcessRunning("Un.exe"); },
                        UNINSTALL_DEADLINE_MS))
        << "the uninstaller did not finish";
    ExpectUninstalled();

    EXPECT_NE(ReadWholeFile(SettingsFile()).find("Marker=kept by the uninstaller"), std::string::npos)
        << "the settings file did not survive";
}

}  // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        // ctest hands over a Linux path; Wine shows the root of the Linux file system as Z:.
        g_installer = argv[1];
        if (!g_installer.empty() && g_installer[0] == '/')
            g_installer = "Z:" + g_installer;
        for (char &c : g_installer)
            if (c == '/')
                c = '\\';
    }
    return RUN_ALL_TESTS();
}
