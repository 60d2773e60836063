// Not a test: a window that shows the controls in their usual states beside the program's
// bitmaps and icons, enlarged, for looking at (screenshots). Closes itself after the number of
// seconds given on the command line, if any.
#include <windows.h>

#include <cstdlib>

#include "controls/controls.h"
#include "harness.h"
#include "resources/resource.h"

namespace {

const int kZoom = 4;
const UINT_PTR kCloseTimer = 1;

HFONT displayFont;

HWND Child(HWND parent, const char *cls, const char *text, DWORD style, int x, int y, int w, int h,
           int id)
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
}

void Label(HWND parent, const char *text, int x, int y)
{
    Child(parent, "STATIC", text, SS_LEFT, x, y, 300, 16, -1);
}

void SetTracker(HWND tracker, const char *value, const char *minimum, const char *maximum)
{
    SendMessageA(tracker, WM_SETTEXT, TRACKER_SET_MINIMUM, (LPARAM)minimum);
    SendMessageA(tracker, WM_SETTEXT, TRACKER_SET_MAXIMUM, (LPARAM)maximum);
    SendMessageA(tracker, WM_SETTEXT, TRACKER_SET_VALUE, (LPARAM)value);
}

HWND Display(HWND parent, const char *text, DWORD style, int x, int y, int w, int h)
{
    HWND display = Child(parent, TCDISPLAY_CLASS, text, style, x, y, w, h, IDC_TCDISPLAY);
    SendMessageA(display, WM_SETFONT, (WPARAM)displayFont, 0);
    return display;
}

void CreateControls(HWND window)
{
    Label(window, "Tracker 0..100 at 0 (as the Player sets it up)", 10, 10);
    SetTracker(Child(window, TRACKER_CLASS, "0", 0, 10, 28, 210, 16, IDC_TRACKER), "0", "0", "100");
    Label(window, "Tracker at 50, focused", 10, 50);
    HWND focused = Child(window, TRACKER_CLASS, "0", 0, 10, 68, 210, 16, IDC_TRACKER);
    SetTracker(focused, "50", "0", "100");
    Label(window, "Tracker -50..50 at 40, 130 wide", 10, 90);
    SetTracker(Child(window, TRACKER_CLASS, "0", 0, 10, 108, 130, 16, IDC_TRACKER), "40", "-50", "50");

    Label(window, "TCDisplay right, left, centre, disabled", 260, 10);
    Display(window, " 01:02:03:04", SS_RIGHT, 260, 28, 88, 16);
    Display(window, "00:00:12:24", SS_LEFT, 360, 28, 88, 16);
    Display(window, "12:34", SS_CENTER, 460, 28, 88, 16);
    HWND disabled = Display(window, " 01:02:03:04", SS_RIGHT, 560, 28, 88, 16);
    SendMessageA(disabled, WM_ENABLE, FALSE, 0);
    Label(window, "TCDisplay wrapping a long text", 260, 50);
    Display(window, "10:00:00:00 is where the reel starts", SS_LEFT, 260, 68, 120, 50);
    SetFocus(focused);
}

void DrawBitmap(HDC dc, const char *name, int x, int y)
{
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), name);
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, info.bmWidth * kZoom, info.bmHeight * kZoom, memory, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

// Each icon image at its own size, then drawn four times as large from the same image.
void DrawIcon(HDC dc, const char *name, int size, int x, int y)
{
    HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), name, IMAGE_ICON, size, size, 0);
    DrawIconEx(dc, x, y, icon, size, size, 0, NULL, DI_NORMAL);
    ICONINFO info;
    GetIconInfo(icon, &info);
    HDC memory = CreateCompatibleDC(dc);
    SetStretchBltMode(dc, COLORONCOLOR);
    HGDIOBJ old = SelectObject(memory, info.hbmMask);
    StretchBlt(dc, x + 56, y, size * kZoom, size * kZoom, memory, 0, 0, size, size, SRCAND);
    SelectObject(memory, info.hbmColor);
    StretchBlt(dc, x + 56, y, size * kZoom, size * kZoom, memory, 0, 0, size, size, SRCINVERT);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const char *const buttons[] = {IDB_PLAY, IDB_STOP, IDB_REW, IDB_FF, IDB_EJECT};
    int x = 10;
    for (const char *name : buttons) {
        DrawBitmap(dc, name, x, 150);
        x += (name == buttons[0] ? 64 : 24) * kZoom + 10;
    }
    DrawBitmap(dc, IDB_TRACK, 10, 420);
    DrawBitmap(dc, IDB_KNOB, 130, 420);
    int y = 500;
    for (int size : {16, 32, 48}) {
        DrawIcon(dc, IDI_APPL, size, 10, y);
        y += size * kZoom + 10;
    }
    DrawIcon(dc, IDI_APPLSM, 16, 300, 500);
    EndPaint(window, &ps);
}

LRESULT CALLBACK ShowcaseProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_TIMER:
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    RegisterControlClasses(instance);
    displayFont = CreateDisplayFont();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ShowcaseProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VantorelShowcase";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Vantorel controls and images",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 1000, NULL, NULL,
                                  instance, NULL);
    CreateControls(window);
    int seconds = atoi(commandLine);
    if (seconds > 0)
        SetTimer(window, kCloseTimer, seconds * 1000, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(displayFont);
    UnregisterControlClasses(instance);
    return 0;
}
