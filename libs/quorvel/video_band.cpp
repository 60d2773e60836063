// The video band: a black child window of the Player window over client y 18 to height - 22.
// The renderer's window sits in it, letterboxed; a file with sound only shows its waveform there;
// when a file cannot be played the band shows why.
#include <stdio.h>
#include <string.h>

#include "engine.h"

namespace {

const char BAND_CLASS[] = "QuorvelVideoBand";
const COLORREF MESSAGE_COLOUR = RGB(255, 255, 255);
const int MESSAGE_MARGIN = 8;
const UINT_PTR RESEEK_TIMER_ID = 1;  // on the band, so the Player window never sees it
const UINT RESEEK_SETTLE_MS = 100;   // no size change for this long: the sizing is over

int lastBandWidth = -1, lastBandHeight = -1;

void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    if (g_engine.soundOnly && !g_engine.message[0])
        PaintWaveform(dc, client);
    else
        FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    if (g_engine.message[0]) {
        InflateRect(&client, -MESSAGE_MARGIN, -MESSAGE_MARGIN);
        SetTextColor(dc, MESSAGE_COLOUR);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, g_engine.message, -1, &client, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    EndPaint(window, &ps);
}

// Mouse and key messages belong to the Player window, so its shortcuts work over the picture.
bool ForwardInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
    bool key = message >= WM_KEYFIRST && message <= WM_KEYLAST;
    if (!g_engine.player || (!mouse && !key))
        return false;
    if (mouse) {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        MapWindowPoints(window, g_engine.player, &p, 1);
        lParam = MAKELPARAM(p.x, p.y);
    }
    PostMessageA(g_engine.player, message, wParam, lParam);
    return true;
}

// Nothing repaints a still picture after a resize, so the frame is sought again; once, after
// the sizing has settled, and without waiting for the picture, so that dragging the window's
// border stays smooth.
void OnReseekTimer(HWND window)
{
    Engine &e = g_engine;
    if (e.busy)
        return;  // inside a call: the next tick
    KillTimer(window, RESEEK_TIMER_ID);
    if (!e.pictureStale || (e.mode != MODE_PAUSED && e.mode != MODE_STOPPED))
        return;
    e.busy = true;
    SeekPaused(e.frame, false);
    e.pictureStale = false;
    e.busy = false;
}

LRESULT CALLBACK VideoBandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(window); return 0;
    case WM_TIMER:
        if (wParam == RESEEK_TIMER_ID)
            OnReseekTimer(window);
        return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT paints all of it
    case WM_WAVEFORM_PROGRESS: InvalidateRect(window, NULL, FALSE); return 0;
    default: break;
    }
    if (ForwardInput(window, message, wParam, lParam))
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

const WCHAR *BaseName(const WCHAR *path)
{
    const WCHAR *name = path;
    for (const WCHAR *p = path; *p; p++)
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    return name;
}

// The band's window text is the message too, so that other programs (screen readers, tests)
// can read it. The band is an ANSI window: DefWindowProcW keeps the name as it is.
void ShowBandText()
{
    if (g_engine.band)
        DefWindowProcW(g_engine.band, WM_SETTEXT, 0, (LPARAM)g_engine.message);
}

}  // namespace

// Found from the address of the class name, a constant of the module (not of a function, whose
// address is no object's).
HMODULE EngineModule(bool hold)
{
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           (hold ? 0 : GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT),
                       BAND_CLASS, &module);
    return module;
}

bool CreateVideoBand(HWND player)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = VideoBandProc;
    wc.hInstance = EngineModule(false);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = BAND_CLASS;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    g_engine.band = CreateWindowExA(0, BAND_CLASS, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                    0, VIDEO_BAND_TOP, 0, 0, player, NULL, wc.hInstance, NULL);
    lastBandWidth = lastBandHeight = -1;
    return g_engine.band != NULL;
}

void DestroyVideoBand()
{
    if (g_engine.band && IsWindow(g_engine.band))
        DestroyWindow(g_engine.band);
    g_engine.band = NULL;
}

void FitVideoBand()
{
    Engine &e = g_engine;
    if (!e.player || !e.band)
        return;
    RECT client;
    GetClientRect(e.player, &client);
    int width = client.right > 0 ? client.right : 0;
    int height = client.bottom - VIDEO_BAND_TOP - VIDEO_BAND_BOTTOM_MARGIN;
    if (height < 0)
        height = 0;
    SetWindowPos(e.band, NULL, 0, VIDEO_BAND_TOP, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // While another thread builds the graph it holds the graph's lock, which every IVideoWindow
    // method takes, and the renderer it connects sizes its window through this thread: a call
    // from here would wait for the builder and the builder for this thread. The window is
    // placed once it is adopted, at the band's size of that moment.
    if (e.videoWindow && e.videoAdopted) {
        RECT picture = LetterboxRect(width, height, e.videoWidth, e.videoHeight);
        e.videoWindow->SetWindowPosition(picture.left, picture.top, picture.right - picture.left,
                                         picture.bottom - picture.top);
        e.videoWindow->put_Visible(OATRUE);
    }
    bool resized = width != lastBandWidth || height != lastBandHeight;
    lastBandWidth = width;
    lastBandHeight = height;
    if (resized && e.soundOnly) {
        InvalidateRect(e.band, NULL, FALSE);  // the waveform is drawn to the band's width
    } else if (resized && (e.mode == MODE_PAUSED || e.mode == MODE_STOPPED)) {
        e.pictureStale = true;
        SetTimer(e.band, RESEEK_TIMER_ID, RESEEK_SETTLE_MS, NULL);  // each size step restarts it
    }
}

void ShowMessage(const WCHAR *path, const char *reason)
{
    WCHAR *message = g_engine.message;
    const int chars = MESSAGE_CHARS;
    lstrcpynW(message, L"Cannot open ", chars);
    int used = lstrlenW(message);
    lstrcpynW(message + used, BaseName(path ? path : L""), chars - used);
    used = lstrlenW(message);
    lstrcpynW(message + used, L": ", chars - used);
    used = lstrlenW(message);
    if (chars - used > 1 &&
        !MultiByteToWideChar(CP_ACP, 0, reason ? reason : "", -1, message + used, chars - used))
        message[used] = 0;
    ShowBandText();
    if (g_engine.band) {
        ShowWindow(g_engine.band, SW_SHOWNA);
        InvalidateRect(g_engine.band, NULL, FALSE);
    }
}

void ClearMessage()
{
    g_engine.message[0] = 0;
    ShowBandText();
    if (g_engine.band) {
        ShowWindow(g_engine.band, SW_SHOWNA);
        InvalidateRect(g_engine.band, NULL, FALSE);
    }
}
