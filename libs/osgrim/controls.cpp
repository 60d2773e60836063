// The OG_ control classes: superclasses of the standard controls, registered as global classes
// so that the program's dialog templates find them. They answer every message as the standard
// control does; only the look is the skin's. Labels, lists, combo boxes and edits take their
// colours from the skinned window they sit in (WM_CTLCOLOR*, answered in frame.cpp) and get a
// flat border here; the two buttons paint themselves (bmbutton.cpp, txgbutton.cpp).
#include "libs/osgrim/skin.h"
#include "platform/osgrim.h"

namespace {

LRESULT CALLBACK TextProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);

Superclass g_textClass = {"STATIC", OG_TEXT, TextProc, 0, NULL, 0};
Superclass g_comboClass = {"COMBOBOX", OG_SCROLLCOMBO, ComboProc, 0, NULL, 0};
Superclass g_listClass = {"LISTBOX", OG_SCROLLLIST, ListProc, 0, NULL, 0};
Superclass g_editClass = {"EDIT", OG_SINGLEEDIT, EditProc, 0, NULL, 0};

Superclass *const kClasses[] = {&g_bmButtonClass, &g_txgButtonClass, &g_textClass,
                                &g_comboClass,    &g_listClass,      &g_editClass};

bool RegisterSuperclass(Superclass &superclass)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(NULL, superclass.base, &wc)) return false;
    superclass.baseProc = wc.lpfnWndProc;
    superclass.baseBytes = wc.cbWndExtra;
    wc.lpfnWndProc = superclass.proc;
    wc.cbWndExtra += superclass.ownBytes;
    wc.hInstance = g_skin.module;
    wc.lpszClassName = superclass.name;
    wc.style |= CS_GLOBALCLASS;
    return RegisterClassExA(&wc) != 0;
}

// The standard border is drawn first (with any scroll bars), then its outer ring is painted over
// in the theme's border colour and any inner ring in the field colour: a flat frame.
LRESULT PaintFlatBorder(const Superclass &superclass, HWND window, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(superclass.baseProc, window, WM_NCPAINT, wParam, lParam);
    if (!g_skin.theme) return result;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    int rings = (exStyle & WS_EX_CLIENTEDGE) ? 2 : (style & WS_BORDER) ? 1 : 0;
    if (!rings) return result;
    RECT outer;
    GetWindowRect(window, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    HDC dc = GetWindowDC(window);
    if (!dc) return result;
    FrameSolid(dc, outer, g_skin.theme->border);
    if (rings > 1) {
        InflateRect(&outer, -1, -1);
        FrameSolid(dc, outer, g_skin.theme->field);
    }
    ReleaseDC(window, dc);
    return result;
}

LRESULT CALLBACK TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(g_textClass.baseProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCPAINT) return PaintFlatBorder(g_comboClass, window, wParam, lParam);
    return CallWindowProcA(g_comboClass.baseProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCPAINT) return PaintFlatBorder(g_listClass, window, wParam, lParam);
    return CallWindowProcA(g_listClass.baseProc, window, message, wParam, lParam);
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCPAINT) return PaintFlatBorder(g_editClass, window, wParam, lParam);
    return CallWindowProcA(g_editClass.baseProc, window, message, wParam, lParam);
}

}  // namespace

bool RegisterControlClasses()
{
    bool all = true;
    for (Superclass *superclass : kClasses) all = RegisterSuperclass(*superclass) && all;
    return all;
}

void UnregisterControlClasses()
{
    for (Superclass *superclass : kClasses) UnregisterClassA(superclass->name, g_skin.module);
}
