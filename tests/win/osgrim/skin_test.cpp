#include "skin_test.h"

#include <gtest/gtest.h>

std::vector<Received> g_received;

namespace {

INT_PTR CALLBACK SmallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam)) return TRUE;
    g_received.push_back({dialog, message, wParam});
    return message == WM_COMMAND;
}

INT_PTR CALLBACK PlayerDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimFrameDialogProc(window, message, wParam, lParam)) return TRUE;
    if (OsgrimTaskProc(window, message, wParam, lParam)) return TRUE;
    g_received.push_back({window, message, wParam});
    if (message == WM_GETMINMAXINFO) {
        MINMAXINFO *limits = reinterpret_cast<MINMAXINFO *>(lParam);
        limits->ptMinTrackSize.x = 340;
        limits->ptMinTrackSize.y = 90;
    }
    return message == WM_COMMAND;
}

// The library is started once for the whole run, as the program does, and ended at the end.
class SkinEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(InitOsgrim(GetModuleHandleA(NULL)));
        ASSERT_TRUE(SetOsgrimTheme(""));
    }
    void TearDown() override { ExitOsgrim(GetModuleHandleA(NULL)); }
};

}  // namespace

bool WasReceived(HWND window, UINT message, WPARAM wParam)
{
    for (const Received &r : g_received)
        if (r.window == window && r.message == message && r.wParam == wParam) return true;
    return false;
}

std::vector<WPARAM> CommandsReceived(HWND window)
{
    std::vector<WPARAM> commands;
    for (const Received &r : g_received)
        if (r.window == window && r.message == WM_COMMAND && HIWORD(r.wParam) == 0)
            commands.push_back(r.wParam);
    return commands;
}

HWND CreateSmallDialog()
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), "SMALLTEST", NULL, SmallDialogProc, 0);
    PumpPending();
    return dialog;
}

HWND CreatePlayerDialog(HWND owner)
{
    HWND window =
        CreateDialogParamA(GetModuleHandleA(NULL), "PLAYERTEST", owner, PlayerDialogProc, 0);
    PumpPending();
    return window;
}

void PumpPending()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

COLORREF PrintedPixel(HWND window, int x, int y)
{
    RECT client;
    GetClientRect(window, &client);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    DWORD pixel = static_cast<DWORD *>(bits)[y * client.right + x];
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(x, y);
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new SkinEnvironment);
    return RUN_ALL_TESTS();
}
