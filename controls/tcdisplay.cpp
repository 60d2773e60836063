// TCDisplay: shows its window text in the font it was given on a flat light grey panel. It
// keeps no value of its own; a click and any key it receives go to its parent.
#include "controls/controls.h"

namespace {

const int kTextBufferSize = 1024;
const int kTextMaxCount = 1023;  // as asked of GetWindowTextA: at most 1022 characters drawn
const COLORREF kEnabledText = RGB(0, 0, 0);
const COLORREF kDisabledText = RGB(192, 192, 192);  // the panel's own grey: nothing shows
const LONG kAlignmentMask = 0x0F;

// Text-area insets from the panel's edges.
const int kTextInsetLeft = 1;
const int kTextInsetRight = 2;
const int kTextInsetBottom = 2;

// A change of look is only announced here; the repaint is asked for once the message that
// changed it has been fully handled.
void RequestRefresh(HWND window)
{
    PostMessageA(window, WM_TCDISPLAY_REFRESH, 0, 0);
}

HFONT Font(HWND window)
{
    return (HFONT)GetWindowLongPtrA(window, TCDISPLAY_FONT_OFFSET);
}

int EnabledFlag(HWND window)
{
    return (SHORT)GetWindowWord(window, TCDISPLAY_ENABLED_OFFSET);
}

void SetEnabledFlag(HWND window, int enabled)
{
    SetWindowWord(window, TCDISPLAY_ENABLED_OFFSET, (WORD)enabled);
}

LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool disabled = (GetWindowLongA(window, GWL_STYLE) & WS_DISABLED) != 0;
    SetEnabledFlag(window, disabled ? 0 : 1);
    SetWindowLongPtrA(window, TCDISPLAY_FONT_OFFSET, (LONG_PTR)GetStockObject(DEVICE_DEFAULT_FONT));
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RequestRefresh(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The font stays its sender's; the redraw flag is ignored, the control always repaints.
LRESULT OnSetFont(HWND window, WPARAM wParam)
{
    SetWindowLongPtrA(window, TCDISPLAY_FONT_OFFSET, (LONG_PTR)wParam);
    RequestRefresh(window);
    return 0;
}

LRESULT OnEnable(HWND window, WPARAM wParam)
{
    int enabled = wParam ? 1 : 0;
    if (enabled == EnabledFlag(window))
        return 0;
    SetEnabledFlag(window, enabled);
    RequestRefresh(window);
    return 0;
}

// SS_LEFT, SS_CENTER, SS_RIGHT; any other alignment draws no text.
bool TextFormat(HWND window, UINT *format)
{
    switch (GetWindowLongA(window, GWL_STYLE) & kAlignmentMask) {
    case SS_LEFT:
        *format = DT_WORDBREAK;
        return true;
    case SS_CENTER:
        *format = DT_WORDBREAK | DT_CENTER;
        return true;
    case SS_RIGHT:
        *format = DT_WORDBREAK | DT_RIGHT;
        return true;
    default:
        return false;
    }
}

void PaintPanel(HWND window, HDC dc)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(NULL, window, (POINT *)&r, 2);
    FillRect(dc, &r, (HBRUSH)GetStockObject(LTGRAY_BRUSH));

    char text[kTextBufferSize];
    GetWindowTextA(window, text, kTextMaxCount);
    HGDIOBJ previousFont = SelectObject(dc, Font(window));
    r.left += kTextInsetLeft;
    r.right -= kTextInsetRight;
    r.bottom -= kTextInsetBottom;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, EnabledFlag(window) == 1 ? kEnabledText : kDisabledText);
    UINT format;
    if (TextFormat(window, &format))
        DrawTextA(dc, text, -1, &r, format);
    SetBkMode(dc, OPAQUE);
    SelectObject(dc, previousFont);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintPanel(window, dc);
    EndPaint(window, &ps);
    return 0;
}

// The click goes to the parent only: no focus, no capture.
LRESULT OnLButtonDown(HWND window)
{
    SendMessageA(GetParent(window), WM_COMMAND, (WPARAM)GetWindowLongA(window, GWL_ID),
                 (LPARAM)window);
    return 0;
}

LRESULT OnKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(GetParent(window), message, wParam, lParam);
    return 0;
}

LRESULT OnRefresh(HWND window)
{
    InvalidateRect(window, NULL, TRUE);
    return 1;
}

}  // namespace

LRESULT CALLBACK TCDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, message, wParam, lParam);
    case WM_SETTEXT:
        return OnSetText(window, message, wParam, lParam);
    case WM_SETFONT:
        return OnSetFont(window, wParam);
    case WM_ENABLE:
        return OnEnable(window, wParam);
    case WM_PAINT:
        return OnPaint(window);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(window);
    case WM_KEYDOWN:
    case WM_KEYUP:
        return OnKey(window, message, wParam, lParam);
    case WM_TCDISPLAY_REFRESH:
        return OnRefresh(window);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
