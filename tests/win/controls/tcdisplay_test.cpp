// The timecode panel: deferred refreshes, the enabled flag, the click and keys handed to the
// parent, and what it paints (pixels read back).
#include <gtest/gtest.h>

#include "controls/controls.h"
#include "harness.h"

namespace {

const COLORREF kPanel = RGB(192, 192, 192);

// Pixels that are not the panel's grey: the text, whose edges may be smoothed.
int Ink(const Pixels &p, int left, int top, int right, int bottom)
{
    return (right - left) * (bottom - top) - p.Count(kPanel, left, top, right, bottom);
}

class TCDisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterControlClasses(GetModuleHandleA(NULL));
        font_ = CreateDisplayFont();
    }
    static void TearDownTestSuite() { DeleteObject(font_); }

    void SetUp() override
    {
        parent_ = CreateParent(400, 120);
        display_ = Make(SS_RIGHT, 88, 16);
        PumpMessages();
        ParentNotes.clear();
    }
    void TearDown() override
    {
        DestroyWindow(parent_);
        PumpMessages();
        ParentNotes.clear();
    }

    HWND Make(DWORD style, int width, int height)
    {
        return CreateWindowExA(0, TCDISPLAY_CLASS, "", WS_CHILD | WS_VISIBLE | style, 10, 10, width,
                               height, parent_, (HMENU)IDC_TCDISPLAY, GetModuleHandleA(NULL), NULL);
    }
    HWND Remake(DWORD style, int width, int height, const char *text)
    {
        DestroyWindow(display_);
        display_ = Make(style, width, height);
        SendMessageA(display_, WM_SETFONT, (WPARAM)font_, 0);
        SetWindowTextA(display_, text);
        return display_;
    }
    int EnabledFlag() const { return (SHORT)GetWindowWord(display_, TCDISPLAY_ENABLED_OFFSET); }
    HGDIOBJ StoredFont() const { return (HGDIOBJ)GetWindowLongPtrA(display_, TCDISPLAY_FONT_OFFSET); }
    bool HasUpdateRegion() const { return GetUpdateRect(display_, NULL, FALSE) != 0; }
    int Refreshes() const { return TakeQueued(display_, WM_TCDISPLAY_REFRESH); }

    static HFONT font_;
    HWND parent_ = NULL, display_ = NULL;
};

HFONT TCDisplayTest::font_ = NULL;

TEST_F(TCDisplayTest, StartsWithTheDefaultFontAndTheEnabledFlagOfItsStyle)
{
    EXPECT_EQ(GetStockObject(DEVICE_DEFAULT_FONT), StoredFont());
    EXPECT_EQ(1, EnabledFlag());
    DestroyWindow(display_);
    display_ = Make(SS_RIGHT | WS_DISABLED, 88, 16);
    EXPECT_EQ(0, EnabledFlag());
}

// A change never invalidates at once; the refresh it posts does, with erasing.
TEST_F(TCDisplayTest, SetTextPostsARefreshInsteadOfInvalidating)
{
    ASSERT_FALSE(HasUpdateRegion());
    EXPECT_EQ(TRUE, SendMessageA(display_, WM_SETTEXT, 0, (LPARAM)" 01:02:03:04"));
    EXPECT_FALSE(HasUpdateRegion());
    MSG refresh;
    ASSERT_TRUE(PeekMessageA(&refresh, display_, WM_TCDISPLAY_REFRESH, WM_TCDISPLAY_REFRESH,
                             PM_REMOVE));
    EXPECT_EQ(0u, refresh.wParam);
    EXPECT_EQ(0, refresh.lParam);
    char text[32];
    GetWindowTextA(display_, text, sizeof text);
    EXPECT_STREQ(" 01:02:03:04", text);

    EXPECT_EQ(1, SendMessageA(display_, WM_TCDISPLAY_REFRESH, 0, 0));
    EXPECT_TRUE(HasUpdateRegion());
}

TEST_F(TCDisplayTest, EnableChangesTheFlagAndRefreshesOnlyOnAChange)
{
    struct Step {
        WPARAM wParam;
        int flag, refreshes;
    } steps[] = {{0, 0, 1}, {0, 0, 0}, {5, 1, 1}, {1, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (const Step &s : steps) {
        EXPECT_EQ(0, SendMessageA(display_, WM_ENABLE, s.wParam, 0));
        EXPECT_EQ(s.flag, EnabledFlag()) << s.wParam;
        EXPECT_EQ(s.refreshes, Refreshes()) << s.wParam;
    }
}

TEST_F(TCDisplayTest, SetFontWithoutRedrawStillRefreshes)
{
    EXPECT_EQ(0, SendMessageA(display_, WM_SETFONT, (WPARAM)font_, FALSE));
    EXPECT_EQ(font_, StoredFont());
    EXPECT_EQ(1, Refreshes());
    EXPECT_FALSE(HasUpdateRegion());
}

TEST_F(TCDisplayTest, ClickSendsOneCommandWithoutTakingTheFocus)
{
    HWND other = CreateWindowExA(0, "BUTTON", "other", WS_CHILD | WS_VISIBLE, 250, 40, 60, 20,
                                 parent_, NULL, GetModuleHandleA(NULL), NULL);
    SetFocus(other);
    ASSERT_EQ(other, GetFocus());
    EXPECT_EQ(0, SendMessageA(display_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)));
    EXPECT_EQ(other, GetFocus());
    EXPECT_EQ(NULL, GetCapture());
    std::vector<Note> expected = {{WM_COMMAND, IDC_TCDISPLAY, (LPARAM)display_, false}};
    EXPECT_EQ(expected, ParentNotes) << Describe(ParentNotes);
    PumpMessages();
    EXPECT_EQ(expected, ParentNotes) << Describe(ParentNotes);
}

TEST_F(TCDisplayTest, KeysReachTheParentUnchanged)
{
    const LPARAM down = 0x00410001, up = (LPARAM)0xC0410001;
    EXPECT_EQ(0, SendMessageA(display_, WM_KEYDOWN, VK_LEFT, down));
    EXPECT_EQ(0, SendMessageA(display_, WM_KEYUP, VK_LEFT, up));
    EXPECT_EQ(0, SendMessageA(display_, WM_KEYDOWN, VK_SPACE, 0x40390001));
    PumpMessages();
    std::vector<Note> expected = {{WM_KEYDOWN, VK_LEFT, down, false},
                                  {WM_KEYUP, VK_LEFT, up, false},
                                  {WM_KEYDOWN, VK_SPACE, 0x40390001, false}};
    EXPECT_EQ(expected, ParentNotes) << Describe(ParentNotes);
}

// Where the text lands, by alignment and state: counted in the left, middle and right thirds.
TEST_F(TCDisplayTest, PaintsTheTextAlignedOrAPlainPanel)
{
    struct Case {
        const char *name;
        DWORD style;
        bool disabled;
        const char *text;
        bool left, middle, right;
    } cases[] = {
        {"right", SS_RIGHT, false, "8888", false, false, true},
        {"left", SS_LEFT, false, "8888", true, false, false},
        {"centre", SS_CENTER, false, "88", false, true, false},
        {"empty", SS_RIGHT, false, "", false, false, false},
        {"disabled", SS_RIGHT, true, "88:88:88:88", false, false, false},
        {"alignment 3", 3, false, "88:88:88:88", false, false, false},
    };
    const int width = 150, height = 16;
    for (const Case &c : cases) {
        Remake(c.style, width, height, c.text);
        if (c.disabled)
            SendMessageA(display_, WM_ENABLE, FALSE, 0);
        Pixels p = Capture(display_);
        ASSERT_EQ(width, p.width);
        int third = width / 3;
        int inkLeft = Ink(p, 0, 0, third, height);
        int inkMiddle = Ink(p, third, 0, 2 * third, height);
        int inkRight = Ink(p, 2 * third, 0, width, height);
        EXPECT_EQ(c.left, inkLeft > 0) << c.name;
        EXPECT_EQ(c.middle, inkMiddle > 0) << c.name;
        EXPECT_EQ(c.right, inkRight > 0) << c.name;
        if (c.left || c.middle || c.right) {
            EXPECT_GT(p.Count(RGB(0, 0, 0), 0, 0, width, height), 0) << c.name << ": black text";
        }
    }
}

TEST_F(TCDisplayTest, RightAlignedTextEndsBeforeTheRightInset)
{
    Remake(SS_RIGHT, 88, 16, "88:88");
    Pixels p = Capture(display_);
    EXPECT_EQ(0, Ink(p, 86, 0, 88, 16));  // text area ends 2 pixels short of the edge
    EXPECT_GT(Ink(p, 70, 0, 86, 16), 0);
    EXPECT_EQ(0, Ink(p, 0, 14, 88, 16));  // nor into the last two rows
}

TEST_F(TCDisplayTest, LongTextWrapsAtWordsFromTheTop)
{
    Remake(SS_LEFT, 60, 80, "00 11 22 33 44");
    Pixels p = Capture(display_);
    int firstInkRow = -1, lastInkRow = -1;
    for (int y = 0; y < p.height; ++y) {
        if (Ink(p, 0, y, p.width, y + 1) > 0) {
            if (firstInkRow < 0)
                firstInkRow = y;
            lastInkRow = y;
        }
    }
    EXPECT_GE(firstInkRow, 0);
    EXPECT_LT(firstInkRow, 6) << "drawn from the top";
    EXPECT_GT(lastInkRow, 30) << "more than two lines";
}

// A system whose font for the name asked is wider than the panel: the whole timecode is drawn
// in a smaller copy of the given font, which stays the given one.
TEST_F(TCDisplayTest, TextTooLargeForTheGivenFontIsDrawnWholeInASmallerCopy)
{
    struct Case {
        const char *name;
        int height;  // of the given font, in pixels
        const char *face;
    } cases[] = {
        {"character height", -28, "Tahoma"},
        {"fixed pitch", -20, "Courier New"},
        {"cell height", 30, "Arial"},
    };
    for (const Case &c : cases) {
        HFONT large = CreateFontA(c.height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                  PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, c.face);
        Remake(SS_RIGHT, 88, 16, "");
        SendMessageA(display_, WM_SETFONT, (WPARAM)large, 0);
        SetWindowTextA(display_, "00:00:00:10");
        Pixels p = Capture(display_);
        int leftmost = -1;
        for (int x = 0; x < p.width && leftmost < 0; x++) {
            if (Ink(p, x, 0, x + 1, p.height) > 0)
                leftmost = x;
        }
        // Not cut at the left edge of the text area, and not shrunk to a speck.
        EXPECT_GT(leftmost, 1) << c.name;
        EXPECT_LT(leftmost, 40) << c.name;
        // All eleven characters: runs of columns with dark pixels, smoothed edges aside.
        int characters = 0;
        bool inCharacter = false;
        for (int x = 0; x < p.width; x++) {
            bool dark = false;
            for (int y = 0; y < p.height; y++)
                dark = dark || GetGValue(p.At(x, y)) < 96;
            characters += dark && !inCharacter;
            inCharacter = dark;
        }
        EXPECT_GE(characters, 10) << c.name;  // two might touch at a small bold size
        EXPECT_EQ((HGDIOBJ)large, StoredFont()) << c.name;
        EXPECT_TRUE(GetWindowLongPtrA(display_, TCDISPLAY_FITTED_FONT_OFFSET) != 0) << c.name;

        // Given a font that fits (a small one, whatever faces the system has), the copy goes.
        HFONT small = CreateFontA(-8, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                  PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
        SendMessageA(display_, WM_SETFONT, (WPARAM)small, 0);
        EXPECT_EQ(0, GetWindowLongPtrA(display_, TCDISPLAY_FITTED_FONT_OFFSET)) << c.name;
        // A wider panel fits the text in the given font itself.
        SendMessageA(display_, WM_SETFONT, (WPARAM)large, 0);
        SetWindowPos(display_, NULL, 0, 0, 390, 60, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(0, GetWindowLongPtrA(display_, TCDISPLAY_FITTED_FONT_OFFSET)) << c.name;
        DestroyWindow(display_);
        display_ = NULL;
        DeleteObject(large);
        DeleteObject(small);
    }
}

TEST(ControlClasses, UnregisterRemovesBothAndRegisterBringsThemBack)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSA wc;
    EXPECT_TRUE(RegisterControlClasses(instance));
    EXPECT_TRUE(UnregisterControlClasses(instance));
    EXPECT_FALSE(GetClassInfoA(instance, TRACKER_CLASS, &wc));
    EXPECT_FALSE(GetClassInfoA(instance, TCDISPLAY_CLASS, &wc));
    EXPECT_TRUE(UnregisterControlClasses(instance));  // a second time is harmless
    EXPECT_TRUE(RegisterControlClasses(instance));
    EXPECT_TRUE(GetClassInfoA(instance, TRACKER_CLASS, &wc));
    EXPECT_TRUE(GetClassInfoA(instance, TCDISPLAY_CLASS, &wc));
}

}  // namespace
