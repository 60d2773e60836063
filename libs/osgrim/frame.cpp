// The skinned frames: the Player window (OsgrimFrameDialogProc) and the dialogs
// (OsgrimSmallDialogProc). The caller hands every message here first and returns TRUE at once
// when the result is non-zero, so a message the program's own procedure handles always gets 0;
// a value for the sender goes through DWLP_MSGRESULT as for any dialog procedure.
#include "libs/osgrim/skin.h"

#include <commctrl.h>

#include "platform/osgrim.h"

namespace {

// Per window: the strip button held down (low byte) and whether it is shown pressed (bit 8);
// and whether the window is drawn active.
const char kPressedProp[] = "OsgrimStripPressed";
const char kActiveProp[] = "OsgrimActive";
const LONG_PTR kActiveNo = 1;
const LONG_PTR kActiveYes = 2;
const UINT_PTR kShownDown = 0x100;
const UINT_PTR kColourSubclassId = 0x05C1;

INT_PTR Answer(HWND window, LRESULT result)
{
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool IsDrawnActive(HWND window)
{
    LONG_PTR state = reinterpret_cast<LONG_PTR>(GetPropA(window, kActiveProp));
    if (state == kActiveYes) return true;
    if (state == kActiveNo) return false;
    return GetActiveWindow() == window;
}

StripPart ShownPressed(HWND window)
{
    UINT_PTR state = reinterpret_cast<UINT_PTR>(GetPropA(window, kPressedProp));
    return (state & kShownDown) ? static_cast<StripPart>(state & 0xFF) : STRIP_NONE;
}

StripPart Tracked(HWND window)
{
    return static_cast<StripPart>(reinterpret_cast<UINT_PTR>(GetPropA(window, kPressedProp)) & 0xFF);
}

void InvalidateStrip(HWND window)
{
    RECT strip = StripRect(window);
    InvalidateRect(window, &strip, FALSE);
}

POINT ClientPoint(LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return point;
}

// The children of a skinned window take their colours from the theme. The answer to
// WM_CTLCOLOR* is a brush, which the caller's "non-zero means TRUE" rule would lose, so a
// subclass of the window answers it before the dialog manager sees it.
LRESULT CALLBACK ColourSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (g_skin.theme) {
        const SkinTheme &theme = *g_skin.theme;
        switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
            SetTextColor(dc, theme.panelText);
            SetBkColor(dc, theme.panel);
            return reinterpret_cast<LRESULT>(g_skin.panelBrush);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            SetTextColor(dc, theme.fieldText);
            SetBkColor(dc, theme.field);
            return reinterpret_cast<LRESULT>(g_skin.fieldBrush);
        default:
            break;
        }
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, ColourSubclassProc, id);
    return DefSubclassProc(window, message, wParam, lParam);
}

// Setting the same procedure and id again only updates the existing subclass, so no check is
// needed first (the 64-bit MinGW comctl32 has no GetWindowSubclass to make one).
void EnsureColourSubclass(HWND window)
{
    SetWindowSubclass(window, ColourSubclassProc, kColourSubclassId, 0);
}

INT_PTR OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        RECT strip = StripRect(window), overlap;
        if (IntersectRect(&overlap, &strip, &ps.rcPaint))
            PaintStrip(window, dc, IsDrawnActive(window), ShownPressed(window));
        EndPaint(window, &ps);
    }
    return Answer(window, 0);
}

void FillPanel(HWND window, HDC dc)
{
    RECT panel;
    GetClientRect(window, &panel);
    panel.top += kStripHeight;
    if (panel.bottom > panel.top) FillSolid(dc, panel, g_skin.theme->panel);
}

INT_PTR OnEraseBackground(HWND window, HDC dc)
{
    FillPanel(window, dc);
    return Answer(window, 1);
}

INT_PTR OnPrintClient(HWND window, HDC dc)
{
    FillPanel(window, dc);
    PaintStrip(window, dc, IsDrawnActive(window), ShownPressed(window));
    return Answer(window, 0);
}

INT_PTR OnNcPaint(HWND window)
{
    RECT outer;
    POINT origin = {0, 0};
    GetWindowRect(window, &outer);
    ClientToScreen(window, &origin);
    int thickness = origin.x - outer.left;
    if (thickness > 0) PaintWindowBorder(window, g_skin.theme->frame, thickness);
    return Answer(window, 0);
}

// Drawn here rather than by the system, which would paint its own frame over the skin.
INT_PTR OnNcActivate(HWND window, bool active)
{
    SetPropA(window, kActiveProp, reinterpret_cast<HANDLE>(active ? kActiveYes : kActiveNo));
    OnNcPaint(window);
    InvalidateStrip(window);
    return Answer(window, TRUE);
}

INT_PTR OnNcHitTest(HWND window, LPARAM lParam)
{
    POINT point = ClientPoint(lParam);
    ScreenToClient(window, &point);
    switch (StripPartAt(window, point)) {
    case STRIP_NONE:
        return 0;
    case STRIP_CAPTION:
        return Answer(window, HTCAPTION);  // the system then moves the window by the strip
    default:
        return Answer(window, HTCLIENT);   // the buttons track the mouse themselves
    }
}

void ToggleMaximised(HWND window)
{
    ShowWindow(window, IsZoomed(window) ? SW_RESTORE : SW_MAXIMIZE);
}

INT_PTR OnNcDoubleClick(HWND window, WPARAM hit)
{
    if (hit != HTCAPTION || !(GetWindowLongA(window, GWL_STYLE) & WS_MAXIMIZEBOX)) return 0;
    ToggleMaximised(window);
    return Answer(window, 0);
}

void SetPressed(HWND window, StripPart tracked, bool shownDown)
{
    UINT_PTR state = tracked | (shownDown ? kShownDown : 0);
    if (reinterpret_cast<UINT_PTR>(GetPropA(window, kPressedProp)) == state) return;
    if (tracked == STRIP_NONE)
        RemovePropA(window, kPressedProp);
    else
        SetPropA(window, kPressedProp, reinterpret_cast<HANDLE>(state));
    InvalidateStrip(window);
}

INT_PTR OnLButtonDown(HWND window, LPARAM lParam)
{
    StripPart part = StripPartAt(window, ClientPoint(lParam));
    if (part == STRIP_NONE || part == STRIP_CAPTION) return 0;
    SetCapture(window);
    SetPressed(window, part, true);
    return Answer(window, 0);
}

INT_PTR OnMouseMove(HWND window, LPARAM lParam)
{
    StripPart tracked = Tracked(window);
    if (tracked == STRIP_NONE) return 0;
    SetPressed(window, tracked, StripPartAt(window, ClientPoint(lParam)) == tracked);
    return Answer(window, 0);
}

void CarryOut(HWND window, StripPart part)
{
    switch (part) {
    case STRIP_CLOSE:
        // Posted: the window may destroy itself on it, after this message is done with it.
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        break;
    case STRIP_MINIMIZE:
        MinimiseThroughTaskWindow(window);
        break;
    case STRIP_MAXIMIZE:
        ToggleMaximised(window);
        break;
    default:
        break;
    }
}

INT_PTR OnLButtonUp(HWND window, LPARAM lParam)
{
    StripPart tracked = Tracked(window);
    if (tracked == STRIP_NONE) return 0;
    bool inside = StripPartAt(window, ClientPoint(lParam)) == tracked;
    SetPressed(window, STRIP_NONE, false);
    if (GetCapture() == window) ReleaseCapture();
    if (inside) CarryOut(window, tracked);
    return Answer(window, 0);
}

INT_PTR OnCaptureChanged(HWND window, HWND gaining)
{
    if (gaining != window) SetPressed(window, STRIP_NONE, false);
    return 0;
}

INT_PTR OnDestroy(HWND window)
{
    RemovePropA(window, kPressedProp);
    RemovePropA(window, kActiveProp);
    return 0;
}

}  // namespace

// The sizing border of the Player window is its own WS_THICKFRAME; only its colour is ours.
INT_PTR SkinFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_skin.theme || !window) return 0;
    // Not on the way out: a subclass put back during WM_NCDESTROY would outlive the window.
    if (message == WM_INITDIALOG || message == WM_ERASEBKGND) EnsureColourSubclass(window);
    switch (message) {
    case WM_PAINT: return OnPaint(window);
    case WM_ERASEBKGND: return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_PRINTCLIENT: return OnPrintClient(window, reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT: return OnNcPaint(window);
    case WM_NCACTIVATE: return OnNcActivate(window, wParam != FALSE);
    case WM_NCHITTEST: return OnNcHitTest(window, lParam);
    case WM_NCLBUTTONDBLCLK: return OnNcDoubleClick(window, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLButtonDown(window, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(window, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(window, lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(window, reinterpret_cast<HWND>(lParam));
    // The program handles these itself: only note what the strip must redraw, and pass them on.
    case WM_SETTEXT:
    case WM_SIZE:
        InvalidateStrip(window);
        return 0;
    case WM_DESTROY: return OnDestroy(window);
    default: return 0;
    }
}

extern "C" {

OSGRIM_API INT_PTR WINAPI OsgrimFrameDialogProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam)
{
    return SkinFrameMessage(window, message, wParam, lParam);
}

OSGRIM_API INT_PTR WINAPI OsgrimSmallDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                LPARAM lParam)
{
    return SkinFrameMessage(dialog, message, wParam, lParam);
}

}  // extern "C"
