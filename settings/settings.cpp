#include "settings/settings.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

char SettingsFilePath[SETTINGS_PATH_SIZE];

enum {
    MODULE_PATH_SIZE = 500,
    BESIDE_EXE_PATH_SIZE = 511,
    DEFAULT_PLAYER_X = 20,
    DEFAULT_PLAYER_Y = 100,
    DEFAULT_PLAYER_WIDTH = 320,
    DEFAULT_PLAYER_HEIGHT = 240,
};

// The last occurrence of c in text[1 .. end), or NULL: the first character is never examined.
static char *FindBackwards(char *text, size_t end, char c)
{
    for (size_t i = end; i > 1; i--) {
        if (text[i - 1] == c)
            return text + i - 1;
    }
    return NULL;
}

int LocateSettingsFile(char *path)
{
    char module[MODULE_PATH_SIZE];
    DWORD length = GetModuleFileNameA(NULL, module, sizeof module);
    if (length == 0 || length >= sizeof module)
        return -1;
    char *dot = FindBackwards(module, length, '.');
    if (!dot)
        return -1;
    *dot = '\0';
    char *slash = FindBackwards(module, (size_t)(dot - module), '\\');
    if (!slash)
        return -1;
    const char *baseName = slash + 1;

    char result[SETTINGS_PATH_SIZE];
    char appData[MAX_PATH] = "";
    int written;
    if (SHGetSpecialFolderPathA(NULL, appData, CSIDL_APPDATA, FALSE) && appData[0]) {
        char folder[SETTINGS_PATH_SIZE];
        written = snprintf(folder, sizeof folder, "%s\\%s", appData, baseName);
        if (written < 0 || (size_t)written >= sizeof folder)
            return -1;
        CreateDirectoryA(folder, NULL);  // already there is fine
        written = snprintf(result, sizeof result, "%s\\%s.ini", folder, baseName);
    } else {
        char exeFolder[BESIDE_EXE_PATH_SIZE];
        DWORD n = GetModuleFileNameA(NULL, exeFolder, sizeof exeFolder);
        if (n == 0 || n >= sizeof exeFolder)
            return -1;
        char *folderEnd = FindBackwards(exeFolder, n, '\\');
        if (!folderEnd)
            return -1;
        *folderEnd = '\0';
        written = snprintf(result, sizeof result, "%s\\%s.ini", exeFolder, baseName);
    }
    // A path that does not fit is refused rather than cut: a cut path names another file.
    if (written < 0 || (size_t)written >= sizeof result)
        return -1;
    memcpy(path, result, (size_t)written + 1);
    return 1;
}

DWORD ReadSetting(const char *section, const char *key, const char *defaultValue, char *buffer,
                  DWORD size)
{
    if (size == 0)
        return 0;
    if (!SettingsFilePath[0]) {
        // Without a settings file the profile functions would fall back to WIN.INI.
        lstrcpynA(buffer, defaultValue, (int)size);
        return (DWORD)strlen(buffer);
    }
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, SettingsFilePath);
}

void WriteSetting(const char *section, const char *key, const char *value)
{
    if (SettingsFilePath[0])
        WritePrivateProfileStringA(section, key, value, SettingsFilePath);
}

bool SettingsKeyOfPath(const WCHAR *path, char *key, int keySize)
{
    if (keySize <= 0)
        return false;
    // No best fit: "\u0141\u00f3d\u017a.mp4" must not be keyed (and opened) as "Lodz.mp4".
    bool utf8System = GetACP() == CP_UTF8;
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, utf8System ? 0 : WC_NO_BEST_FIT_CHARS, path, -1, NULL, 0, NULL,
                        utf8System ? NULL : &lossy);
    UINT codePage = lossy ? CP_UTF8 : CP_ACP;
    // Character by character, so that a cut never splits one (nor a surrogate pair).
    int used = 0;
    for (const WCHAR *p = path; *p;) {
        int units = IS_HIGH_SURROGATE(p[0]) && IS_LOW_SURROGATE(p[1]) ? 2 : 1;
        char bytes[8];
        int n = WideCharToMultiByte(codePage, 0, p, units, bytes, sizeof bytes, NULL, NULL);
        if (n <= 0 || used + n > keySize - 1)
            break;
        memcpy(key + used, bytes, (size_t)n);
        used += n;
        p += units;
    }
    key[used] = '\0';
    return !lossy;
}

int ParseWindowRect(const char *text, WindowRect *rect)
{
    SplitWindowRect(text, rect);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    ClampWindowRectToDesktop(rect, desktop.right, desktop.bottom);
    return 1;
}

static int ReadWindowRect(const char *key, WindowRect *rect)
{
    char value[WINDOW_POSITION_READ_SIZE];
    int length = (int)ReadSetting(SECTION_WINDOW_POSITION, key, "", value, sizeof value);
    if (length > 0)
        ParseWindowRect(value, rect);
    return length;
}

int RestoreWindowPlacement(HWND window, const char *key)
{
    WindowRect rect = {DEFAULT_PLAYER_X, DEFAULT_PLAYER_Y, DEFAULT_PLAYER_WIDTH,
                       DEFAULT_PLAYER_HEIGHT};
    int length = ReadWindowRect(key, &rect);
    SetWindowPos(window, NULL, rect.x, rect.y, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return length;
}

int RestoreWindowPosition(HWND window, const char *key)
{
    WindowRect rect;
    int length = ReadWindowRect(key, &rect);
    if (length > 0)
        SetWindowPos(window, NULL, rect.x, rect.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return length;
}

int SaveWindowPlacement(HWND window, const char *key)
{
    RECT r;
    GetWindowRect(window, &r);
    char value[WINDOW_POSITION_READ_SIZE];
    snprintf(value, sizeof value, "%d,%d,%d,%d", (int)r.left, (int)r.top,
             (int)(r.right - r.left), (int)(r.bottom - r.top));
    WriteSetting(SECTION_WINDOW_POSITION, key, value);
    return 0;
}
