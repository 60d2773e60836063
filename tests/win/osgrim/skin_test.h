// What the skin tests share: a dialog procedure shaped like the program's (the skin first,
// then its own handling), a record of what reached it, pumping with a deadline, and pixels
// read back from a window painted into memory.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/osgrim.h"
#include "skin_test_ids.h"

// The colours of the test bitmap's four images (make_test_bitmap.cpp).
const COLORREF kNormalColour = RGB(200, 40, 40);
const COLORREF kPressedColour = RGB(40, 200, 40);
const COLORREF kActiveColour = RGB(40, 40, 200);
const COLORREF kGreyedColour = RGB(128, 128, 128);
// The height, in the client area, of the middle of the caption strip's buttons.
const int kStripButtonY = 9;

// Every message that reached a test dialog's own procedure (after the skin passed it on).
struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
};
extern std::vector<Received> g_received;

bool WasReceived(HWND window, UINT message, WPARAM wParam);
// Commands with notification code 0, the ones the program acts on.
std::vector<WPARAM> CommandsReceived(HWND window);

// Dialogs from the test templates: "SMALLTEST" through OsgrimSmallDialogProc, "PLAYERTEST"
// through OsgrimFrameDialogProc then OsgrimTaskProc, as the program's procedures do.
HWND CreateSmallDialog();
HWND CreatePlayerDialog(HWND owner);

void PumpPending();
template <class Condition>
bool PumpUntil(Condition done, DWORD deadlineMs = 3000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > deadlineMs) return false;
        PumpPending();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Paints the window's client area with WM_PRINTCLIENT into a 32-bit memory bitmap and returns
// the colour at x, y.
COLORREF PrintedPixel(HWND window, int x, int y);
// Client point to the lParam of a mouse message.
LPARAM PointParam(int x, int y);
