// OG_BMBUTTON: a toolbar-like button that shows a bitmap of the program, named by its window
// text: four images of equal height stacked from top to bottom (normal, pressed, active,
// greyed). It keeps a check state of its own (0, 1, 2) whatever its button style, never takes
// the keyboard focus and ignores Space and Enter: the program gets those keys through its own
// loop, and a focused button clicking on them too would act twice. A click sends the parent
// WM_COMMAND with the id and code 0 (BN_CLICKED).
#include "libs/osgrim/skin.h"
#include "platform/osgrim.h"

Superclass g_bmButtonClass = {"BUTTON", OG_BMBUTTON, BmButtonProc, 2 * sizeof(LONG), NULL, 0};

namespace {

const int kImageCount = 4;
enum Image { IMAGE_NORMAL, IMAGE_PRESSED, IMAGE_ACTIVE, IMAGE_GREYED };
// The indeterminate state shows the active image half over the normal one.
const BYTE kHalfAlpha = 128;
const int kBitmapNameLength = 64;

// The button's own bytes, after those of the standard button.
const int kCheckByte = 0;     // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
const int kTrackingByte = 4;  // kTrackNone, or the mouse is held: kTrackInside / kTrackOutside
const LONG kTrackNone = 0;
const LONG kTrackInside = 1;
const LONG kTrackOutside = 2;

LONG OwnLong(HWND window, int offset)
{
    return GetWindowLongA(window, g_bmButtonClass.baseBytes + offset);
}

void SetOwnLong(HWND window, int offset, LONG value)
{
    if (OwnLong(window, offset) == value) return;
    SetWindowLongA(window, g_bmButtonClass.baseBytes + offset, value);
    InvalidateRect(window, NULL, FALSE);
}

// The window's own instance first (the module whose dialog template made it), then the
// instance given to InitOsgrim, then the program itself.
HBITMAP LoadButtonBitmap(HWND window)
{
    char name[kBitmapNameLength];
    if (GetWindowTextA(window, name, kBitmapNameLength) <= 0) return NULL;
    HINSTANCE places[] = {reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)),
                          g_skin.program, GetModuleHandleA(NULL)};
    for (HINSTANCE place : places) {
        if (!place) continue;
        HANDLE bitmap = LoadImageA(place, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        if (bitmap) return static_cast<HBITMAP>(bitmap);
    }
    return NULL;
}

// Draws image `index` of the strip into `area`: unscaled and centred where it fits, scaled down
// to the area where it does not.
void DrawImage(HDC dc, const RECT &area, HDC strip, const BITMAP &bitmap, int index, BYTE alpha)
{
    int width = bitmap.bmWidth, height = bitmap.bmHeight / kImageCount;
    int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    RECT target = area;
    if (areaWidth >= width && areaHeight >= height) {
        target.left += (areaWidth - width) / 2;
        target.top += (areaHeight - height) / 2;
        target.right = target.left + width;
        target.bottom = target.top + height;
    }
    int targetWidth = target.right - target.left, targetHeight = target.bottom - target.top;
    if (alpha != 255) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, 0};
        AlphaBlend(dc, target.left, target.top, targetWidth, targetHeight, strip, 0,
                   index * height, width, height, blend);
    } else if (targetWidth == width && targetHeight == height) {
        BitBlt(dc, target.left, target.top, width, height, strip, 0, index * height, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, NULL);
        StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, strip, 0,
                   index * height, width, height, SRCCOPY);
    }
}

// Without its bitmap the button still shows that it is one, and its name.
void PaintWithoutBitmap(HWND window, HDC dc, const RECT &area, bool pressed, bool active)
{
    const SkinTheme &theme = *g_skin.theme;
    FillSolid(dc, area, pressed || active ? theme.buttonPressed : theme.buttonFace);
    FrameSolid(dc, area, theme.border);
    char name[kBitmapNameLength];
    int length = GetWindowTextA(window, name, kBitmapNameLength);
    RECT text = area;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(window) ? theme.buttonText : theme.menuGrey);
    HGDIOBJ oldFont = SelectObject(dc, g_skin.menuFont);
    DrawTextA(dc, name, length, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void PaintButton(HWND window, HDC dc)
{
    RECT area;
    GetClientRect(window, &area);
    FillSolid(dc, area, g_skin.theme->panel);
    LONG check = OwnLong(window, kCheckByte);
    bool pressed = OwnLong(window, kTrackingByte) == kTrackInside;

    HBITMAP bitmap = LoadButtonBitmap(window);  // loaded for this paint only
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmHeight < kImageCount) {
        if (bitmap) DeleteObject(bitmap);
        PaintWithoutBitmap(window, dc, area, pressed, check != BST_UNCHECKED);
        return;
    }
    HDC strip = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(strip, bitmap);
    if (!IsWindowEnabled(window)) {
        DrawImage(dc, area, strip, info, IMAGE_GREYED, 255);
    } else if (pressed) {
        DrawImage(dc, area, strip, info, IMAGE_PRESSED, 255);
    } else if (check == BST_CHECKED) {
        DrawImage(dc, area, strip, info, IMAGE_ACTIVE, 255);
    } else if (check == BST_INDETERMINATE) {
        DrawImage(dc, area, strip, info, IMAGE_NORMAL, 255);
        DrawImage(dc, area, strip, info, IMAGE_ACTIVE, kHalfAlpha);
    } else {
        DrawImage(dc, area, strip, info, IMAGE_NORMAL, 255);
    }
    SelectObject(strip, old);
    DeleteDC(strip);
    DeleteObject(bitmap);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc && g_skin.theme) PaintButton(window, dc);
    if (dc) EndPaint(window, &ps);
    return 0;
}

void Click(HWND window)
{
    HWND parent = GetParent(window);
    if (parent) {
        int id = GetDlgCtrlID(window);
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
    }
}

bool IsInside(HWND window, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT area;
    GetClientRect(window, &area);
    return PtInRect(&area, point) != FALSE;
}

LRESULT OnButtonDown(HWND window)
{
    SetCapture(window);  // no SetFocus: the focus stays where it was
    SetOwnLong(window, kTrackingByte, kTrackInside);
    return 0;
}

LRESULT OnMouseMove(HWND window, LPARAM lParam)
{
    if (OwnLong(window, kTrackingByte) != kTrackNone)
        SetOwnLong(window, kTrackingByte, IsInside(window, lParam) ? kTrackInside : kTrackOutside);
    return 0;
}

LRESULT OnButtonUp(HWND window, LPARAM lParam)
{
    bool wasTracking = OwnLong(window, kTrackingByte) != kTrackNone;
    SetOwnLong(window, kTrackingByte, kTrackNone);
    if (GetCapture() == window) ReleaseCapture();
    if (wasTracking && IsInside(window, lParam)) Click(window);
    return 0;
}

LRESULT OnSetCheck(HWND window, WPARAM state)
{
    if (state <= BST_INDETERMINATE) SetOwnLong(window, kCheckByte, static_cast<LONG>(state));
    return 0;
}

LRESULT OnGetState(HWND window)
{
    LRESULT state = OwnLong(window, kCheckByte);
    if (OwnLong(window, kTrackingByte) == kTrackInside) state |= BST_PUSHED;
    return state;
}

}  // namespace

LRESULT CALLBACK BmButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: return OnPaint(window);
    case WM_PRINTCLIENT:
        if (g_skin.theme) PaintButton(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(window);
    case WM_MOUSEMOVE: return OnMouseMove(window, lParam);
    case WM_LBUTTONUP: return OnButtonUp(window, lParam);
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window) SetOwnLong(window, kTrackingByte, kTrackNone);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        return 0;  // Space and Enter belong to the program's loop
    case WM_GETDLGCODE: return DLGC_STATIC;  // not a stop for Tab or the default push button
    case BM_SETCHECK: return OnSetCheck(window, wParam);
    case BM_GETCHECK: return OwnLong(window, kCheckByte);
    case BM_GETSTATE: return OnGetState(window);
    case BM_SETSTATE: return 0;
    case BM_CLICK:
        if (IsWindowEnabled(window)) Click(window);
        return 0;
    case WM_SETTEXT:
    case WM_ENABLE: {
        LRESULT result = CallWindowProcA(g_bmButtonClass.baseProc, window, message, wParam, lParam);
        InvalidateRect(window, NULL, FALSE);  // another bitmap, or the greyed image
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 0;  // no focus look, and the standard button would repaint in its own style
    default:
        return CallWindowProcA(g_bmButtonClass.baseProc, window, message, wParam, lParam);
    }
}
