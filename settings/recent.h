// The recent files and where each was left: the entries of the [Recent] section, the list's
// order and the menu's labels. Pure code, no platform call: it also builds with the host
// compiler.
//
// Each entry is one key, File1 (the most recent) to File8, whose value is
// "frame|size|written|path": the media frame the file was left at, its size in bytes and its
// last-write time (a FILETIME as a decimal number) when it was opened, and its path in UTF-8
// ('|' is not allowed in a Windows path, so the path, last, may hold anything else).
#pragma once

#include <stddef.h>
#include <stdint.h>

enum {
    RECENT_MOST = 8,
    RECENT_PATH_SIZE = 3 * 512 + 1,        // a 512-character path in UTF-8
    RECENT_ENTRY_SIZE = RECENT_PATH_SIZE + 64,
    RECENT_LABEL_CHARS = 60,               // characters of a shortened path in the menu
    RECENT_LABEL_SIZE = 4 * RECENT_LABEL_CHARS + 16,  // UTF-8, "&8 " and every '&' doubled
};

struct RecentEntry {
    int32_t frame;
    uint64_t size;
    uint64_t written;
    char path[RECENT_PATH_SIZE];
};

// False for a value that is not an entry (a hand-edited line, an empty key).
bool ParseRecentEntry(const char *text, RecentEntry *entry);
// text holds RECENT_ENTRY_SIZE characters.
void FormatRecentEntry(const RecentEntry &entry, char *text);

// Paths name the same file when they are equal but for the case of ASCII letters.
bool SameRecentPath(const char *a, const char *b);
// The index of the path in the list, or -1.
int FindRecent(const RecentEntry *list, int count, const char *path);
// Puts the entry first, taking out an older entry of the same path and, when the list is full,
// the last one. Returns the new count.
int PutRecentFirst(RecentEntry *list, int count, const RecentEntry &entry);
// Takes out the entry at index. Returns the new count.
int RemoveRecent(RecentEntry *list, int count, int index);

// The menu item's text: "&N " and the path, shortened in its middle to the drive or share and the
// last folders and the name ("C:\...\Interviews\day 3.mp4") when it is longer than
// RECENT_LABEL_CHARS characters, with '&' doubled so that it shows as itself.
void RecentMenuLabel(int number, const char *path, char *label);
