// The title strip: the top rows of the client area of a skinned window, with the window text
// and the minimise, maximise and close buttons the window's style asks for.
#include "libs/osgrim/skin.h"

namespace {

const int kTitleLength = 1024;  // longer window texts are cut before they are shortened to fit
const int kGlyphInset = 4;      // distance of a button's symbol from the button's edges

bool HasButton(HWND window, StripPart part)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    switch (part) {
    case STRIP_CLOSE: return true;
    case STRIP_MAXIMIZE: return (style & WS_MAXIMIZEBOX) != 0;
    case STRIP_MINIMIZE: return (style & WS_MINIMIZEBOX) != 0;
    default: return false;
    }
}

void DrawLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour)
{
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, colour);
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, x1, y1);
    SelectObject(dc, oldPen);
}

void DrawGlyph(HDC dc, const RECT &button, StripPart part, bool maximised, COLORREF colour)
{
    RECT g = button;
    InflateRect(&g, -kGlyphInset, -kGlyphInset + 1);
    int size = g.bottom - g.top;
    g.left += ((g.right - g.left) - size) / 2;
    g.right = g.left + size;
    switch (part) {
    case STRIP_CLOSE:
        for (int d = 0; d < 2; ++d) {  // two pixels thick
            DrawLine(dc, g.left + d, g.top, g.right + d, g.bottom, colour);
            DrawLine(dc, g.left + d, g.bottom - 1, g.right + d, g.top - 1, colour);
        }
        break;
    case STRIP_MINIMIZE: {
        RECT bar = {g.left, g.bottom - 2, g.right, g.bottom};
        FillSolid(dc, bar, colour);
        break;
    }
    case STRIP_MAXIMIZE: {
        RECT box = g;
        if (maximised) {  // two overlapping windows: restore
            InflateRect(&box, -1, -1);
            OffsetRect(&box, 1, -1);
            FrameSolid(dc, box, colour);
            OffsetRect(&box, -2, 2);
        }
        FrameSolid(dc, box, colour);
        RECT top = {box.left, box.top, box.right, box.top + 2};
        FillSolid(dc, top, colour);
        break;
    }
    default:
        break;
    }
}

}  // namespace

RECT StripRect(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    client.bottom = client.top + kStripHeight;
    return client;
}

RECT StripButtonRect(HWND window, StripPart part)
{
    RECT none = {0, 0, 0, 0};
    if (!HasButton(window, part)) return none;
    RECT strip = StripRect(window);
    int right = strip.right - kStripButtonGap - 1;
    // From the right: close, then maximise, then minimise, each only where the style has it.
    const StripPart order[] = {STRIP_CLOSE, STRIP_MAXIMIZE, STRIP_MINIMIZE};
    for (StripPart candidate : order) {
        if (!HasButton(window, candidate)) continue;
        RECT button = {right - kStripButtonWidth, kStripButtonTop, right,
                       kStripButtonTop + kStripButtonHeight};
        if (candidate == part) return button;
        right -= kStripButtonWidth + kStripButtonGap;
    }
    return none;
}

StripPart StripPartAt(HWND window, POINT client)
{
    RECT strip = StripRect(window);
    if (!PtInRect(&strip, client)) return STRIP_NONE;
    const StripPart buttons[] = {STRIP_CLOSE, STRIP_MAXIMIZE, STRIP_MINIMIZE};
    for (StripPart part : buttons) {
        RECT button = StripButtonRect(window, part);
        if (PtInRect(&button, client)) return part;
    }
    return STRIP_CAPTION;
}

void PaintStrip(HWND window, HDC dc, bool active, StripPart pressed)
{
    const SkinTheme &theme = *g_skin.theme;
    RECT strip = StripRect(window);
    FillSolid(dc, strip, active ? theme.stripActive : theme.stripInactive);
    COLORREF ink = active ? theme.stripText : theme.stripTextInactive;

    int textRight = strip.right;
    bool maximised = IsZoomed(window) != FALSE;
    const StripPart buttons[] = {STRIP_CLOSE, STRIP_MAXIMIZE, STRIP_MINIMIZE};
    for (StripPart part : buttons) {
        RECT button = StripButtonRect(window, part);
        if (IsRectEmpty(&button)) continue;
        if (part == pressed) FillSolid(dc, button, theme.stripButtonPressed);
        DrawGlyph(dc, button, part, maximised, ink);
        if (button.left < textRight) textRight = button.left;
    }

    // The text as the window keeps it: an ANSI window's WM_GETTEXT would hand over a file name
    // in Japanese or Greek as question marks.
    WCHAR title[kTitleLength];
    int length = InternalGetWindowText(window, title, kTitleLength);
    if (length <= 0) return;
    RECT text = {strip.left + kStripTextIndent, strip.top, textRight - kStripTextIndent,
                 strip.bottom};
    HGDIOBJ oldFont = SelectObject(dc, g_skin.titleFont);
    SetTextColor(dc, ink);
    SetBkMode(dc, TRANSPARENT);
    // A path keeps its drive and its file name: the middle gives way to the ellipsis.
    DrawTextW(dc, title, length, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    SelectObject(dc, oldFont);
}
