// The popup menu in the theme's look. The caller's menu is left as it is: a copy of it with
// owner-drawn items is tracked by a hidden window of the library, which draws the items, and the
// chosen item is posted to the caller's window as WM_COMMAND with its id.
#include <string>
#include <vector>

#include "libs/osgrim/skin.h"
#include "platform/osgrim.h"

namespace {

const char kMenuOwnerClass[] = "OsgrimMenuOwner";
const int kItemTextLength = 256;
const int kItemPaddingX = 12;     // space left and right of an item's text
const int kItemPaddingY = 4;      // space above and below it
const int kSeparatorHeight = 7;
const int kSubmenuArrowWidth = 12;

const int kCheckWidth = 12;       // room for the check mark left of a checked item's text

// What an owner-drawn item shows: kept alive while the menu is tracked. The text is kept as it
// is, in UTF-16: a file's name in the menu may be in any script.
struct MenuItemLook {
    std::wstring text;
    bool separator;
    bool submenu;
};

typedef std::vector<MenuItemLook *> LookList;

void FreeLooks(LookList &looks)
{
    for (MenuItemLook *look : looks) delete look;
    looks.clear();
}

// NULL when it cannot be built (out of memory): nothing of a half-built copy is left behind but
// the looks, which the caller frees in any case.
HMENU CopyOwnerDrawn(HMENU source, LookList &looks)
{
    HMENU copy = CreatePopupMenu();
    if (!copy) return NULL;
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = g_skin.menuBrush;
    SetMenuInfo(copy, &info);

    int count = GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        WCHAR text[kItemTextLength] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = kItemTextLength;
        if (!GetMenuItemInfoW(source, i, TRUE, &item)) continue;

        MenuItemLook *look = NULL;
        try {
            looks.reserve(looks.size() + 1);  // so that the push below cannot fail
            look = new MenuItemLook{text, (item.fType & MFT_SEPARATOR) != 0,
                                    item.hSubMenu != NULL};
        } catch (...) {
            DestroyMenu(copy);  // its submenus with it
            return NULL;
        }
        looks.push_back(look);
        MENUITEMINFOA drawn = {};
        drawn.cbSize = sizeof drawn;
        drawn.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        drawn.fType = MFT_OWNERDRAW | (item.fType & MFT_SEPARATOR);
        drawn.fState = item.fState;
        drawn.wID = item.wID;
        drawn.dwItemData = reinterpret_cast<ULONG_PTR>(look);
        drawn.hSubMenu = NULL;
        if (item.hSubMenu) {
            drawn.hSubMenu = CopyOwnerDrawn(item.hSubMenu, looks);
            if (!drawn.hSubMenu) {
                DestroyMenu(copy);
                return NULL;
            }
        }
        if (!InsertMenuItemA(copy, i, TRUE, &drawn) && drawn.hSubMenu)
            DestroyMenu(drawn.hSubMenu);  // not attached, so not destroyed with the copy
    }
    return copy;
}

// Whether the caller's menu has this id as an item that may be chosen.
bool IsChoosable(HMENU menu, UINT id)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_FTYPE;
    if (!GetMenuItemInfoA(menu, id, FALSE, &item)) return false;
    return !(item.fState & (MFS_GRAYED | MFS_DISABLED)) && !(item.fType & MFT_SEPARATOR);
}

LRESULT OnMeasureItem(HWND owner, MEASUREITEMSTRUCT *measure)
{
    if (measure->CtlType != ODT_MENU || !measure->itemData) return FALSE;
    const MenuItemLook &look = *reinterpret_cast<const MenuItemLook *>(measure->itemData);
    if (look.separator) {
        measure->itemWidth = kItemPaddingX;
        measure->itemHeight = kSeparatorHeight;
        return TRUE;
    }
    HDC dc = GetDC(owner);
    HGDIOBJ oldFont = SelectObject(dc, g_skin.menuFont);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, look.text.c_str(), static_cast<int>(look.text.size()), &size);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(owner, dc);
    measure->itemWidth =
        size.cx + 2 * kItemPaddingX + kCheckWidth + (look.submenu ? kSubmenuArrowWidth : 0);
    measure->itemHeight = metrics.tmHeight + 2 * kItemPaddingY;
    return TRUE;
}

// A tick in the item's ink, in the room left of the text.
void DrawCheckMark(HDC dc, const RECT &area, COLORREF ink)
{
    int x = area.left + kItemPaddingX / 2 + 2, y = (area.top + area.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 2, ink);
    HGDIOBJ old = SelectObject(dc, pen);
    POINT tick[3] = {{x, y}, {x + 3, y + 3}, {x + 9, y - 4}};
    Polyline(dc, tick, 3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// The menu cannot see the mnemonics of owner-drawn items: a typed letter or digit is matched
// here against the character after '&' in each item's text ("&&" is a plain '&').
WCHAR Mnemonic(const std::wstring &text)
{
    for (size_t i = 0; i + 1 < text.size(); i++) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return text[i + 1];
        i++;
    }
    return 0;
}

LRESULT OnMenuChar(WCHAR typed, HMENU menu)
{
    WCHAR wanted = static_cast<WCHAR>(reinterpret_cast<ULONG_PTR>(CharUpperW(
        reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(typed)))));
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_DATA;
        if (!GetMenuItemInfoW(menu, i, TRUE, &item) || !item.dwItemData) continue;
        const MenuItemLook &look = *reinterpret_cast<const MenuItemLook *>(item.dwItemData);
        WCHAR mnemonic = Mnemonic(look.text);
        if (!mnemonic) continue;
        mnemonic = static_cast<WCHAR>(reinterpret_cast<ULONG_PTR>(
            CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(mnemonic)))));
        if (mnemonic == wanted) return MAKELRESULT(i, MNC_EXECUTE);
    }
    return MAKELRESULT(0, MNC_IGNORE);
}

LRESULT OnDrawItem(DRAWITEMSTRUCT *draw)
{
    if (draw->CtlType != ODT_MENU || !draw->itemData) return FALSE;
    const SkinTheme &theme = *g_skin.theme;
    const MenuItemLook &look = *reinterpret_cast<const MenuItemLook *>(draw->itemData);
    RECT area = draw->rcItem;
    if (look.separator) {
        FillSolid(draw->hDC, area, theme.menuBack);
        RECT line = {area.left + 4, (area.top + area.bottom) / 2, area.right - 4,
                     (area.top + area.bottom) / 2 + 1};
        FillSolid(draw->hDC, line, theme.menuGrey);
        return TRUE;
    }
    bool greyed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    FillSolid(draw->hDC, area, selected && !greyed ? theme.menuHighlight : theme.menuBack);
    COLORREF ink = greyed ? theme.menuGrey : selected ? theme.menuHighlightText : theme.menuText;
    if (selected && greyed) FrameSolid(draw->hDC, area, theme.menuHighlight);
    HGDIOBJ oldFont = SelectObject(draw->hDC, g_skin.menuFont);
    SetTextColor(draw->hDC, ink);
    SetBkMode(draw->hDC, TRANSPARENT);
    if (draw->itemState & ODS_CHECKED) DrawCheckMark(draw->hDC, area, ink);
    RECT text = area;
    text.left += kItemPaddingX + kCheckWidth;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (draw->itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
    DrawTextW(draw->hDC, look.text.c_str(), -1, &text, format);
    SelectObject(draw->hDC, oldFont);
    return TRUE;
}

LRESULT CALLBACK MenuOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM:
        return OnMeasureItem(window, reinterpret_cast<MEASUREITEMSTRUCT *>(lParam));
    case WM_DRAWITEM:
        return OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT *>(lParam));
    case WM_MENUCHAR:
        return OnMenuChar(LOWORD(wParam), reinterpret_cast<HMENU>(lParam));
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND MenuOwner()
{
    if (!g_skin.menuOwner || !IsWindow(g_skin.menuOwner))
        g_skin.menuOwner = CreateWindowExA(WS_EX_TOOLWINDOW, kMenuOwnerClass, "", WS_POPUP, 0, 0,
                                           0, 0, NULL, NULL, g_skin.module, NULL);
    return g_skin.menuOwner;
}

}  // namespace

bool RegisterMenuOwnerClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MenuOwnerProc;
    wc.hInstance = g_skin.module;
    wc.lpszClassName = kMenuOwnerClass;
    return RegisterClassExA(&wc) != 0;
}

void DestroyMenuOwner()
{
    if (g_skin.menuOwner) DestroyWindow(g_skin.menuOwner);
    g_skin.menuOwner = NULL;
    UnregisterClassA(kMenuOwnerClass, g_skin.module);
}

extern "C" {

// TRUE when an item was chosen (and posted to owner), FALSE when the menu was dismissed.
OSGRIM_API BOOL WINAPI ShowPopupMenu(HWND owner, int reserved, int x, int y, HMENU menu)
{
    (void)reserved;
    if (!g_skin.initialised || !IsWindow(owner) || !IsMenu(menu)) return FALSE;
    HWND drawer = MenuOwner();
    if (!drawer) return FALSE;
    UINT id = 0;
    LookList looks;
    HMENU copy = CopyOwnerDrawn(menu, looks);
    if (copy) {
        id = static_cast<UINT>(TrackPopupMenuEx(
            copy, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x,
            y, drawer, NULL));
        DestroyMenu(copy);
    }
    FreeLooks(looks);
    if (!id || !IsChoosable(menu, id)) return FALSE;
    // Posted, as a menu's own command is: the menu is gone before the command runs.
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return TRUE;
}

}  // extern "C"
