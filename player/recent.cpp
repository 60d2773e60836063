// The recent files of the menu, and where each file was left, kept in the [Recent] section: a
// transcriber reopens the same interview day after day and goes on where the work stopped.
#include "player/player.h"

#include <stdio.h>

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "settings/settings.h"

enum {
    KEEP_POSITION_MS = 30000,   // while playing, the position is kept this often
    KEY_NAME_SIZE = 16,
};

static int ReadRecentList(RecentEntry *list)
{
    int count = 0;
    for (int i = 0; i < RECENT_MOST; i++) {
        char key[KEY_NAME_SIZE], text[RECENT_ENTRY_SIZE];
        snprintf(key, sizeof key, "%s%d", KEY_RECENT_FILE, i + 1);
        ReadSetting(SECTION_RECENT, key, "", text, sizeof text);
        if (ParseRecentEntry(text, &list[count]))
            count++;
    }
    return count;
}

static void WriteRecentList(const RecentEntry *list, int count)
{
    for (int i = 0; i < RECENT_MOST; i++) {
        char key[KEY_NAME_SIZE], text[RECENT_ENTRY_SIZE];
        snprintf(key, sizeof key, "%s%d", KEY_RECENT_FILE, i + 1);
        if (i < count)
            FormatRecentEntry(list[i], text);
        WriteSetting(SECTION_RECENT, key, i < count ? text : NULL);
    }
}

void CurrentFilePath(WCHAR *path, int size)
{
    if (Player.currentFileWide[0])
        lstrcpynW(path, Player.currentFileWide, size);
    else if (!MultiByteToWideChar(CP_ACP, 0, Player.currentFile, -1, path, size))
        path[0] = L'\0';
}

// Paths are kept in UTF-8 whatever the code page, so that any name comes back as it is.
static bool Utf8Path(const WCHAR *path, char *utf8)
{
    return WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, RECENT_PATH_SIZE, NULL, NULL) > 0;
}

// Size and last-write time tell whether the file is the one that was left.
static bool ReadIdentity(const WCHAR *path, RecentEntry *entry)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return false;
    entry->size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    entry->written =
        ((uint64_t)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

void LeaveOpenedFile(void)
{
    if (!Player.openedFile[0])
        return;
    RecentEntry list[RECENT_MOST];
    int count = ReadRecentList(list);
    int index = FindRecent(list, count, Player.openedFile);
    if (index >= 0 && list[index].frame != Player.reportedFrame) {
        list[index].frame = Player.reportedFrame;
        WriteRecentList(list, count);
    }
    Player.positionKeptAt = GetTickCount();
}

int32_t ResumeFrameOfCurrentFile(void)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_RESUME_WHERE_STOPPED, DEFAULT_NO, text, sizeof text);
    WCHAR path[CURRENT_FILE_SIZE];
    char utf8[RECENT_PATH_SIZE];
    CurrentFilePath(path, CURRENT_FILE_SIZE);
    if (!SwitchFromText(text) || !Utf8Path(path, utf8))
        return 0;
    RecentEntry list[RECENT_MOST], now;
    int count = ReadRecentList(list);
    int index = FindRecent(list, count, utf8);
    if (index < 0 || !ReadIdentity(path, &now))
        return 0;
    // Changed since: the frame may now show something else, or not be there at all.
    if (now.size != list[index].size || now.written != list[index].written)
        return 0;
    return list[index].frame;
}

void NoteOpenedFile(int32_t frame)
{
    WCHAR path[CURRENT_FILE_SIZE];
    CurrentFilePath(path, CURRENT_FILE_SIZE);
    RecentEntry entry = {};
    entry.frame = frame;
    if (!Utf8Path(path, entry.path) || !ReadIdentity(path, &entry)) {
        Player.openedFile[0] = '\0';
        return;
    }
    RecentEntry list[RECENT_MOST];
    int count = PutRecentFirst(list, ReadRecentList(list), entry);
    WriteRecentList(list, count);
    lstrcpynA(Player.openedFile, entry.path, sizeof Player.openedFile);
    Player.positionKeptAt = GetTickCount();
}

void KeepPositionWhilePlaying(void)
{
    if (Player.playState == PLAY_PLAYING && GetTickCount() - Player.positionKeptAt >= KEEP_POSITION_MS)
        LeaveOpenedFile();
}

void ShowRecentFilesInMenu(HMENU popup)
{
    for (int i = 0; i < Player.recentShown + (Player.recentShown ? 1 : 0); i++)
        DeleteMenu(popup, 0, MF_BYPOSITION);
    RecentEntry list[RECENT_MOST];
    int count = ReadRecentList(list);
    for (int i = 0; i < count; i++) {
        char label[RECENT_LABEL_SIZE];
        WCHAR wide[RECENT_LABEL_SIZE];
        RecentMenuLabel(i + 1, list[i].path, label);
        if (!MultiByteToWideChar(CP_UTF8, 0, label, -1, wide, RECENT_LABEL_SIZE))
            wide[0] = L'\0';
        InsertMenuW(popup, (UINT)i, MF_BYPOSITION | MF_STRING, IDM_RECENT_FIRST + i, wide);
    }
    if (count)
        InsertMenuW(popup, (UINT)count, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
    Player.recentShown = count;
}

static const WCHAR *NameOfPath(const WCHAR *path)
{
    const WCHAR *name = path;
    for (const WCHAR *p = path; *p; p++) {
        if (*p == L'\\' || *p == L'/')
            name = p + 1;
    }
    return name;
}

void OpenRecentFile(HWND window, int index)
{
    RecentEntry list[RECENT_MOST];
    int count = ReadRecentList(list);
    if (index < 0 || index >= count)
        return;
    WCHAR path[CURRENT_FILE_SIZE];
    if (!MultiByteToWideChar(CP_UTF8, 0, list[index].path, -1, path, CURRENT_FILE_SIZE))
        path[0] = L'\0';
    if (!path[0] || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        WriteRecentList(list, RemoveRecent(list, count, index));
        WCHAR notice[CURRENT_FILE_SIZE + 32];
        wsprintfW(notice, L"Not found: %s", path[0] ? NameOfPath(path) : L"?");
        ShowTitleNotice(window, notice);
        return;
    }
    SetCurrentFile(path);
    PostMessageA(window, WM_APP_OPENFILE, 0, 0);
}
