// OG_TXGBUTTON: the standard push button (OK, Cancel) with a flat face in the theme's colours.
// Everything but the painting is the standard button's: focus, Space and Enter, the default
// button, BN_CLICKED.
#include "libs/osgrim/skin.h"
#include "platform/osgrim.h"

Superclass g_txgButtonClass = {"BUTTON", OG_TXGBUTTON, TxgButtonProc, 0, NULL, 0};

namespace {

const int kTextLength = 128;
const int kFocusInset = 3;

bool IsDefaultButton(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void PaintButton(HWND window, HDC dc)
{
    const SkinTheme &theme = *g_skin.theme;
    RECT area;
    GetClientRect(window, &area);
    LRESULT state =
        CallWindowProcA(g_txgButtonClass.baseProc, window, BM_GETSTATE, 0, 0);
    bool pushed = (state & BST_PUSHED) != 0;
    bool enabled = IsWindowEnabled(window) != FALSE;
    FillSolid(dc, area, pushed ? theme.buttonPressed : theme.buttonFace);
    FrameSolid(dc, area, IsDefaultButton(window) ? theme.buttonDefault : theme.border);

    char text[kTextLength];
    int length = GetWindowTextA(window, text, kTextLength);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font ? font : g_skin.menuFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? theme.buttonText : theme.menuGrey);
    RECT label = area;
    if (pushed) OffsetRect(&label, 1, 1);
    DrawTextA(dc, text, length, &label, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, oldFont);

    if (GetFocus() == window && !(SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT focus = area;
        InflateRect(&focus, -kFocusInset, -kFocusInset);
        SetTextColor(dc, theme.buttonText);
        SetBkColor(dc, pushed ? theme.buttonPressed : theme.buttonFace);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc && g_skin.theme) PaintButton(window, dc);
    if (dc) EndPaint(window, &ps);
    return 0;
}

// Messages on which the standard button draws itself at once in its own style: the skin's look
// follows right after.
bool ChangesLook(UINT message)
{
    switch (message) {
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case WM_UPDATEUISTATE:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETCHECK:
        return true;
    default:
        return false;
    }
}

}  // namespace

LRESULT CALLBACK TxgButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: return OnPaint(window);
    case WM_PRINTCLIENT:
        if (g_skin.theme) PaintButton(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND: return 1;
    default:
        break;
    }
    LRESULT result = CallWindowProcA(g_txgButtonClass.baseProc, window, message, wParam, lParam);
    if (ChangesLook(message) && IsWindow(window)) {
        if (message != WM_MOUSEMOVE || GetCapture() == window) InvalidateRect(window, NULL, FALSE);
    }
    return result;
}
