// The task window: an invisible-sized top-level window that carries the program's taskbar
// button and Alt+Tab entry and owns the Player window. Minimising, restoring and closing it from
// the taskbar act on the Player window; the Player window's minimise goes through it, so the
// taskbar button always tells the truth.
#include "libs/osgrim/skin.h"
#include "platform/osgrim.h"

namespace {

const char kTaskClass[] = "OsgrimTaskWindow";
const char kPlayerProp[] = "OsgrimPlayer";           // on the task window: the window it owns
const char kHiddenProp[] = "OsgrimHiddenWithTask";   // on windows hidden while it is minimised
const UINT WM_APP_ACTIVATEPLAYER = WM_APP + 1;
const int kMinimisedIndent = 4;
const int kTitleLength = 256;

HWND PlayerOf(HWND task)
{
    return static_cast<HWND>(GetPropA(task, kPlayerProp));
}

HWND TaskOf(HWND window)
{
    HWND owner = GetWindow(window, GW_OWNER);
    return IsTaskWindow(owner) ? owner : NULL;
}

struct ShowWithTask {
    HWND task;
    bool show;
};

BOOL CALLBACK ShowOneWithTask(HWND window, LPARAM lParam)
{
    const ShowWithTask &request = *reinterpret_cast<const ShowWithTask *>(lParam);
    if (window == request.task || GetAncestor(window, GA_ROOTOWNER) != request.task) return TRUE;
    if (!request.show && IsWindowVisible(window)) {
        SetPropA(window, kHiddenProp, reinterpret_cast<HANDLE>(1));
        ShowWindow(window, SW_HIDE);
    } else if (request.show && RemovePropA(window, kHiddenProp)) {
        ShowWindow(window, SW_SHOWNA);
    }
    return TRUE;
}

// The Player window and its dialogs vanish with the task window and come back with it.
void ShowOwnedWindows(HWND task, bool show)
{
    ShowWithTask request = {task, show};
    EnumThreadWindows(GetWindowThreadProcessId(task, NULL), ShowOneWithTask,
                      reinterpret_cast<LPARAM>(&request));
}

// The window the user was last working in: an open dialog before the Player window.
void ActivatePlayer(HWND task)
{
    if (IsIconic(task)) return;
    HWND target = GetLastActivePopup(task);
    if (target == task || !target) target = PlayerOf(task);
    if (target && IsWindowVisible(target) && IsWindowEnabled(target)) SetForegroundWindow(target);
}

void OnTaskSize(HWND task, WPARAM kind)
{
    if (kind == SIZE_MINIMIZED) {
        ShowOwnedWindows(task, false);
    } else {
        ShowOwnedWindows(task, true);
        PostMessageA(task, WM_APP_ACTIVATEPLAYER, 0, 0);
    }
}

LRESULT OnTaskSysCommand(HWND task, WPARAM command, LPARAM lParam)
{
    HWND player = PlayerOf(task);
    switch (command & 0xFFF0) {
    case SC_MAXIMIZE:
        // The task window has no size of its own to maximise: the Player window grows.
        if (IsIconic(task)) ShowWindow(task, SW_RESTORE);
        if (player) ShowWindow(player, SW_MAXIMIZE);
        return 0;
    case SC_RESTORE:
        if (!IsIconic(task)) {
            if (player) ShowWindow(player, SW_RESTORE);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(task, WM_SYSCOMMAND, command, lParam);
}

// Closing from the taskbar is the Player window's own close: the program ends as usual.
LRESULT OnTaskClose(HWND task)
{
    HWND player = PlayerOf(task);
    if (player) PostMessageA(player, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    return 0;
}

// Where no taskbar shows the program (a Wine desktop without one), the minimised task window
// itself is what the user double-clicks to restore: it shows the icon and the title.
// A minimised window is all frame, so this paints into the window DC.
void PaintMinimised(HWND task)
{
    if (!g_skin.theme) return;
    HDC dc = GetWindowDC(task);
    if (!dc) return;
    const SkinTheme &theme = *g_skin.theme;
    RECT area;
    GetWindowRect(task, &area);
    OffsetRect(&area, -area.left, -area.top);
    FillSolid(dc, area, theme.stripActive);
    int iconSize = GetSystemMetrics(SM_CXSMICON);
    int top = (area.bottom - iconSize) / 2;
    HICON icon = reinterpret_cast<HICON>(SendMessageA(task, WM_GETICON, ICON_SMALL, 0));
    if (icon) DrawIconEx(dc, kMinimisedIndent, top, icon, iconSize, iconSize, 0, NULL, DI_NORMAL);
    char title[kTitleLength];
    int length = GetWindowTextA(task, title, kTitleLength);
    RECT text = area;
    text.left += 2 * kMinimisedIndent + iconSize;
    text.right -= kMinimisedIndent;
    HGDIOBJ oldFont = SelectObject(dc, g_skin.titleFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, theme.stripText);
    DrawTextA(dc, title, length, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    ReleaseDC(task, dc);
}

LRESULT OnTaskPaint(HWND task)
{
    PAINTSTRUCT ps;
    if (BeginPaint(task, &ps)) EndPaint(task, &ps);
    return 0;
}

LRESULT CALLBACK TaskWindowProc(HWND task, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        OnTaskSize(task, wParam);
        return 0;
    case WM_SYSCOMMAND:
        return OnTaskSysCommand(task, wParam, lParam);
    case WM_CLOSE:
        return OnTaskClose(task);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(task, WM_APP_ACTIVATEPLAYER, 0, 0);
        return 0;
    case WM_APP_ACTIVATEPLAYER:
        ActivatePlayer(task);
        return 0;
    case WM_PAINT:
        return OnTaskPaint(task);
    case WM_NCPAINT:
        if (!IsIconic(task)) break;
        PaintMinimised(task);
        return 0;
    case WM_NCACTIVATE:
        if (!IsIconic(task)) break;
        PaintMinimised(task);
        return TRUE;
    case WM_SETTEXT:
        if (IsIconic(task)) RedrawWindow(task, NULL, NULL, RDW_FRAME | RDW_INVALIDATE);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCDESTROY:
        RemovePropA(task, kPlayerProp);
        break;
    default:
        break;
    }
    return DefWindowProcA(task, message, wParam, lParam);
}

}  // namespace

bool RegisterTaskWindowClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TaskWindowProc;
    wc.hInstance = g_skin.module;
    wc.hCursor = LoadCursorA(NULL, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kTaskClass;
    return RegisterClassExA(&wc) != 0;
}

void UnregisterTaskWindowClass()
{
    UnregisterClassA(kTaskClass, g_skin.module);
}

bool IsTaskWindow(HWND window)
{
    char name[sizeof kTaskClass + 1];
    return window && GetClassNameA(window, name, sizeof name) && lstrcmpA(name, kTaskClass) == 0;
}

// The Player window minimises by minimising its task window, which hides it.
void MinimiseThroughTaskWindow(HWND window)
{
    HWND task = TaskOf(window);
    ShowWindow(task ? task : window, SW_MINIMIZE);
}

extern "C" {

// style: the system-menu, minimise and maximise boxes the taskbar button offers.
OSGRIM_API HWND WINAPI CreateOsgrimTaskWindow(const char *title, DWORD style, HICON icon,
                                              HINSTANCE program)
{
    (void)program;
    if (!g_skin.initialised) return NULL;
    const DWORD kAllowed = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    HWND task = CreateWindowExA(WS_EX_APPWINDOW, kTaskClass, title ? title : "",
                                WS_POPUP | WS_VISIBLE | (style & kAllowed), x, y, 0, 0, NULL, NULL,
                                g_skin.module, NULL);
    if (task && icon) {
        SendMessageA(task, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(task, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    return task;
}

OSGRIM_API BOOL WINAPI DestroyOsgrimTaskWindow(HWND taskWindow)
{
    if (!IsTaskWindow(taskWindow)) return FALSE;
    return DestroyWindow(taskWindow);
}

// The Player window's side: it makes itself known to its task window, and its minimise goes
// through the task window.
OSGRIM_API INT_PTR WINAPI OsgrimTaskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    HWND task = TaskOf(window);
    if (!task) return 0;
    switch (message) {
    case WM_INITDIALOG:
        SetPropA(task, kPlayerProp, window);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_MINIMIZE) return 0;
        ShowWindow(task, SW_MINIMIZE);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_DESTROY:
        if (PlayerOf(task) == window) RemovePropA(task, kPlayerProp);
        return 0;
    default:
        return 0;
    }
}

}  // extern "C"
