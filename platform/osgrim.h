// The skin library OSGRIM.DLL: window frames, the task window, the OG_ dialog controls and the
// popup menu, in the look of a theme.
#pragma once

#include <windows.h>

#ifdef OSGRIM_BUILD
#define OSGRIM_API __declspec(dllexport)
#else
#define OSGRIM_API
#endif

// Control classes registered by InitOsgrim for the program's dialog templates.
#define OG_BMBUTTON    "OG_BMBUTTON"     // bitmap button: the text names a bitmap of the program
#define OG_TXGBUTTON   "OG_TXGBUTTON"    // text push button
#define OG_TEXT        "OG_TEXT"         // label
#define OG_SCROLLCOMBO "OG_SCROLLCOMBO"  // drop-down list
#define OG_SCROLLLIST  "OG_SCROLLLIST"   // list box
#define OG_SINGLEEDIT  "OG_SINGLEEDIT"   // single-line edit

// Height of the skinned title strip at the top of the client area.
#define OSGRIM_TITLE_HEIGHT 18

#ifdef __cplusplus
extern "C" {
#endif

OSGRIM_API BOOL WINAPI InitOsgrim(HINSTANCE program);
// "" or an unknown name gives the default look.
OSGRIM_API BOOL WINAPI SetOsgrimTheme(const char *themeName);
// The window that carries the program's taskbar button and owns the Player window.
OSGRIM_API HWND WINAPI CreateOsgrimTaskWindow(const char *title, DWORD style, HICON icon,
                                              HINSTANCE program);
// Asked first with every message of the Player window (then OsgrimTaskProc) and of the dialogs
// (OsgrimSmallDialogProc). Non-zero: the message is handled, the caller returns TRUE at once.
OSGRIM_API INT_PTR WINAPI OsgrimFrameDialogProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);
OSGRIM_API INT_PTR WINAPI OsgrimTaskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
OSGRIM_API INT_PTR WINAPI OsgrimSmallDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                LPARAM lParam);
// Shows menu at the screen point; the chosen item arrives at owner as WM_COMMAND with its id.
OSGRIM_API BOOL WINAPI ShowPopupMenu(HWND owner, int reserved, int x, int y, HMENU menu);
OSGRIM_API BOOL WINAPI DestroyOsgrimTaskWindow(HWND taskWindow);
OSGRIM_API BOOL WINAPI ExitOsgrim(HINSTANCE program);

#ifdef __cplusplus
}
#endif
