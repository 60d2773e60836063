// The program's two custom controls: the Tracker position slider and the TCDisplay timecode
// panel. Both keep their state in window extra bytes, take their settings through standard
// messages and report to the parent with WM_COMMAND carrying their id.
#pragma once

#include <windows.h>

#include "resources/resource.h"  // TRACKER_CLASS, TCDISPLAY_CLASS

// Tracker: WM_SETTEXT's wParam says what the decimal text sets.
#define TRACKER_SET_VALUE   ((WPARAM)0)
#define TRACKER_SET_MINIMUM ((WPARAM)-1)  // any negative wParam
#define TRACKER_SET_MAXIMUM ((WPARAM)1)   // any positive wParam

// Tracker notification: WM_COMMAND, wParam the control id, lParam the value sign-extended; the
// notifications sent on a button release also carry this flag.
#define TRACKER_RELEASE_FLAG 0x10000

// Tracker window extra bytes: four signed 16-bit words.
#define TRACKER_EXTRA_BYTES   8
#define TRACKER_KNOB_OFFSET   0  // x of the knob's centre in client pixels
#define TRACKER_VALUE_OFFSET  2
#define TRACKER_MIN_OFFSET    4
#define TRACKER_MAX_OFFSET    6

// TCDisplay window extra bytes: 16 in the 32-bit build, as the control has always had; the
// 64-bit build's handles are 8 bytes, so its two font slots follow the 16 and it has 28.
#define TCDISPLAY_ENABLED_OFFSET 6   // 16-bit: 1 enabled, 0 disabled
#define TCDISPLAY_FONT_OFFSET    12  // the font given by WM_SETFONT (not owned)
// A smaller copy of the given font, made and owned by the control while the text does not fit
// its area in the given one (a system whose font for the name asked is wider); 0 otherwise. In
// the 32-bit build it takes the bytes 8 to 11, which nothing else uses.
#define TCDISPLAY_FITTED_FONT_OFFSET (sizeof(LONG_PTR) == 4 ? 8 : 20)
#define TCDISPLAY_EXTRA_BYTES        (sizeof(LONG_PTR) == 4 ? 16 : 28)

// Posted by a TCDisplay to itself after a change of text, font or enabled state; it then
// invalidates itself, so the repaint comes after the change has been fully handled.
#define WM_TCDISPLAY_REFRESH (WM_USER + 100)

// Registers Tracker, then TCDisplay, as global classes of instance, the module whose bitmap
// resources the Tracker draws with. Always returns TRUE.
BOOL RegisterControlClasses(HINSTANCE instance);
// Unregisters Tracker, then TCDisplay. Always returns TRUE.
BOOL UnregisterControlClasses(HINSTANCE instance);

LRESULT CALLBACK TrackerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TCDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
