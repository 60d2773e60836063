#include "engine_host.h"

#include "platform/quorvel.h"
#include "tests/support/picture.h"

HostRecord g_host;

namespace {

const char HOST_CLASS[] = "QuorvelTestHost";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENGINE_NOTIFY) {
        if (wParam == ENGINE_NOTIFY_POSITION) {
            g_host.reports.push_back((LONG)lParam);
            g_host.reportTicks.push_back(GetTickCount());
        } else {
            g_host.notices.push_back((LONG)wParam);
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

// What the window shows, read from the screen (the renderer draws straight to its window).
Capture Grab(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    Capture c = CaptureRect(dc, r);
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
    return FrameInPicture(Grab(video));
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
