// The settings file: its location, reading and writing single keys, and window placement.
#pragma once

#include <windows.h>

#include "settings/keys.h"
#include "settings/values.h"

enum { SETTINGS_PATH_SIZE = 512 };

// Set once at start-up by LocateSettingsFile; empty until then (and after a failure, in which
// case reads give their defaults and writes are dropped).
extern char SettingsFilePath[SETTINGS_PATH_SIZE];

// Zentrix.ini in a folder Zentrix of the user's application-data folder (made when missing), or
// beside the executable when there is no such folder. 1 and path set, or -1 and path unchanged.
int LocateSettingsFile(char *path);

// The value, or the default when the file, section or key is missing, cut to size - 1
// characters. Returns the number of characters copied.
DWORD ReadSetting(const char *section, const char *key, const char *defaultValue, char *buffer,
                  DWORD size);
// Sets one key at once; an empty value stays an empty value.
void WriteSetting(const char *section, const char *key, const char *value);

// The per-file key of a file's path (sections FrameRate, TC-Offset, Decoder). A path the ANSI code
// page holds is its own key, in that code page, as it always was. Any other path (Japanese or
// Greek names on a Western Windows) is keyed by its UTF-8 bytes, which the ANSI profile functions
// of a single-byte code page carry through unchanged; an editor reading the file as UTF-8 shows
// the real name, and older versions, which could not open such a file, never see the key. True
// when the path is an ANSI path (the key is then also the path for the ANSI file functions). The
// key is cut at keySize - 1 bytes, never inside a character.
bool SettingsKeyOfPath(const WCHAR *path, char *key, int keySize);

// SplitWindowRect and then the clamp against the desktop window's rectangle. Returns 1.
int ParseWindowRect(const char *text, WindowRect *rect);

// Player window: position and size from the file, or 20, 100, 320 x 240. Returns the length of
// the value read (0 when missing).
int RestoreWindowPlacement(HWND window, const char *key);
// Dialogs: the position only; without a saved value the window stays where its template put it.
int RestoreWindowPosition(HWND window, const char *key);
// Writes the window's screen rectangle as "left,top,width,height". Returns 0.
int SaveWindowPlacement(HWND window, const char *key);
