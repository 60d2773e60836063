// Each template becomes a real dialog. The skin library's OG_ classes are stood in for by
// superclasses of the standard controls they behave like; Tracker and TCDisplay are our own.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/controls.h"
#include "platform/osgrim.h"
#include "resources/resource.h"

namespace {

void RegisterStandIn(const char *name, const char *standard)
{
    WNDCLASSA wc;
    if (!GetClassInfoA(NULL, standard, &wc))
        return;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = name;
    wc.style |= CS_GLOBALCLASS;
    RegisterClassA(&wc);
}

void RegisterPlayerClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hIcon = LoadIconA(wc.hInstance, IDI_APPL);
    wc.hIconSm = (HICON)LoadImageA(wc.hInstance, IDI_APPLSM, IMAGE_ICON, 16, 16, 0);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = VANTOREL_DLGCLASS;
    RegisterClassExA(&wc);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? FALSE : 0;
}

class DialogsFromTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterStandIn(OG_BMBUTTON, "BUTTON");
        RegisterStandIn(OG_TXGBUTTON, "BUTTON");
        RegisterStandIn(OG_TEXT, "STATIC");
        RegisterStandIn(OG_SCROLLCOMBO, "COMBOBOX");
        RegisterStandIn(OG_SCROLLLIST, "LISTBOX");
        RegisterStandIn(OG_SINGLEEDIT, "EDIT");
        RegisterControlClasses(GetModuleHandleA(NULL));
        RegisterPlayerClass();
    }

    HWND Create(const char *name)
    {
        return CreateDialogParamA(GetModuleHandleA(NULL), name, NULL, QuietDialogProc, 0);
    }
    static std::string ClassOf(HWND window)
    {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        return name;
    }
    // The child's rectangle in the dialog's client coordinates, and the template's in pixels.
    static RECT ChildRect(HWND dialog, HWND child)
    {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, dialog, (POINT *)&r, 2);
        return r;
    }
    static RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy)
    {
        // The dialog manager converts position and size separately, each with its own rounding.
        RECT r = {x, y, cx, cy};
        MapDialogRect(dialog, &r);
        return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
    }
};

TEST_F(DialogsFromTemplates, PlayerWindowHasItsControlsWhereTheTemplatePutsThem)
{
    HWND player = Create(IDD_ZENTRIX);
    ASSERT_TRUE(player);
    EXPECT_EQ(VANTOREL_DLGCLASS, ClassOf(player));
    struct Control {
        int id;
        const char *className;
        int x, y, cx, cy;
    } controls[] = {
        {IDC_PLAY, OG_BMBUTTON, 6, 27, 47, 12},      {IDC_STOP, OG_BMBUTTON, 53, 27, 20, 12},
        {IDC_REWIND, OG_BMBUTTON, 76, 27, 17, 12},   {IDC_FORWARD, OG_BMBUTTON, 96, 28, 18, 12},
        {IDC_TRACKER, TRACKER_CLASS, 115, 28, 65, 12}, {IDC_TCDISPLAY, TCDISPLAY_CLASS, 185, 30, 44, 10},
        {IDC_MENU, OG_BMBUTTON, 233, 32, 9, 7},      {IDC_VIDEO, "Static", 6, 5, 18, 17},
    };
    for (const Control &c : controls) {
        HWND child = GetDlgItem(player, c.id);
        ASSERT_TRUE(child) << c.id;
        EXPECT_EQ(0, lstrcmpiA(c.className, ClassOf(child).c_str())) << c.id << " " << ClassOf(child);
        RECT actual = ChildRect(player, child), expected = DialogUnits(player, c.x, c.y, c.cx, c.cy);
        EXPECT_EQ(expected.left, actual.left) << c.id;
        EXPECT_EQ(expected.top, actual.top) << c.id;
        EXPECT_EQ(expected.right, actual.right) << c.id;
        if (c.id == IDC_TRACKER)
            EXPECT_EQ(16, actual.bottom - actual.top) << "the Tracker takes its groove's height";
        else
            EXPECT_EQ(expected.bottom, actual.bottom) << c.id;
    }
    HWND tracker = GetDlgItem(player, IDC_TRACKER);
    EXPECT_EQ(0, (SHORT)GetWindowWord(tracker, TRACKER_VALUE_OFFSET)) << "its text \"0\" is not parsed";
    EXPECT_EQ(-127, (SHORT)GetWindowWord(tracker, TRACKER_MIN_OFFSET));
    EXPECT_EQ(DWORD(SS_RIGHT), GetWindowLongA(GetDlgItem(player, IDC_TCDISPLAY), GWL_STYLE) & 0xF);
    DestroyWindow(player);
}

TEST_F(DialogsFromTemplates, AboutShowsTheApplicationIcon)
{
    HWND about = Create(IDD_ABOUT);
    ASSERT_TRUE(about);
    HWND icon = NULL;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    ASSERT_TRUE(icon);
    EXPECT_TRUE(SendMessageA(icon, STM_GETICON, 0, 0)) << "the icon \"APPL\" was found";
    DestroyWindow(about);
}

}  // namespace
