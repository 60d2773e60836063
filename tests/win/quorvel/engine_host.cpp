#include "engine_host.h"

#include "platform/quorvel.h"

HostRecord g_host;

namespace {

const char HOST_CLASS[] = "QuorvelTestHost";
const int CODE_BITS = 16;
const int WHITE_LEVEL = 128;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENGINE_NOTIFY) {
        if (wParam == ENGINE_NOTIFY_POSITION) {
            g_host.reports.push_back((LONG)lParam);
            g_host.reportTicks.push_back(GetTickCount());
        } else {
            g_host.otherNotify++;
        }
        return 0;
    }
    if (message == WM_REMOTE_CONTROL) {
        g_host.remote.push_back((LONG)wParam);
        return 0;
    }
    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE) ||
        (message >= WM_KEYFIRST && message <= WM_KEYLAST && message != WM_CHAR))
        g_host.input.push_back(message);
    if (message == WM_TIMER)
        return 0;  // as the Player window: the engine's timer has its own procedure
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Capture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    int Luma(int x, int y) const
    {
        DWORD p = pixels[(size_t)y * width + x];
        return (GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3;
    }
};

// What the window shows, read from the screen (the renderer draws straight to its window).
Capture Grab(HWND window)
{
    Capture c;
    RECT r;
    GetClientRect(window, &r);
    c.width = r.right;
    c.height = r.bottom;
    if (c.width <= 0 || c.height <= 0)
        return c;
    c.pixels.resize((size_t)c.width * c.height);
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = c.width;
    bi.bmiHeader.biHeight = -c.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, c.width, c.height, dc, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(c.pixels.data(), bits, c.pixels.size() * 4);
    for (DWORD &p : c.pixels)  // BGRA in memory: make it a COLORREF
        p = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return c;
}

}  // namespace

HWND CreateHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = HOST_CLASS;
    RegisterClassA(&wc);
    RECT r = {0, 0, HOST_CLIENT_WIDTH, HOST_CLIENT_HEIGHT};
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    AdjustWindowRect(&r, style, FALSE);
    HWND host = CreateWindowExA(0, HOST_CLASS, "engine host", style, 20, 20, r.right - r.left,
                                r.bottom - r.top, NULL, NULL, wc.hInstance, NULL);
    Pump(20);
    ClearRecord();
    return host;
}

void DestroyHost(HWND host)
{
    DestroyWindow(host);
    Pump(10);
}

void ClearRecord() { g_host = HostRecord(); }

std::string Clip(const char *name)
{
    std::string path = "Z:" CLIP_DIR "/";
    path += name;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (GetTickCount() - start >= ms)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 2, QS_ALLINPUT);
    } while (true);
}

LONG LastReport() { return g_host.reports.empty() ? -1 : g_host.reports.back(); }

HWND VideoBand(HWND host) { return FindWindowExA(host, NULL, "QuorvelVideoBand", NULL); }

HWND RendererWindow(HWND host)
{
    HWND band = VideoBand(host);
    return band ? GetWindow(band, GW_CHILD) : NULL;
}

int PictureFrame(HWND host) { return PictureFrameOf(RendererWindow(host)); }

int PictureFrameOf(HWND video)
{
    if (!video || !IsWindowVisible(video))
        return -1;
    Capture c = Grab(video);
    if (c.width < 32 || c.height < 32)
        return -1;
    // Below the code the picture is mid grey; anything else means no numbered picture.
    int grey = c.Luma(c.width / 40, c.height * 5 / 12);
    if (grey < 80 || grey > 180)
        return -1;
    int frame = 0;
    int y = c.height / 12;
    for (int bit = 0; bit < CODE_BITS; bit++) {
        int x = (2 * bit + 1) * c.width / (2 * CODE_BITS);
        if (c.Luma(x, y) > WHITE_LEVEL)
            frame |= 1 << bit;
    }
    return frame;
}

int WhitePixelsInBand(HWND host)
{
    HWND band = VideoBand(host);
    if (!band)
        return 0;
    Capture c = Grab(band);
    int white = 0;
    for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++)
            if (c.Luma(x, y) > 200)
                white++;
    return white;
}
