// TCDisplay: shows its window text in the font it was given on a flat light grey panel, in a
// smaller copy of that font when the text would not fit otherwise. It keeps no value of its
// own; a click and any key it receives go to its parent.
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

const int kSmallestFittedHeight = 6;  // pixels: below this a font shows nothing legible

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

HFONT FittedFont(HWND window)
{
    return (HFONT)GetWindowLongPtrA(window, TCDISPLAY_FITTED_FONT_OFFSET);
}

HFONT DrawingFont(HWND window)
{
    HFONT fitted = FittedFont(window);
    return fitted ? fitted : Font(window);
}

void ReplaceFittedFont(HWND window, HFONT fitted)
{
    HFONT previous = FittedFont(window);
    SetWindowLongPtrA(window, TCDISPLAY_FITTED_FONT_OFFSET, (LONG_PTR)fitted);
    if (previous)
        DeleteObject(previous);
}

int EnabledFlag(HWND window)
{
    return (SHORT)GetWindowWord(window, TCDISPLAY_ENABLED_OFFSET);
}

void SetEnabledFlag(HWND window, int enabled)
{
    SetWindowWord(window, TCDISPLAY_ENABLED_OFFSET, (WORD)enabled);
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

RECT TextArea(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    r.left += kTextInsetLeft;
    r.right -= kTextInsetRight;
    r.bottom -= kTextInsetBottom;
    return r;
}

// Whether the text, drawn as the paint draws it, needs no more than the area's width.
bool TextFits(HDC dc, HFONT font, const char *text, const RECT &area, UINT format)
{
    SelectObject(dc, font);
    RECT needed = {0, 0, area.right - area.left, 0};
    // The alignment does not change what is needed; measured left-aligned, where the
    // rectangle grows to the right whatever the system.
    DrawTextA(dc, text, -1, &needed, (format & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    // Only the width: the text is drawn from the top, and the display font's cell is meant to
    // lose its descent (where digits and colons have nothing) to the panel's bottom edge.
    return needed.right - needed.left <= area.right - area.left;
}

// The given font, one pixel smaller at each step, until the text fits; the smallest tried when
// none does. NULL when the given font itself fits.
HFONT SmallerFontThatFits(HDC dc, HFONT given, const char *text, const RECT &area, UINT format)
{
    if (TextFits(dc, given, text, area, format))
        return NULL;
    LOGFONTA look;
    if (!GetObjectA(given, sizeof look, &look))
        return NULL;
    int sign = look.lfHeight < 0 ? -1 : 1;  // character height, or cell height
    int height = look.lfHeight * sign;
    if (height == 0) {
        TEXTMETRICA metrics;
        SelectObject(dc, given);
        GetTextMetricsA(dc, &metrics);
        height = metrics.tmHeight;
    }
    look.lfWidth = 0;  // the face's own proportions at each height
    for (int h = height - 1; h >= kSmallestFittedHeight; h--) {
        look.lfHeight = sign * h;
        HFONT candidate = CreateFontIndirectA(&look);
        if (!candidate)
            return NULL;
        if (h == kSmallestFittedHeight || TextFits(dc, candidate, text, area, format))
            return candidate;
        DeleteObject(candidate);
    }
    return NULL;
}

void FitFont(HWND window)
{
    char text[kTextBufferSize];
    GetWindowTextA(window, text, kTextMaxCount);
    UINT format;
    if (!TextFormat(window, &format))
        format = DT_WORDBREAK;
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, Font(window));
    HFONT fitted = SmallerFontThatFits(dc, Font(window), text, TextArea(window), format);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    ReplaceFittedFont(window, fitted);
}

// The running timecode keeps its length: the fit is redone only when the length changes or the
// text no longer fits the font in use, not for every report.
bool FitStillHolds(HWND window, int previousLength)
{
    if (GetWindowTextLengthA(window) != previousLength)
        return false;
    char text[kTextBufferSize];
    GetWindowTextA(window, text, kTextMaxCount);
    UINT format;
    if (!TextFormat(window, &format))
        return true;
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, DrawingFont(window));
    bool fits = TextFits(dc, DrawingFont(window), text, TextArea(window), format);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return fits;
}

LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool disabled = (GetWindowLongA(window, GWL_STYLE) & WS_DISABLED) != 0;
    SetEnabledFlag(window, disabled ? 0 : 1);
    SetWindowLongPtrA(window, TCDISPLAY_FONT_OFFSET, (LONG_PTR)GetStockObject(DEVICE_DEFAULT_FONT));
    SetWindowLongPtrA(window, TCDISPLAY_FITTED_FONT_OFFSET, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RequestRefresh(window);
    int previousLength = GetWindowTextLengthA(window);
    LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    if (!FitStillHolds(window, previousLength))
        FitFont(window);
    return result;
}

// The font stays its sender's; the redraw flag is ignored, the control always repaints.
LRESULT OnSetFont(HWND window, WPARAM wParam)
{
    SetWindowLongPtrA(window, TCDISPLAY_FONT_OFFSET, (LONG_PTR)wParam);
    FitFont(window);
    RequestRefresh(window);
    return 0;
}

// The class does not redraw on a resize; only a change of the fitted font asks for it.
LRESULT OnSize(HWND window)
{
    bool wasFitted = FittedFont(window) != NULL;
    FitFont(window);
    if (wasFitted || FittedFont(window))
        RequestRefresh(window);
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    ReplaceFittedFont(window, NULL);
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


void PaintPanel(HWND window, HDC dc)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(NULL, window, (POINT *)&r, 2);
    FillRect(dc, &r, (HBRUSH)GetStockObject(LTGRAY_BRUSH));

    char text[kTextBufferSize];
    GetWindowTextA(window, text, kTextMaxCount);
    HGDIOBJ previousFont = SelectObject(dc, DrawingFont(window));
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
    case WM_SIZE:
        return OnSize(window);
    case WM_DESTROY:
        return OnDestroy(window);
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
