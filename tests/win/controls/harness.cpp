#include "harness.h"

#include <cstdio>

std::vector<Note> ParentNotes;

namespace {

const char kParentClass[] = "VantorelTestParent";
const MSG *dispatching = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_KEYDOWN || message == WM_KEYUP) {
        bool posted = dispatching && dispatching->hwnd == window &&
                      dispatching->message == message && dispatching->wParam == wParam &&
                      dispatching->lParam == lParam;
        ParentNotes.push_back({message, wParam, lParam, posted});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterParentClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = kParentClass;
    RegisterClassA(&wc);
    done = true;
}

}  // namespace

std::string Describe(const std::vector<Note> &notes)
{
    std::string text;
    char line[128];
    for (const Note &n : notes) {
        snprintf(line, sizeof line, "  %s msg 0x%04x wParam 0x%08lx lParam 0x%08lx\n",
                 n.posted ? "posted" : "sent  ", n.message, (unsigned long)n.wParam,
                 (unsigned long)n.lParam);
        text += line;
    }
    return text.empty() ? "  (none)\n" : text;
}

HWND CreateParent(int width, int height)
{
    RegisterParentClass();
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST);
    HWND parent = CreateWindowExA(WS_EX_TOPMOST, kParentClass, "controls under test",
                                  WS_POPUP | WS_BORDER | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                  r.right - r.left, r.bottom - r.top, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    SetForegroundWindow(parent);
    PumpMessages();
    return parent;
}

void PumpMessages()
{
    MSG msg;
    // Bounded: a window that never validated would otherwise keep this loop busy for ever.
    for (int i = 0; i < 10000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        dispatching = &msg;
        DispatchMessageA(&msg);
        dispatching = nullptr;
    }
}

bool IsQueued(HWND window, UINT message)
{
    MSG msg;
    return PeekMessageA(&msg, window, message, message, PM_NOREMOVE) != 0;
}

int TakeQueued(HWND window, UINT message)
{
    MSG msg;
    int count = 0;
    while (PeekMessageA(&msg, window, message, message, PM_REMOVE))
        ++count;
    return count;
}

int Pixels::Count(COLORREF colour, int left, int top, int right, int bottom) const
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += At(x, y) == colour;
    return n;
}

Pixels Capture(HWND window)
{
    PumpMessages();
    UpdateWindow(window);
    Pixels p;
    RECT client;
    GetClientRect(window, &client);
    p.width = client.right;
    p.height = client.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, p.width, p.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD *px = (const DWORD *)bits;
    for (int i = 0; i < p.width * p.height; ++i) {
        DWORD v = px[i];  // 0x00RRGGBB
        p.colours.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    DeleteObject(dib);
    return p;
}

HFONT CreateDisplayFont()
{
    LOGFONTA lf = {};
    lf.lfHeight = -14;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpyA(lf.lfFaceName, "MS Sans Serif");
    return CreateFontIndirectA(&lf);
}
