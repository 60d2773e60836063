// The OG_ controls in a dialog built from a template: the messages the program's dialogs rely
// on, answered as the standard controls answer them, and the bitmap button's own behaviour.
#include <gtest/gtest.h>

#include <string>

#include "skin_test.h"

namespace {

std::string TextOf(HWND window)
{
    char text[64] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_received.clear();
        dialog = CreateSmallDialog();
        ASSERT_NE(dialog, nullptr) << "the template's OG_ classes were not found";
        button = GetDlgItem(dialog, IDC_TEST_BITMAP);
        ASSERT_NE(button, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(dialog);
        PumpPending();
    }
    COLORREF ButtonCentre() { return PrintedPixel(button, ButtonWidth() / 2, ButtonHeight() / 2); }
    int ButtonWidth()
    {
        RECT r;
        GetClientRect(button, &r);
        return r.right;
    }
    int ButtonHeight()
    {
        RECT r;
        GetClientRect(button, &r);
        return r.bottom;
    }
    HWND Item(int id) { return GetDlgItem(dialog, id); }

    HWND dialog = NULL;
    HWND button = NULL;
};

TEST_F(ControlsTest, ComboSelectsByPrefixFromTheItemAfterTheStartAndWrapsRound)
{
    HWND combo = Item(IDC_TEST_COMBO);
    const char *items[] = {"23.98", "24", "25", "29.97", "30", "SPACE", "TAB"};
    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i])), i);
    EXPECT_EQ(TextOf(combo), "") << "nothing selected yet";

    struct Case {
        WPARAM start;
        const char *find;
        LRESULT index;
        const char *shown;
    };
    const Case cases[] = {
        {0, "25", 2, "25"},
        {static_cast<WPARAM>(-1), "2", 0, "23.98"},  // -1: the whole list from the top
        {0, "2", 1, "24"},                             // the search begins after the start
        {4, "2", 0, "23.98"},                          // and wraps round
        {0, "29", 3, "29.97"},
        {0, "tab", 6, "TAB"},                          // case ignored
        {0, "7", CB_ERR, "TAB"},                       // no match: the selection stays
        {0, "30.5", CB_ERR, "TAB"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, c.start, reinterpret_cast<LPARAM>(c.find)),
                  c.index)
            << c.find << " from " << static_cast<int>(c.start);
        EXPECT_EQ(TextOf(combo), c.shown) << c.find;
    }
}

TEST_F(ControlsTest, SortedListAddsInOrderAndAnswersSelectionAndText)
{
    HWND list = Item(IDC_TEST_LIST);
    const char *names[] = {"WMVideo Decoder DMO", "AVI Decompressor", "Mpeg Video Decoder"};
    for (const char *name : names) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);

    const char *sorted[] = {"AVI Decompressor", "Mpeg Video Decoder", "WMVideo Decoder DMO"};
    for (int i = 0; i < 3; ++i) {
        char text[64] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, sorted[i]);
    }
    char untouched[64] = "untouched";
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 3, reinterpret_cast<LPARAM>(untouched)), LB_ERR);
    EXPECT_STREQ(untouched, "untouched");
}

TEST_F(ControlsTest, EditAndLabelKeepTextAndFont)
{
    HWND edit = Item(IDC_TEST_EDIT);
    SetWindowTextA(edit, " 00:00:10:00");
    EXPECT_EQ(TextOf(edit), " 00:00:10:00");

    HWND label = Item(IDC_TEST_LABEL);
    SetWindowTextA(label, "Vantorel 1.20");
    EXPECT_EQ(TextOf(label), "Vantorel 1.20");
    HFONT font = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 2, 0x22, "MS Sans Serif");
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), font);
    DestroyWindow(dialog);  // the label only borrows the font
    dialog = NULL;
    DeleteObject(font);
}

TEST_F(ControlsTest, BitmapButtonShowsADifferentImageForEachState)
{
    struct Case {
        WPARAM check;
        COLORREF colour;
    };
    const Case cases[] = {
        {BST_UNCHECKED, kNormalColour},
        {BST_CHECKED, kActiveColour},
        {BST_UNCHECKED, kNormalColour},
    };
    for (const Case &c : cases) {
        SendMessageA(button, BM_SETCHECK, c.check, 0);
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.check));
        EXPECT_EQ(ButtonCentre(), c.colour) << "check " << c.check;
    }
    // Indeterminate: neither the normal nor the active picture, but something of both.
    SendMessageA(button, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    COLORREF mixed = ButtonCentre();
    EXPECT_NE(mixed, kNormalColour);
    EXPECT_NE(mixed, kActiveColour);
    EXPECT_GT(GetBValue(mixed), GetBValue(kNormalColour));
    EXPECT_GT(GetRValue(mixed), GetRValue(kActiveColour));

    EnableWindow(button, FALSE);
    EXPECT_EQ(ButtonCentre(), kGreyedColour);
    EnableWindow(button, TRUE);

    // A check state outside 0 to 2 is ignored.
    SendMessageA(button, BM_SETCHECK, 7, 0);
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

TEST_F(ControlsTest, BitmapButtonClickSendsItsIdAndLeavesTheFocusAlone)
{
    HWND plain = Item(IDC_TEST_PLAIN);
    SetForegroundWindow(dialog);
    SetFocus(plain);
    ASSERT_EQ(GetFocus(), plain);

    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(3, 3));
    EXPECT_EQ(ButtonCentre(), kPressedColour) << "held down";
    EXPECT_TRUE(CommandsReceived(dialog).empty()) << "no click before the release";
    SendMessageA(button, WM_LBUTTONUP, 0, PointParam(3, 3));
    EXPECT_EQ(CommandsReceived(dialog), std::vector<WPARAM>({IDC_TEST_BITMAP}));
    EXPECT_EQ(GetFocus(), plain);
    EXPECT_EQ(ButtonCentre(), kNormalColour);

    // Released outside the button: no click.
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(3, 3));
    SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, PointParam(-20, 3));
    EXPECT_EQ(ButtonCentre(), kNormalColour) << "pointer moved off while held";
    SendMessageA(button, WM_LBUTTONUP, 0, PointParam(-20, 3));
    EXPECT_EQ(CommandsReceived(dialog).size(), 1u);
}

TEST_F(ControlsTest, SpaceAndEnterDoNotClickTheBitmapButtonButDoClickTheTextButton)
{
    SetForegroundWindow(dialog);
    SetFocus(button);  // even when it is given the focus by force
    for (WPARAM key : {static_cast<WPARAM>(VK_SPACE), static_cast<WPARAM>(VK_RETURN)}) {
        SendMessageA(button, WM_KEYDOWN, key, 0);
        SendMessageA(button, WM_CHAR, key == VK_SPACE ? ' ' : '\r', 0);
        SendMessageA(button, WM_KEYUP, key, 0);
    }
    EXPECT_TRUE(CommandsReceived(dialog).empty());

    HWND ok = Item(IDOK);
    SetFocus(ok);
    SendMessageA(ok, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(ok, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(CommandsReceived(dialog), std::vector<WPARAM>({IDOK}));
}

TEST_F(ControlsTest, BitmapButtonWithoutItsBitmapStillPaintsAndClicks)
{
    HWND missing = Item(IDC_TEST_NOIMAGE);
    RECT r;
    GetClientRect(missing, &r);
    EXPECT_NE(PrintedPixel(missing, r.right / 2, 1), kNormalColour);
    SendMessageA(missing, BM_CLICK, 0, 0);
    EXPECT_EQ(CommandsReceived(dialog), std::vector<WPARAM>({IDC_TEST_NOIMAGE}));
}

}  // namespace
