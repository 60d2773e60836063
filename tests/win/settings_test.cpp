// The settings file under Wine: a real INI file in a folder of the test's own, and real windows
// for the placement operations.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"

namespace {

std::string ReadFileText(const char *path)
{
    std::string text;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, NULL) && got > 0)
        text.append(chunk, got);
    CloseHandle(file);
    return text;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "vantorel-settings-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), NULL);
        path_ = folder_ + "\\Zentrix.ini";
        DeleteFileA(path_.c_str());
        lstrcpynA(SettingsFilePath, path_.c_str(), SETTINGS_PATH_SIZE);
    }
    void TearDown() override
    {
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(folder_.c_str());
        SettingsFilePath[0] = '\0';
    }
    std::string Read(const char *section, const char *key, const char *def, DWORD size = 64)
    {
        char buffer[256];
        memset(buffer, '#', sizeof buffer);
        DWORD n = ReadSetting(section, key, def, buffer, size);
        EXPECT_EQ(n, strlen(buffer));
        return buffer;
    }
    std::string folder_, path_;
};

RECT WindowRectOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

HWND MakePopup(int x, int y, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "placement", WS_POPUP | WS_VISIBLE, x, y, width, height,
                           NULL, NULL, GetModuleHandleA(NULL), NULL);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A dialog from an in-memory template: 100 x 50 dialog units at 10, 10.
HWND MakeDialog()
{
    static WORD templ[32];
    DLGTEMPLATE *dlg = (DLGTEMPLATE *)templ;
    dlg->style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    dlg->x = 10;
    dlg->y = 10;
    dlg->cx = 100;
    dlg->cy = 50;
    return CreateDialogIndirectParamA(GetModuleHandleA(NULL), dlg, NULL, PlainDialogProc, 0);
}

}  // namespace

TEST(LocateSettingsFile, InAFolderOfTheProgramsNameInAppData)
{
    char appData[MAX_PATH] = "";
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, appData, CSIDL_APPDATA, FALSE));
    char path[SETTINGS_PATH_SIZE];
    ASSERT_EQ(LocateSettingsFile(path), 1);
    EXPECT_EQ(std::string(path), std::string(appData) + "\\win_settings\\win_settings.ini");
    std::string folder = std::string(appData) + "\\win_settings";
    DWORD attributes = GetFileAttributesA(folder.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // A second start finds the folder already there and gives the same path.
    char again[SETTINGS_PATH_SIZE];
    EXPECT_EQ(LocateSettingsFile(again), 1);
    EXPECT_STREQ(again, path);
    RemoveDirectoryA(folder.c_str());
}

TEST_F(SettingsFile, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Read(SECTION_OPTIONS, KEY_TC_HOTKEY, DEFAULT_TC_HOTKEY), "F12");
    EXPECT_EQ(Read(SECTION_TC_OFFSET, KEY_DEFAULT, DEFAULT_TC_OFFSET), " 00:00:00:00");
    WriteSetting(SECTION_OPTIONS, KEY_TC_HOTKEY, "F3");
    EXPECT_EQ(Read(SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, DEFAULT_STARTSTOP_HOTKEY), "F11");
    EXPECT_EQ(Read(SECTION_FRAME_RATE, KEY_DEFAULT, DEFAULT_FRAME_RATE), "25");
    EXPECT_EQ(Read(SECTION_OPTIONS, KEY_TC_HOTKEY, DEFAULT_TC_HOTKEY), "F3");
}

TEST_F(SettingsFile, WritesOneKeyAtOnceAndEmptyStaysEmpty)
{
    WriteSetting(SECTION_FRAME_RATE, "C:\\video\\a b.mp4", "29.97");
    WriteSetting(SECTION_DECODER, "C:\\video\\a b.mp4", "");
    std::string text = ReadFileText(path_.c_str());
    EXPECT_NE(text.find("[FrameRate]"), std::string::npos) << text;
    EXPECT_NE(text.find("C:\\video\\a b.mp4=29.97"), std::string::npos) << text;
    EXPECT_NE(text.find("[Decoder]"), std::string::npos) << text;
    EXPECT_EQ(Read(SECTION_DECODER, "C:\\video\\a b.mp4", "fallback"), "");
    EXPECT_EQ(Read(SECTION_FRAME_RATE, "C:\\video\\a b.mp4", ""), "29.97");
}

TEST_F(SettingsFile, ValuesAreCutToTheReadSize)
{
    WriteSetting(SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, "SPACESPACESPACE");
    EXPECT_EQ(Read(SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, "", OPTION_READ_SIZE), "SPACESP");
    WriteSetting(SECTION_TC_OFFSET, KEY_DEFAULT, std::string(100, '1').c_str());
    EXPECT_EQ(Read(SECTION_TC_OFFSET, KEY_DEFAULT, "", TC_OFFSET_READ_SIZE), std::string(31, '1'));
    EXPECT_EQ(Read(SECTION_SYSTEM, KEY_THEME, "defaultdefaultdefaultdefaultdefault", THEME_READ_SIZE),
              "defaultdefaultdefaultdefaultde");
}

TEST_F(SettingsFile, NoPathMeansDefaultsAndNoWrites)
{
    SettingsFilePath[0] = '\0';
    WriteSetting(SECTION_OPTIONS, KEY_TC_HOTKEY, "F1");
    EXPECT_EQ(Read(SECTION_OPTIONS, KEY_TC_HOTKEY, "F12"), "F12");
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFile, PlayerWindowPlacement)
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    struct Case {
        const char *saved;  // NULL: no value
        RECT expected;      // left, top, right, bottom
        int length;
    } cases[] = {
        {NULL, {20, 100, 340, 340}, 0},
        {"", {20, 100, 340, 340}, 0},
        {"30,40,200,150", {30, 40, 230, 190}, 13},
        {"-5,-7,10,10", {0, 0, 32, 32}, 11},
        {"100,100", {100, 100, 600, 300}, 7},
        {"99999,100,200,150",
         {desktop.right - 32, 100, desktop.right - 32 + 200, 250}, 17},
        {"10,99999,200,150",
         {10, desktop.bottom - 32, 210, desktop.bottom - 32 + 150}, 16},
        {"-32000,-32000,160,28", {0, 0, 160, 32}, 20},
    };
    HWND window = MakePopup(300, 300, 50, 50);
    ASSERT_TRUE(window);
    for (const Case &c : cases) {
        WritePrivateProfileStringA(SECTION_WINDOW_POSITION, KEY_PLAYER, c.saved, path_.c_str());
        SetWindowPos(window, NULL, 300, 300, 50, 50, SWP_NOZORDER);
        EXPECT_EQ(RestoreWindowPlacement(window, KEY_PLAYER), c.length) << c.saved;
        RECT r = WindowRectOf(window);
        EXPECT_EQ(r.left, c.expected.left) << c.saved;
        EXPECT_EQ(r.top, c.expected.top) << c.saved;
        EXPECT_EQ(r.right, c.expected.right) << c.saved;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.saved;
    }
    DestroyWindow(window);
}

TEST_F(SettingsFile, SaveWritesTheScreenRectangleAndRestoresIt)
{
    HWND window = MakePopup(123, 145, 417, 289);
    ASSERT_TRUE(window);
    EXPECT_EQ(SaveWindowPlacement(window, KEY_PLAYER), 0);
    EXPECT_NE(ReadFileText(path_.c_str()).find("Player=123,145,417,289"), std::string::npos);
    SetWindowPos(window, NULL, 0, 0, 60, 60, SWP_NOZORDER);
    RestoreWindowPlacement(window, KEY_PLAYER);
    RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 145);
    EXPECT_EQ(r.right - r.left, 417);
    EXPECT_EQ(r.bottom - r.top, 289);
    DestroyWindow(window);
}

TEST_F(SettingsFile, DialogOnlyMoves)
{
    HWND dialog = MakeDialog();
    ASSERT_TRUE(dialog);
    RECT before = WindowRectOf(dialog);

    // No saved position: the dialog stays where its template put it.
    EXPECT_EQ(RestoreWindowPosition(dialog, KEY_OPTIONS_DIALOG), 0);
    RECT unchanged = WindowRectOf(dialog);
    EXPECT_TRUE(EqualRect(&before, &unchanged));

    WriteSetting(SECTION_WINDOW_POSITION, KEY_OPTIONS_DIALOG, "-50,60,999,999");
    EXPECT_EQ(RestoreWindowPosition(dialog, KEY_OPTIONS_DIALOG), 14);
    RECT moved = WindowRectOf(dialog);
    EXPECT_EQ(moved.left, 0);
    EXPECT_EQ(moved.top, 60);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left);
    EXPECT_EQ(moved.bottom - moved.top, before.bottom - before.top);

    SaveWindowPlacement(dialog, KEY_OPTIONS_DIALOG);
    char expected[64];
    wsprintfA(expected, "Options=0,60,%d,%d", (int)(before.right - before.left),
              (int)(before.bottom - before.top));
    EXPECT_NE(ReadFileText(path_.c_str()).find(expected), std::string::npos);
    DestroyWindow(dialog);
}

TEST_F(SettingsFile, OverlongAndBinaryRectangleValues)
{
    // 63 characters are read; 47 are parsed, so the fourth field is cut off.
    std::string value = "7,8" + std::string(42, ',') + "99,99" + std::string(10, ',');
    WriteSetting(SECTION_WINDOW_POSITION, KEY_PLAYER, value.c_str());
    HWND window = MakePopup(300, 300, 50, 50);
    EXPECT_EQ(RestoreWindowPlacement(window, KEY_PLAYER), 60);
    RECT r = WindowRectOf(window);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(r.right - r.left, 99);
    EXPECT_EQ(r.bottom - r.top, 200);

    WriteSetting(SECTION_WINDOW_POSITION, KEY_PLAYER, "\x81\xfe,\x01\x7f,\xff");
    RestoreWindowPlacement(window, KEY_PLAYER);
    r = WindowRectOf(window);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 32);
    EXPECT_EQ(r.bottom - r.top, 200);
    DestroyWindow(window);
}

namespace {

// The per-file key of a path: ANSI names as before, every other name as its UTF-8 bytes, cut
// only between characters. Written for the Western code page of the test prefix.
TEST(SettingsKey, AnsiNamesKeepTheirKeyOthersAreKeyedInUtf8)
{
    ASSERT_EQ(GetACP(), 1252u) << "the table is written for code page 1252";
    const std::wstring manyJapanese(600, L'\u65E5');
    std::string cutJapanese;  // 512 of them: 1536 bytes
    for (int i = 0; i < 512; i++)
        cutJapanese += "\xe6\x97\xa5";
    struct Case {
        std::wstring path;
        int keySize;
        std::string key;
        bool ansi;
    } cases[] = {
        {L"C:\\v\\clip.mp4", 64, "C:\\v\\clip.mp4", true},
        {L"C:\\v\\caf\u00e9 \u20ac.mp4", 64, "C:\\v\\caf\xe9 \x80.mp4", true},
        // Best fit would make this "Lodz.mp4", another file's name.
        {L"C:\\v\\\u0141\u00f3d\u017a.mp4", 64, "C:\\v\\\xc5\x81\xc3\xb3" "d\xc5\xba.mp4", false},
        {L"C:\\\u65E5\u672C \u0395\u03BB.mp4", 64,
         "C:\\\xe6\x97\xa5\xe6\x9c\xac \xce\x95\xce\xbb.mp4", false},
        {L"", 64, "", true},
        {std::wstring(600, L'x'), 513, std::string(512, 'x'), true},
        // Cut at the key size, never inside a character or a surrogate pair.
        {manyJapanese, 1537, cutJapanese, false},
        {manyJapanese, 11, "\xe6\x97\xa5\xe6\x97\xa5\xe6\x97\xa5", false},
        {L"\U0001F3AC.mp4", 4, "", false},
        {L"\U0001F3AC.mp4", 5, "\xf0\x9f\x8e\xac", false},
    };
    for (const Case &c : cases) {
        std::vector<char> key(c.keySize, '#');
        EXPECT_EQ(SettingsKeyOfPath(c.path.c_str(), key.data(), c.keySize), c.ansi)
            << c.path.size() << " characters";
        EXPECT_EQ(std::string(key.data()), c.key) << c.path.size() << " characters";
    }
}

// Two names that the code page turns into the same question marks keep settings of their own,
// and an ANSI name's entry is where older versions look for it.
TEST_F(SettingsFile, NamesInOtherScriptsKeepSeparateEntries)
{
    struct {
        const WCHAR *path;
        const char *rate;
    } files[] = {
        {L"C:\\v\\\u65E5\u672C.mp4", "50"},
        {L"C:\\v\\\u4E2D\u56FD.mp4", "59.94 DF"},
        {L"C:\\v\\\u0395\u03BB.mp4", "24"},
        {L"C:\\v\\caf\u00e9.mp4", "29.97"},
    };
    char key[1537];
    for (const auto &f : files) {
        SettingsKeyOfPath(f.path, key, sizeof key);
        WriteSetting(SECTION_FRAME_RATE, key, f.rate);
    }
    for (const auto &f : files) {
        SettingsKeyOfPath(f.path, key, sizeof key);
        EXPECT_EQ(Read(SECTION_FRAME_RATE, key, ""), f.rate) << key;
    }
    char old[64];
    GetPrivateProfileStringA(SECTION_FRAME_RATE, "C:\\v\\caf\xe9.mp4", "", old, sizeof old,
                             path_.c_str());
    EXPECT_STREQ(old, "29.97");
    EXPECT_NE(ReadFileText(path_.c_str()).find("C:\\v\\\xe6\x97\xa5\xe6\x9c\xac.mp4=50"),
              std::string::npos);
}

}  // namespace
