// The Tracker: a horizontal slider drawn from a groove bitmap stretched to the control's width
// and a knob bitmap. It holds a signed 16-bit value in a range, takes range and value as decimal
// texts through WM_SETTEXT, follows the left mouse button and reports each new value to its
// parent as WM_COMMAND.
#include <windowsx.h>

#include "controls/controls.h"
#include "controls/controls_state.h"
#include "controls/tracker_math.h"

namespace {

const int kInitialMinimum = -127;
const int kInitialMaximum = 127;

// Columns of the groove bitmap: a left end, a middle stretched to fit, a right end.
const int kTrackEndWidth = 8;
const int kTrackMiddleLeft = 8;
const int kTrackMiddleWidth = 8;
const int kTrackRightEndLeft = 18;

// The knob bitmap holds the normal knob at x 0 and the focused knob at x 10.
const int kKnobWidth = 10;
const int kKnobHeight = 12;
const int kFocusedKnobLeft = 10;
const int kKnobTop = 2;

int16_t Word(HWND window, int offset)
{
    return (int16_t)GetWindowWord(window, offset);
}

void SetWord(HWND window, int offset, int value)
{
    SetWindowWord(window, offset, (WORD)(int16_t)value);
}

int ClientWidth(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.right - client.left;
}

LPARAM NotificationValue(int value, LPARAM flags)
{
    return (LPARAM)(LONG)(int16_t)value | flags;
}

void PostValue(HWND window, int value)
{
    PostMessageA(GetParent(window), WM_COMMAND, (WPARAM)GetWindowLongA(window, GWL_ID),
                 NotificationValue(value, 0));
}

void SendReleasedValue(HWND window)
{
    SendMessageA(GetParent(window), WM_COMMAND, (WPARAM)GetWindowLongA(window, GWL_ID),
                 NotificationValue(Word(window, TRACKER_VALUE_OFFSET), TRACKER_RELEASE_FLAG));
}

HBITMAP LoadTrackerBitmap(const char *name)
{
    return LoadBitmapA(Controls.instance, name);
}

// The control is as high as its groove bitmap, whatever height it was created with.
void FitHeightToGroove(HWND window)
{
    HBITMAP groove = LoadTrackerBitmap(IDB_TRACK);
    if (!groove)
        return;
    BITMAP info;
    GetObjectA(groove, sizeof info, &info);
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(NULL, GetParent(window), (POINT *)&r, 2);
    MoveWindow(window, r.left, r.top, r.right - r.left, info.bmHeight, FALSE);
    DeleteObject(groove);
}

// The creation text is never parsed: every Tracker starts at 0 in -127..127, knob centred.
LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FitHeightToGroove(window);
    SetWord(window, TRACKER_VALUE_OFFSET, 0);
    SetWord(window, TRACKER_MIN_OFFSET, kInitialMinimum);
    SetWord(window, TRACKER_MAX_OFFSET, kInitialMaximum);
    SetWord(window, TRACKER_KNOB_OFFSET, ClientWidth(window) >> 1);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A changed value whose knob pixel stays the same is not repainted.
LRESULT OnSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    int16_t number = ParseDecimalWord((const char *)lParam);
    int selector = (int)wParam;
    int value = Word(window, TRACKER_VALUE_OFFSET);
    if (selector < 0)
        SetWord(window, TRACKER_MIN_OFFSET, number);
    else if (selector > 0)
        SetWord(window, TRACKER_MAX_OFFSET, number);
    else
        value = number;
    int minimum = Word(window, TRACKER_MIN_OFFSET);
    int maximum = Word(window, TRACKER_MAX_OFFSET);
    value = TrackerClampValue(value, minimum, maximum);
    SetWord(window, TRACKER_VALUE_OFFSET, value);

    int knob = TrackerKnobPosition(value, minimum, maximum, ClientWidth(window));
    if (knob != Word(window, TRACKER_KNOB_OFFSET)) {
        SetWord(window, TRACKER_KNOB_OFFSET, knob);
        InvalidateRect(window, NULL, TRUE);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The knob image depends on the focus.
LRESULT OnFocusChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    InvalidateRect(window, NULL, TRUE);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The knob goes exactly where the pointer is, not to the pixel of the value; the parent hears
// of the press even when the value stays the same.
LRESULT OnLButtonDown(HWND window, LPARAM lParam)
{
    Controls.dragging = 1;
    SetCapture(window);
    int width = ClientWidth(window);
    int x = TrackerClampPointer(GET_X_LPARAM(lParam), width);
    SetWord(window, TRACKER_KNOB_OFFSET, x);
    int value = TrackerValueAt(x, Word(window, TRACKER_MIN_OFFSET), Word(window, TRACKER_MAX_OFFSET),
                               width);
    SetWord(window, TRACKER_VALUE_OFFSET, value);
    SetFocus(window);
    InvalidateRect(window, NULL, FALSE);
    PostValue(window, value);
    return 0;
}

// While dragging, the knob moves in steps of whole values: it snaps to the pixel of the value
// under the pointer. One notification per change of value.
LRESULT OnMouseMove(HWND window, LPARAM lParam)
{
    if (Controls.dragging != 1)
        return 0;
    int before = Word(window, TRACKER_VALUE_OFFSET);
    int width = ClientWidth(window);
    int minimum = Word(window, TRACKER_MIN_OFFSET);
    int maximum = Word(window, TRACKER_MAX_OFFSET);
    int value = TrackerValueAt(GET_X_LPARAM(lParam), minimum, maximum, width);
    SetWord(window, TRACKER_KNOB_OFFSET, TrackerKnobPosition(value, minimum, maximum, width));
    SetWord(window, TRACKER_VALUE_OFFSET, value);
    InvalidateRect(window, NULL, FALSE);
    if (value != before)
        PostValue(window, value);
    return 0;
}

LRESULT OnLButtonUp(HWND window)
{
    Controls.dragging = 0;
    ReleaseCapture();
    SendReleasedValue(window);
    return 0;
}

// Whoever takes the mouse away (a menu, a message box, another program) ends the drag, or plain
// moves over the control would go on seeking. The release's own capture change comes after the
// drag has ended.
LRESULT OnCaptureChanged(HWND window, LPARAM lParam)
{
    if ((HWND)lParam != window)
        Controls.dragging = 0;
    return 0;
}

// The right button reports the value but neither ends nor starts a drag.
LRESULT OnRButtonUp(HWND window)
{
    SendReleasedValue(window);
    return 0;
}

// Groove ends copied, its middle stretched across the rest, then the knob; everything through
// a memory DC, nothing erased first since the groove covers the whole control.
void PaintTracker(HWND window, HDC dc)
{
    int width = ClientWidth(window);
    HDC memory = CreateCompatibleDC(dc);

    HBITMAP groove = LoadTrackerBitmap(IDB_TRACK);
    BITMAP info = {};
    GetObjectA(groove, sizeof info, &info);
    int height = info.bmHeight;
    HGDIOBJ previous = SelectObject(memory, groove);
    BitBlt(dc, 0, 0, kTrackEndWidth, height, memory, 0, 0, SRCCOPY);
    int middleWidth = width - 2 * kTrackEndWidth;
    if (middleWidth > 0) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, kTrackEndWidth, 0, middleWidth, height, memory, kTrackMiddleLeft, 0,
                   kTrackMiddleWidth, height, SRCCOPY);
    }
    BitBlt(dc, width - kTrackEndWidth, 0, kTrackEndWidth, height, memory, kTrackRightEndLeft, 0,
           SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(groove);

    HBITMAP knob = LoadTrackerBitmap(IDB_KNOB);
    previous = SelectObject(memory, knob);
    int source = GetFocus() == window ? kFocusedKnobLeft : 0;
    int knobLeft = Word(window, TRACKER_KNOB_OFFSET) - kKnobWidth / 2;
    BitBlt(dc, knobLeft, kKnobTop, kKnobWidth, kKnobHeight, memory, source, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(knob);
    DeleteDC(memory);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintTracker(window, dc);
    EndPaint(window, &ps);
    return 0;
}

}  // namespace

LRESULT CALLBACK TrackerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, message, wParam, lParam);
    case WM_SETTEXT:
        return OnSetText(window, message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return OnFocusChange(window, message, wParam, lParam);
    case WM_PAINT:
        return OnPaint(window);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        return OnLButtonDown(window, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(window, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(window);
    case WM_RBUTTONUP:
        return OnRButtonUp(window);
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(window, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
