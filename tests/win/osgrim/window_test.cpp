// The task window with a Player window it owns, the paint rule every skinned window keeps, and
// the library's end.
#include <gtest/gtest.h>

#include <string>

#include "skin_test.h"

namespace {

const DWORD kTaskStyle = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;  // 0xB0000

class TaskWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_received.clear();
        icon = LoadIconA(NULL, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        task = CreateOsgrimTaskWindow("Vantorel 1.20", kTaskStyle, icon, GetModuleHandleA(NULL));
        ASSERT_NE(task, nullptr);
        player = CreatePlayerDialog(task);
        ASSERT_NE(player, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(player);
        EXPECT_TRUE(DestroyOsgrimTaskWindow(task));
        PumpPending();
    }
    HICON icon = NULL;
    HWND task = NULL;
    HWND player = NULL;
};

TEST_F(TaskWindowTest, CarriesTitleAndIconAndOwnsThePlayerWindow)
{
    char title[64] = "";
    GetWindowTextA(task, title, sizeof title);
    EXPECT_STREQ(title, "Vantorel 1.20");
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(task, WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(task, WM_GETICON, ICON_SMALL, 0)), icon);
    EXPECT_TRUE(IsWindowVisible(task)) << "a hidden window has no taskbar button";
    EXPECT_EQ(GetWindow(task, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongA(task, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(player, GW_OWNER), task);
    EXPECT_FALSE(DestroyOsgrimTaskWindow(player)) << "only task windows";
}

TEST_F(TaskWindowTest, MinimiseAndRestoreFromTheTaskbarHideAndShowThePlayerWindow)
{
    SendMessageA(task, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(task));
    EXPECT_FALSE(IsWindowVisible(player));
    SendMessageA(task, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(task));
    EXPECT_TRUE(IsWindowVisible(player));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == player; }))
        << "restoring brings the Player window to the front";

    // The Player window's own minimise button goes through the task window.
    RECT client;
    GetClientRect(player, &client);
    int x = client.right - 10 - 2 * 17;
    SendMessageA(player, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, kStripButtonY));
    SendMessageA(player, WM_LBUTTONUP, 0, PointParam(x, kStripButtonY));
    EXPECT_TRUE(IsIconic(task));
    EXPECT_FALSE(IsWindowVisible(player));
    ShowWindow(task, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(player));
}

TEST_F(TaskWindowTest, MaximiseAndCloseFromTheTaskbarActOnThePlayerWindow)
{
    SendMessageA(task, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(player));
    EXPECT_FALSE(IsZoomed(task));
    SendMessageA(task, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsZoomed(player));

    SendMessageA(task, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpPending();
    EXPECT_EQ(CommandsReceived(player), std::vector<WPARAM>({IDCANCEL}));
    EXPECT_TRUE(IsWindow(task)) << "the program destroys its task window itself, at the end";
}

// The About dialog's reveal pumps paint messages until none is left: one window that does not
// validate what it paints would keep it going for ever.
TEST_F(TaskWindowTest, EveryWindowValidatesWhatItPaints)
{
    HWND dialog = CreateSmallDialog();
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, IDC_TEST_BITMAP, BM_SETCHECK, BST_INDETERMINATE, 0);
    for (const char *theme : {"", "Dark", "Light"}) {
        SetOsgrimTheme(theme);
        for (HWND window : {task, player, dialog})
            RedrawWindow(window, NULL, NULL,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        MSG msg;
        int paints = 0;
        while (paints < 1000 && PeekMessageA(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            DispatchMessageA(&msg);
            ++paints;
        }
        EXPECT_LT(paints, 1000) << "theme '" << theme << "': paint messages never run out";
        EXPECT_GT(paints, 0);
    }
    SetOsgrimTheme("");
    DestroyWindow(dialog);
}

TEST(SkinLibrary, ExitRemovesTheClassesAndInitBringsThemBack)
{
    const char *classes[] = {OG_BMBUTTON,    OG_TXGBUTTON,  OG_TEXT,
                             OG_SCROLLCOMBO, OG_SCROLLLIST, OG_SINGLEEDIT};
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    for (const char *name : classes) EXPECT_TRUE(GetClassInfoExA(NULL, name, &info)) << name;
    ASSERT_TRUE(ExitOsgrim(GetModuleHandleA(NULL)));
    for (const char *name : classes) EXPECT_FALSE(GetClassInfoExA(NULL, name, &info)) << name;
    EXPECT_EQ(CreateOsgrimTaskWindow("x", 0, NULL, NULL), nullptr);
    EXPECT_EQ(CreateSmallDialog(), nullptr) << "a template naming OG_ classes needs the library";
    EXPECT_FALSE(ExitOsgrim(GetModuleHandleA(NULL))) << "ending twice";

    ASSERT_TRUE(InitOsgrim(GetModuleHandleA(NULL)));
    EXPECT_TRUE(InitOsgrim(GetModuleHandleA(NULL))) << "starting twice";
    for (const char *name : classes) EXPECT_TRUE(GetClassInfoExA(NULL, name, &info)) << name;
    HWND dialog = CreateSmallDialog();
    EXPECT_NE(dialog, nullptr);
    DestroyWindow(dialog);
}

}  // namespace
