// The Tracker as the Player window uses it: real windows, real messages, notifications recorded
// at the parent, knob pixels read back.
#include <gtest/gtest.h>

#include "controls/controls.h"
#include "harness.h"

namespace {

const int kTrackWidth = 210;  // usable track 200 pixels: two pixels per value of 0..100
const COLORREF kFrame = RGB(127, 127, 127);
const COLORREF kFace = RGB(207, 207, 207);
const COLORREF kGrooveOutline = RGB(192, 192, 192);
const COLORREF kGrooveInside = RGB(219, 219, 219);
const COLORREF kKnobCorner = RGB(192, 192, 192);
const COLORREF kKnobFace = RGB(185, 185, 185);
const COLORREF kFocusedKnobFace = RGB(66, 154, 252);

Note Posted(int value)
{
    return {WM_COMMAND, IDC_TRACKER, (LPARAM)(LONG)(SHORT)value, true};
}

Note Released(int value)
{
    return {WM_COMMAND, IDC_TRACKER, (LPARAM)(LONG)(SHORT)value | TRACKER_RELEASE_FLAG, false};
}

class TrackerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterControlClasses(GetModuleHandleA(NULL)); }

    void SetUp() override
    {
        parent_ = CreateParent(400, 80);
        tracker_ = Make(kTrackWidth);
        PumpMessages();
        ParentNotes.clear();
    }
    void TearDown() override
    {
        // Ends any drag a test left running: the dragging flag is process-wide.
        SendMessageA(tracker_, WM_LBUTTONUP, 0, 0);
        DestroyWindow(parent_);
        PumpMessages();
        ParentNotes.clear();
    }

    HWND Make(int width, int height = 12, const char *text = "0")
    {
        return CreateWindowExA(0, TRACKER_TEMPLATE_CLASS, text, WS_CHILD | WS_VISIBLE, 10, 20, width,
                               height, parent_, (HMENU)IDC_TRACKER, GetModuleHandleA(NULL), NULL);
    }
    int Word(int offset) const { return (SHORT)GetWindowWord(tracker_, offset); }
    int Knob() const { return Word(TRACKER_KNOB_OFFSET); }
    int Value() const { return Word(TRACKER_VALUE_OFFSET); }
    int Minimum() const { return Word(TRACKER_MIN_OFFSET); }
    int Maximum() const { return Word(TRACKER_MAX_OFFSET); }

    LRESULT SetText(WPARAM which, const char *text)
    {
        return SendMessageA(tracker_, WM_SETTEXT, which, (LPARAM)text);
    }
    // What the Player window sends at WM_INITDIALOG: value, minimum, maximum.
    void SetUpAsPlayer()
    {
        SetText(TRACKER_SET_VALUE, "0");
        SetText(TRACKER_SET_MINIMUM, "0");
        SetText(TRACKER_SET_MAXIMUM, "100");
    }
    void Mouse(UINT message, int x) { SendMessageA(tracker_, message, 0, MAKELPARAM((WORD)x, 8)); }
    std::vector<Note> TakeNotes()
    {
        PumpMessages();
        std::vector<Note> notes = ParentNotes;
        ParentNotes.clear();
        return notes;
    }
    bool HasUpdateRegion() const { return GetUpdateRect(tracker_, NULL, FALSE) != 0; }

    HWND parent_ = NULL, tracker_ = NULL;
};

#define EXPECT_NOTES(expected, actual)                                                         \
    EXPECT_EQ(expected, actual) << "expected:\n" << Describe(expected) << "got:\n" << Describe(actual)

TEST_F(TrackerTest, ClassesAreRegisteredAsDescribed)
{
    WNDCLASSEXA tracker = {}, display = {};
    tracker.cbSize = display.cbSize = sizeof(WNDCLASSEXA);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), TRACKER_CLASS, &tracker));
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), TCDISPLAY_CLASS, &display));
    EXPECT_EQ(UINT(CS_GLOBALCLASS | CS_DBLCLKS), tracker.style);
    EXPECT_EQ(8, tracker.cbWndExtra);
    EXPECT_EQ(UINT(CS_GLOBALCLASS), display.style);
    // Two pointer-sized font slots from 12: the given font and the fitted copy.
    EXPECT_EQ(sizeof(void *) == 8 ? 28 : 16, display.cbWndExtra);
    for (const WNDCLASSEXA *wc : {&tracker, &display}) {
        EXPECT_EQ(0, wc->cbClsExtra);
        EXPECT_EQ(NULL, wc->hbrBackground);
        EXPECT_EQ(LoadCursorA(NULL, IDC_ARROW), wc->hCursor);
    }
}

TEST_F(TrackerTest, CreationTextIsNeverParsedAndHeightFitsTheGroove)
{
    struct Case {
        int width;
        const char *text;
        int knob;
    } cases[] = {{210, "0", 105}, {211, "55", 105}, {64, "-9", 32}};
    for (const Case &c : cases) {
        DestroyWindow(tracker_);
        tracker_ = Make(c.width, 40, c.text);
        RECT r;
        GetClientRect(tracker_, &r);
        EXPECT_EQ(16, r.bottom) << c.text;
        EXPECT_EQ(c.width, r.right) << c.text;
        EXPECT_EQ(0, Value()) << c.text;
        EXPECT_EQ(-127, Minimum()) << c.text;
        EXPECT_EQ(127, Maximum()) << c.text;
        EXPECT_EQ(c.knob, Knob()) << c.text;
    }
    EXPECT_TRUE(TakeNotes().empty());
}

TEST_F(TrackerTest, PlayerSetUpLeavesValueZeroAndKnobAtFive)
{
    SetUpAsPlayer();
    EXPECT_EQ(0, Value());
    EXPECT_EQ(0, Minimum());
    EXPECT_EQ(100, Maximum());
    EXPECT_EQ(5, Knob());
    char text[16];
    GetWindowTextA(tracker_, text, sizeof text);
    EXPECT_STREQ("100", text);  // the default procedure keeps the last text
    EXPECT_TRUE(TakeNotes().empty());
}

TEST_F(TrackerTest, SetTextClampsTheValueIntoTheRange)
{
    struct Case {
        WPARAM which;
        const char *text;
        int value, minimum, maximum, knob;
    } steps[] = {
        {TRACKER_SET_VALUE, "150", 100, 0, 100, 205},
        {TRACKER_SET_VALUE, "-3", 0, 0, 100, 5},
        {TRACKER_SET_VALUE, " +42 frames", 42, 0, 100, 89},
        {TRACKER_SET_VALUE, "abc", 0, 0, 100, 5},
        {TRACKER_SET_MINIMUM, "20", 20, 20, 100, 5},        // the value rises with the minimum
        {TRACKER_SET_MAXIMUM, "10", 10, 20, 10, 205},       // minimum above maximum: maximum wins
        {(WPARAM)-7, "-50", 10, -50, 10, 205},              // any negative wParam sets the minimum
        {(WPARAM)3, "70000", 10, -50, 4464, 7},             // low 16 bits of 70000
    };
    SetUpAsPlayer();
    for (const Case &s : steps) {
        EXPECT_EQ(TRUE, SetText(s.which, s.text)) << s.text;
        EXPECT_EQ(s.value, Value()) << s.text;
        EXPECT_EQ(s.minimum, Minimum()) << s.text;
        EXPECT_EQ(s.maximum, Maximum()) << s.text;
        EXPECT_EQ(s.knob, Knob()) << s.text;
    }
}

TEST_F(TrackerTest, SetTextRepaintsOnlyWhenTheKnobMoves)
{
    SetText(TRACKER_SET_MINIMUM, "0");
    SetText(TRACKER_SET_MAXIMUM, "1000");  // five values per pixel
    PumpMessages();
    ASSERT_FALSE(HasUpdateRegion());
    SetText(TRACKER_SET_VALUE, "3");
    EXPECT_EQ(3, Value());
    EXPECT_EQ(5, Knob());
    EXPECT_FALSE(HasUpdateRegion());
    SetText(TRACKER_SET_VALUE, "500");
    EXPECT_EQ(105, Knob());
    EXPECT_TRUE(HasUpdateRegion());
}

TEST_F(TrackerTest, PressPutsTheKnobUnderThePointerAndPostsTheValue)
{
    struct Case {
        int x, value, knob;
    } cases[] = {
        {0, 0, 5},  // the value it already had: posted all the same
        {-3, 0, 5},     {5, 0, 5},     {6, 1, 6},  // 0.5 rounds up
        {7, 1, 7},      {8, 2, 8},     {105, 50, 105},
        {205, 100, 205}, {206, 100, 205}, {32000, 100, 205},
    };
    SetUpAsPlayer();
    for (const Case &c : cases) {
        Mouse(WM_LBUTTONDOWN, c.x);
        EXPECT_EQ(c.value, Value()) << c.x;
        EXPECT_EQ(c.knob, Knob()) << c.x;
        EXPECT_EQ(tracker_, GetCapture()) << c.x;
        EXPECT_EQ(tracker_, GetFocus()) << c.x;
        Mouse(WM_LBUTTONUP, c.x);
        EXPECT_EQ(NULL, GetCapture()) << c.x;
        std::vector<Note> expected = {Released(c.value), Posted(c.value)};
        EXPECT_NOTES(expected, TakeNotes());
    }
}

TEST_F(TrackerTest, DragSnapsTheKnobToWholeValuesAndPostsEachChange)
{
    struct Step {
        UINT message;
        int x, value, knob;
        std::vector<Note> notes;
    } steps[] = {
        {WM_LBUTTONDOWN, 5, 0, 5, {Posted(0)}},
        {WM_MOUSEMOVE, 6, 1, 7, {Posted(1)}},  // the pixel of value 1, not the pointer's
        {WM_MOUSEMOVE, 7, 1, 7, {}},           // no change of value, nothing posted
        {WM_MOUSEMOVE, 8, 2, 9, {Posted(2)}},
        {WM_MOUSEMOVE, 500, 100, 205, {Posted(100)}},
        {WM_MOUSEMOVE, -40, 0, 5, {Posted(0)}},
        {WM_MOUSEMOVE, 30, 13, 31, {Posted(13)}},
        {WM_LBUTTONUP, 30, 13, 31, {Released(13)}},
        {WM_MOUSEMOVE, 100, 13, 31, {}},       // the drag is over
    };
    SetUpAsPlayer();
    for (const Step &s : steps) {
        Mouse(s.message, s.x);
        EXPECT_EQ(s.value, Value()) << s.x;
        EXPECT_EQ(s.knob, Knob()) << s.x;
        EXPECT_NOTES(s.notes, TakeNotes());
    }
}

TEST_F(TrackerTest, MovesWithoutADragChangeNothing)
{
    SetUpAsPlayer();
    PumpMessages();
    Mouse(WM_MOUSEMOVE, 150);
    EXPECT_EQ(0, Value());
    EXPECT_EQ(5, Knob());
    EXPECT_FALSE(HasUpdateRegion());
    EXPECT_TRUE(TakeNotes().empty());
}

TEST_F(TrackerTest, RightReleaseReportsAndLeavesTheDragRunning)
{
    SetUpAsPlayer();
    Mouse(WM_LBUTTONDOWN, 45);
    Mouse(WM_RBUTTONUP, 45);
    EXPECT_EQ(tracker_, GetCapture());
    Mouse(WM_MOUSEMOVE, 65);
    std::vector<Note> expected = {Released(20), Posted(20), Posted(30)};
    EXPECT_NOTES(expected, TakeNotes());

    Mouse(WM_LBUTTONUP, 65);
    Mouse(WM_RBUTTONUP, 65);  // without a drag it still reports
    expected = {Released(30), Released(30)};
    EXPECT_NOTES(expected, TakeNotes());
}

// Another window taking the mouse (a menu, a message box, Alt+Tab) ends the drag: later plain
// moves neither move the knob nor seek.
TEST_F(TrackerTest, LosingTheCaptureEndsTheDrag)
{
    struct Case {
        const char *name;
        bool toParent;  // captured by another window, or released by someone else
    } cases[] = {{"taken", true}, {"released", false}};
    for (const Case &c : cases) {
        SetUpAsPlayer();
        Mouse(WM_LBUTTONDOWN, 45);
        Mouse(WM_MOUSEMOVE, 65);
        ASSERT_EQ(tracker_, GetCapture());
        if (c.toParent)
            SetCapture(parent_);
        else
            ReleaseCapture();
        TakeNotes();
        Mouse(WM_MOUSEMOVE, 125);
        EXPECT_EQ(30, Value()) << c.name;
        EXPECT_EQ(65, Knob()) << c.name;
        EXPECT_TRUE(TakeNotes().empty()) << c.name;
        ReleaseCapture();
        // A new press drags again.
        Mouse(WM_LBUTTONDOWN, 25);
        Mouse(WM_MOUSEMOVE, 45);
        std::vector<Note> expected = {Posted(10), Posted(20)};
        EXPECT_NOTES(expected, TakeNotes());
        Mouse(WM_LBUTTONUP, 45);
        TakeNotes();
    }
}

TEST_F(TrackerTest, DoubleClickStartsNoDragButItsReleaseReports)
{
    SetUpAsPlayer();
    Mouse(WM_LBUTTONDOWN, 25);
    Mouse(WM_LBUTTONUP, 25);
    TakeNotes();
    Mouse(WM_LBUTTONDBLCLK, 125);
    Mouse(WM_MOUSEMOVE, 125);
    EXPECT_EQ(10, Value());
    EXPECT_EQ(NULL, GetCapture());
    Mouse(WM_LBUTTONUP, 125);
    std::vector<Note> expected = {Released(10)};
    EXPECT_NOTES(expected, TakeNotes());
}

TEST_F(TrackerTest, NegativeValuesAreSignExtended)
{
    SetText(TRACKER_SET_MINIMUM, "-50");
    SetText(TRACKER_SET_MAXIMUM, "50");
    Mouse(WM_LBUTTONDOWN, 0);
    Mouse(WM_LBUTTONUP, 0);
    std::vector<Note> notes = TakeNotes();
    ASSERT_EQ(2u, notes.size()) << Describe(notes);
    for (const Note &n : notes) {
        EXPECT_EQ(0xFFFF, HIWORD(n.lParam)) << Describe(notes);
        EXPECT_EQ(-50, (SHORT)LOWORD(n.lParam));
    }
}

// An empty range or a track of 10 pixels or less must neither fault nor divide by zero.
TEST_F(TrackerTest, DegenerateRangesAndWidthsStayOnTheMinimum)
{
    struct Case {
        int width;
        const char *minimum, *maximum;
        int value, knob;
    } cases[] = {
        {210, "10", "10", 10, 5},
        {10, "0", "100", 0, 5},
        {8, "0", "100", 0, 5},
        {0, "0", "100", 0, 5},
    };
    for (const Case &c : cases) {
        DestroyWindow(tracker_);
        tracker_ = Make(c.width);
        SetText(TRACKER_SET_MINIMUM, c.minimum);
        SetText(TRACKER_SET_MAXIMUM, c.maximum);
        SetText(TRACKER_SET_VALUE, "50");
        Mouse(WM_LBUTTONDOWN, 7);
        EXPECT_EQ(c.value, Value()) << c.width;
        Mouse(WM_MOUSEMOVE, 100);
        EXPECT_EQ(c.value, Value()) << c.width;
        Mouse(WM_LBUTTONUP, 100);
        EXPECT_EQ(c.knob, Knob()) << c.width;
        PumpMessages();  // and paints without fault
        TakeNotes();
    }
}

TEST_F(TrackerTest, ResizingDoesNotMoveTheKnob)
{
    SetUpAsPlayer();
    SetText(TRACKER_SET_VALUE, "50");
    ASSERT_EQ(105, Knob());
    MoveWindow(tracker_, 10, 20, 330, 16, TRUE);
    EXPECT_EQ(105, Knob());
    SetText(TRACKER_SET_VALUE, "50");
    EXPECT_EQ(165, Knob());
}

TEST_F(TrackerTest, PaintsTheGrooveAcrossItsWidthAndTheKnobAtItsPosition)
{
    SetUpAsPlayer();
    SetText(TRACKER_SET_VALUE, "50");
    Pixels p = Capture(tracker_);
    ASSERT_EQ(kTrackWidth, p.width);
    ASSERT_EQ(16, p.height);
    struct Spot {
        int x, y;
        COLORREF colour;
    } spots[] = {
        {0, 8, kFrame},          {3, 0, kFrame},           {3, 15, kFrame},
        {3, 3, kFace},           {5, 7, kGrooveOutline},   {7, 7, kGrooveInside},
        {60, 5, kGrooveOutline}, {60, 7, kGrooveInside},   {60, 10, kGrooveOutline},
        {60, 12, kFace},         {202, 7, kGrooveInside},  {204, 7, kGrooveOutline},
        {206, 7, kFace},
        {209, 8, kFrame},        {105, 8, kKnobFace},      {100, 2, kKnobCorner},
        {101, 2, RGB(72, 72, 72)},
    };
    for (const Spot &s : spots)
        EXPECT_EQ(s.colour, p.At(s.x, s.y)) << s.x << "," << s.y;
}

TEST_F(TrackerTest, FocusRepaintsTheKnobWithItsFocusedImage)
{
    SetUpAsPlayer();
    SetText(TRACKER_SET_VALUE, "50");
    HWND other = CreateWindowExA(0, "BUTTON", "other", WS_CHILD | WS_VISIBLE, 250, 40, 60, 20,
                                 parent_, NULL, GetModuleHandleA(NULL), NULL);
    SetFocus(other);
    EXPECT_EQ(kKnobFace, Capture(tracker_).At(105, 8));
    SetFocus(tracker_);
    ASSERT_EQ(tracker_, GetFocus());
    EXPECT_EQ(kFocusedKnobFace, Capture(tracker_).At(105, 8));
    SetFocus(other);
    EXPECT_EQ(kKnobFace, Capture(tracker_).At(105, 8));
}

}  // namespace
