// The frame hooks: which messages they leave to the program, the title strip's parts, its
// buttons and its colours in each theme.
#include <gtest/gtest.h>

#include "skin_test.h"

// The program's private messages, which the frame hooks must leave to it.
#include "dialogs/dialogs.h"
#include "platform/quorvel.h"
#include "platform/remote.h"
#include "platform/zentrixkey.h"
#include "player/player.h"

namespace {

typedef INT_PTR(WINAPI *Hook)(HWND, UINT, WPARAM, LPARAM);

POINT ScreenPoint(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

LRESULT HitTest(HWND window, int x, int y)
{
    POINT point = ScreenPoint(window, x, y);
    return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
}

int ClientWidth(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return r.right;
}

// Centre of the n-th strip button from the right (0 = close, 1 = maximise, 2 = minimise).
int StripButtonX(HWND window, int fromRight)
{
    return ClientWidth(window) - 10 - fromRight * 17;
}

void ClickAt(HWND window, int x, int y)
{
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, PointParam(x, y));
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_received.clear();
        SetOsgrimTheme("");
        player = CreatePlayerDialog(NULL);
        dialog = CreateSmallDialog();
        ASSERT_NE(player, nullptr);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(player);
        DestroyWindow(dialog);
        PumpPending();
        SetOsgrimTheme("");
    }
    HWND player = NULL;
    HWND dialog = NULL;
};

TEST_F(FrameTest, HooksLeaveTheProgramsMessagesToTheProgram)
{
    MINMAXINFO limits = {};
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {
        {WM_INITDIALOG, 0, 0},
        {WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300)},
        {WM_SIZE, SIZE_MINIMIZED, 0},
        {WM_MOVE, 0, MAKELPARAM(20, 100)},
        {WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)},
        {WM_COMMAND, IDCANCEL, 0},
        {WM_COMMAND, 256, VK_SPACE},
        {WM_COMMAND, 1001, 0},
        {WM_TIMER, 5, 0},
        {WM_DROPFILES, 0, 0},
        {WM_APP_OPENFILE, 0, 0},
        {WM_APP_REVEAL, 0, 0},
        {WM_KEYHOOK_HOTKEY, VK_F12, 0},
        {WM_REMOTE_CONTROL, 1, 0},
        {WM_ENGINE_NOTIFY, 1024, 250},
        {WM_DESTROY, 0, 0},
    };
    const Hook hooks[] = {OsgrimFrameDialogProc, OsgrimTaskProc, OsgrimSmallDialogProc};
    for (Hook hook : hooks) {
        for (const Case &c : cases) {
            HWND target = hook == OsgrimSmallDialogProc ? dialog : player;
            EXPECT_EQ(hook(target, c.message, c.wParam, c.lParam), 0)
                << "message " << c.message << " wParam " << c.wParam;
        }
    }
}

TEST_F(FrameTest, PostedProgramMessagesReachTheDialogProcedures)
{
    const UINT messages[] = {WM_APP_OPENFILE, WM_APP_REVEAL, WM_KEYHOOK_HOTKEY, WM_REMOTE_CONTROL,
                             WM_ENGINE_NOTIFY, WM_TIMER};
    for (HWND window : {player, dialog}) {
        for (UINT message : messages) PostMessageA(window, message, 7, 0);
        PumpPending();
        for (UINT message : messages)
            EXPECT_TRUE(WasReceived(window, message, 7)) << "message " << message;
    }
    SetWindowPos(player, NULL, 50, 60, 420, 300, SWP_NOZORDER);
    EXPECT_TRUE(WasReceived(player, WM_SIZE, SIZE_RESTORED));
}

TEST_F(FrameTest, StripMovesTheWindowAndItsButtonsTrackTheMouseThemselves)
{
    RECT client;
    GetClientRect(player, &client);
    struct Case {
        HWND window;
        int x, y;
        LRESULT hit;
    };
    const Case cases[] = {
        {player, 40, 9, HTCAPTION},
        {player, StripButtonX(player, 0), kStripButtonY, HTCLIENT},  // close
        {player, StripButtonX(player, 1), kStripButtonY, HTCLIENT},  // maximise
        {player, StripButtonX(player, 2), kStripButtonY, HTCLIENT},  // minimise
        {player, StripButtonX(player, 3), kStripButtonY, HTCAPTION},
        {player, 40, OSGRIM_TITLE_HEIGHT + 2, HTCLIENT},  // below the strip
        {player, -2, 40, HTLEFT},                         // the sizing border
        {player, client.right + 1, client.bottom + 1, HTBOTTOMRIGHT},
        {dialog, 40, 9, HTCAPTION},
        {dialog, StripButtonX(dialog, 0), kStripButtonY, HTCLIENT},
        {dialog, StripButtonX(dialog, 1), kStripButtonY, HTCAPTION},  // no maximise box
    };
    for (const Case &c : cases)
        EXPECT_EQ(HitTest(c.window, c.x, c.y), c.hit) << "at " << c.x << ", " << c.y;
}

TEST_F(FrameTest, CloseButtonSendsCancelOnlyWhenReleasedOnIt)
{
    for (HWND window : {player, dialog}) {
        int x = StripButtonX(window, 0);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, kStripButtonY));
        SendMessageA(window, WM_LBUTTONUP, 0, PointParam(x - 40, kStripButtonY));
        PumpPending();
        EXPECT_TRUE(CommandsReceived(window).empty()) << "released elsewhere";
        ClickAt(window, x, kStripButtonY);
        PumpPending();
        EXPECT_EQ(CommandsReceived(window), std::vector<WPARAM>({IDCANCEL}));
    }
}

TEST_F(FrameTest, MaximiseButtonAndDoubleClickToggleThePlayerWindow)
{
    ClickAt(player, StripButtonX(player, 1), kStripButtonY);
    EXPECT_TRUE(IsZoomed(player));
    ClickAt(player, StripButtonX(player, 1), kStripButtonY);
    EXPECT_FALSE(IsZoomed(player));

    POINT strip = ScreenPoint(player, 40, 9);
    SendMessageA(player, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(strip.x, strip.y));
    EXPECT_TRUE(IsZoomed(player));
    strip = ScreenPoint(player, 40, 9);
    SendMessageA(player, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(strip.x, strip.y));
    EXPECT_FALSE(IsZoomed(player));

    // A dialog has no maximise box: double-clicking its strip leaves it as it is.
    strip = ScreenPoint(dialog, 40, 9);
    SendMessageA(dialog, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(strip.x, strip.y));
    EXPECT_FALSE(IsZoomed(dialog));
}

TEST_F(FrameTest, ThemesChangeStripAndPanelAndUnknownNamesGiveTheDefault)
{
    struct Look {
        COLORREF strip, panel, dialogPanel;
    };
    auto look = [&] {
        return Look{PrintedPixel(player, 1, 1), PrintedPixel(player, 1, OSGRIM_TITLE_HEIGHT + 1),
                    PrintedPixel(dialog, 1, OSGRIM_TITLE_HEIGHT + 1)};
    };
    ASSERT_TRUE(SetOsgrimTheme(""));
    Look standard = look();
    ASSERT_TRUE(SetOsgrimTheme("Dark"));
    Look dark = look();
    ASSERT_TRUE(SetOsgrimTheme("Light"));
    Look light = look();
    EXPECT_NE(standard.strip, standard.panel) << "the strip stands out from the panel";
    const Look looks[] = {standard, dark, light};
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            EXPECT_NE(looks[a].strip, looks[b].strip) << a << " " << b;
            EXPECT_NE(looks[a].panel, looks[b].panel) << a << " " << b;
        }
    EXPECT_EQ(dark.panel, dark.dialogPanel) << "the dialogs share the theme";
    SetOsgrimTheme("Dark");
    HWND label = GetDlgItem(dialog, IDC_TEST_LABEL);
    RECT r;
    GetClientRect(label, &r);
    EXPECT_EQ(PrintedPixel(label, r.right - 1, r.bottom - 1), dark.panel)
        << "a label sits on the panel's colour";

    struct Case {
        const char *name;
        BOOL known;
        COLORREF panel;
    };
    const Case cases[] = {
        {"dark", TRUE, dark.panel},  // names are not case-sensitive
        {"LIGHT", TRUE, light.panel},
        {"Chrome", FALSE, standard.panel},
        {"Dark ", FALSE, standard.panel},
        {"DarkDarkDarkDarkDarkDarkDarkDarkDark", FALSE, standard.panel},  // longer than 30
        {"", TRUE, standard.panel},
        {NULL, FALSE, standard.panel},
    };
    for (const Case &c : cases) {
        SetOsgrimTheme("Light");
        EXPECT_EQ(SetOsgrimTheme(c.name), c.known) << (c.name ? c.name : "(null)");
        EXPECT_EQ(PrintedPixel(player, 1, OSGRIM_TITLE_HEIGHT + 1), c.panel)
            << (c.name ? c.name : "(null)");
    }
}

class PopupMenuTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        menu = LoadMenuA(GetModuleHandleA(NULL), "TESTMENU");
        ASSERT_NE(menu, nullptr);
        SetForegroundWindow(player);
        PumpPending();
    }
    void TearDown() override
    {
        DestroyMenu(menu);
        FrameTest::TearDown();
    }
    // The keys wait in the queue; the menu's own loop takes them once it is open.
    BOOL ChooseWithKeys(HMENU popup, std::vector<WPARAM> keys)
    {
        for (WPARAM key : keys) {
            PostMessageA(player, WM_KEYDOWN, key, 1);
            PostMessageA(player, WM_KEYUP, key, 0xC0000001);
        }
        POINT at = ScreenPoint(player, 20, 20);
        BOOL chosen = ShowPopupMenu(player, 0, at.x, at.y, popup);
        PumpPending();
        return chosen;
    }
    HMENU menu = NULL;
};

TEST_F(PopupMenuTest, ItemChosenWithKeysArrivesAsItsCommand)
{
    EXPECT_TRUE(ChooseWithKeys(GetSubMenu(menu, 0), {VK_DOWN, VK_RETURN}));
    EXPECT_EQ(CommandsReceived(player), std::vector<WPARAM>({IDM_TEST_HELP}));
    g_received.clear();
    EXPECT_TRUE(ChooseWithKeys(GetSubMenu(menu, 0), {VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_EQ(CommandsReceived(player), std::vector<WPARAM>({IDM_TEST_OPTIONS}));
}

TEST_F(PopupMenuTest, EscapeAndGreyedItemsChooseNothing)
{
    EXPECT_FALSE(ChooseWithKeys(GetSubMenu(menu, 0), {VK_DOWN, VK_ESCAPE}));
    EXPECT_FALSE(ChooseWithKeys(GetSubMenu(menu, 1), {VK_DOWN, VK_RETURN, VK_ESCAPE}));
    ChooseWithKeys(GetSubMenu(menu, 0), {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE});
    for (WPARAM command : CommandsReceived(player))
        EXPECT_NE(command, static_cast<WPARAM>(IDM_TEST_DECODER));
    // The caller's menu is left as it was.
    EXPECT_EQ(GetMenuState(GetSubMenu(menu, 0), IDM_TEST_DECODER, MF_BYCOMMAND) & MF_GRAYED,
              static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(GetSubMenu(menu, 0), IDM_TEST_HELP, MF_BYCOMMAND) & MF_OWNERDRAW, 0u);
}

}  // namespace

namespace {

INPUT MouseAt(int x, int y, DWORD buttons)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return input;
}

// A real mouse drag, injected at once: button down at `from`, moved by dx, dy, released. The
// system's move and size loops take it from the queue.
void Drag(POINT from, int dx, int dy)
{
    std::vector<INPUT> inputs = {MouseAt(from.x, from.y, 0),
                                 MouseAt(from.x, from.y, MOUSEEVENTF_LEFTDOWN)};
    for (int step = 1; step <= 4; ++step)
        inputs.push_back(MouseAt(from.x + dx * step / 4, from.y + dy * step / 4, 0));
    inputs.push_back(MouseAt(from.x + dx, from.y + dy, MOUSEEVENTF_LEFTUP));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

RECT WindowRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

TEST_F(FrameTest, DraggingTheStripMovesAndDraggingTheFrameResizesWithinTheLimits)
{
    SetWindowPos(player, HWND_TOP, 100, 100, 420, 300, SWP_SHOWWINDOW);
    SetForegroundWindow(player);
    PumpPending();
    RECT before = WindowRect(player);
    Drag(ScreenPoint(player, 60, 9), 50, 30);
    EXPECT_TRUE(PumpUntil([&] { return WindowRect(player).left == before.left + 50; }))
        << "left " << WindowRect(player).left;
    RECT moved = WindowRect(player);
    EXPECT_EQ(moved.top, before.top + 30);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left) << "moved, not resized";

    // The bottom-right corner of the sizing border, dragged far inwards: the program's minimum
    // tracking size holds.
    Drag({moved.right - 2, moved.bottom - 2}, -300, -250);
    EXPECT_TRUE(PumpUntil([&] { return WindowRect(player).right != moved.right; }));
    RECT sized = WindowRect(player);
    EXPECT_EQ(sized.right - sized.left, 340);
    EXPECT_EQ(sized.bottom - sized.top, 90);
    EXPECT_EQ(sized.left, moved.left);
}

// The recent files of the Player window: numbered items in any script, chosen by their number.
TEST_F(PopupMenuTest, NumberedItemChosenByItsDigitWhateverTheScript)
{
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 501, L"&1 C:\\\u65e5\u672c\u8a9e.mp4");
    AppendMenuW(popup, MF_STRING, 502, L"&2 C:\\a&&b.mp4");
    AppendMenuW(popup, MF_STRING | MF_CHECKED, 503, L"Always on Top");
    EXPECT_TRUE(ChooseWithKeys(popup, {'2'}));
    EXPECT_EQ(CommandsReceived(player), std::vector<WPARAM>({502}));
    g_received.clear();
    EXPECT_TRUE(ChooseWithKeys(popup, {'1'}));
    EXPECT_EQ(CommandsReceived(player), std::vector<WPARAM>({501}));
    g_received.clear();
    // A digit no item has chooses nothing; the menu stays open for Escape.
    EXPECT_FALSE(ChooseWithKeys(popup, {'7', VK_ESCAPE}));
    EXPECT_TRUE(CommandsReceived(player).empty());
    DestroyMenu(popup);
}

}  // namespace
