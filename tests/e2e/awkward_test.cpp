// Whatever reaches the Player window at an awkward moment is answered: while the slowest file of
// the corpus opens and while a clip plays, other programs and the user maximize, restore,
// minimize, size and move the window, drag its edge, close it, drop a second file, open the menu
// and the dialogs, send remote requests and press the hot keys. Another thread keeps asking the
// window for an answer throughout; no answer may take a second. Afterwards the file is open and a
// paused locate shows exactly the frame asked for.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>

#include "platform/remote.h"
#include "resources/resource.h"
#include "tests/e2e/support.h"

using namespace e2e;

namespace {

const char SLOW_FILE[] = "corpus/h264-aac-1080p.mp4";  // the corpus file that takes longest to open
const int SLOW_FILE_FRAMES = 50;
const char PLAYING_CLIP[] = "tone25.mp4";
const int PLAYING_CLIP_FRAMES = 500;
const char DROPPED_CLIP[] = "long25.mp4";
const int DROPPED_CLIP_FRAMES = 400;
const int RATE = 25;
const int LOCATE_FRAME = 30;
const DWORD STALL_LIMIT_MS = 1000;
const DWORD ANSWER_MS = 5000;  // a paused locate waits for its picture before it answers
const DWORD BURST_MS = 2500;  // actions keep coming for this long after the window appears
const DWORD BURST_PAUSE_MS = 20;

// The packed timecode of a frame at 25 fps, as remote locates take it.
LPARAM PackedFrame(int frame)
{
    int seconds = frame / RATE;
    return ((seconds / 3600) << 24) | ((seconds / 60 % 60) << 16) | ((seconds % 60) << 8) |
           (frame % RATE);
}

bool Remote(HWND window, WPARAM request, LPARAM parameter = 0, DWORD_PTR *answer = NULL)
{
    DWORD_PTR result = 0;
    bool answered = SendMessageTimeoutA(window, WM_REMOTE_CONTROL, request, parameter,
                                        SMTO_NORMAL, ANSWER_MS, &result) != 0;
    if (answer)
        *answer = result;
    return answered;
}

// The window's size changes the way a window manager or another program makes them: posted to
// the window's thread, so that a player that no longer answers cannot stop the test too.
void ShowAs(HWND window, int how) { ShowWindowAsync(window, how); }

void PlaceAt(HWND window, int x, int y, int width, int height)
{
    SetWindowPos(window, NULL, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

// The mouse at a point of the screen, pressed or let go, as SendInput gives it.
void MouseAt(int x, int y, DWORD button)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    SendInput(1, &input, sizeof input);
}

// A second file dropped on the window from another program: the drop's memory is written into
// the player's process, where DragQueryFile reads it.
bool DropFile(HWND window, DWORD pid, const std::string &path)
{
    std::vector<char> drop(sizeof(DROPFILES) + path.size() + 2, 0);
    DROPFILES *files = (DROPFILES *)drop.data();
    files->pFiles = sizeof(DROPFILES);
    memcpy(drop.data() + sizeof(DROPFILES), path.c_str(), path.size());
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void *there = VirtualAllocEx(process, NULL, drop.size(), MEM_COMMIT, PAGE_READWRITE);
    bool written = there && WriteProcessMemory(process, there, drop.data(), drop.size(), NULL);
    CloseHandle(process);
    return written && PostMessageA(window, WM_DROPFILES, (WPARAM)there, 0);
}

struct Action {
    const char *name;
    // Done again and again while the file opens (or plays); the step counts from 0.
    std::function<void(const e2e::Player &, int step)> act;
    // Afterwards, when the action leaves something to end or check: true when all is well.
    std::function<bool(e2e::Player &)> after;
};

void PrintTo(const Action &action, std::ostream *out) { *out << action.name; }

// The popup menu of the player's process, while it is up.
HWND PopupMenuOf(const e2e::Player &player)
{
    for (HWND menu = FindWindowA("#32768", NULL); menu; menu = FindWindowExA(NULL, menu, "#32768", NULL)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(menu, &pid);
        if (pid == player.Pid() && IsWindowVisible(menu))
            return menu;
    }
    return NULL;
}

bool DialogClosed(const e2e::Player &player, const char *title)
{
    HWND dialog = player.WaitForDialog(title);
    if (!dialog)
        return false;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return WaitFor([&] { return !IsWindow(dialog); }, ANSWER_MS * 5);
}

bool NoDialogOrClosed(const e2e::Player &player, const char *title)
{
    HWND dialog = player.WaitForDialog(title);
    if (dialog)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return !dialog || WaitFor([&] { return !IsWindow(dialog); }, ANSWER_MS * 5);
}

bool Restored(e2e::Player &player)
{
    ShowAs(player.Window(), SW_RESTORE);
    return WaitFor([&] { return !IsIconic(player.Window()) && !IsZoomed(player.Window()); },
                   ANSWER_MS * 5);
}

const Action ACTIONS[] = {
    {"maximize",
     [](const e2e::Player &p, int) { ShowAs(p.Window(), SW_MAXIMIZE); },
     [](e2e::Player &p) { return WaitFor([&] { return IsZoomed(p.Window()) != 0; }, 5000); }},
    {"maximize_and_restore",
     [](const e2e::Player &p, int step) { ShowAs(p.Window(), step % 2 ? SW_RESTORE : SW_MAXIMIZE); },
     Restored},
    {"minimize_and_restore",
     [](const e2e::Player &p, int step) {
         ShowAs(p.Window(), step % 2 ? SW_RESTORE : SW_MINIMIZE);
     },
     Restored},
    {"size",
     [](const e2e::Player &p, int step) { PlaceAt(p.Window(), 20, 100, 480 + step % 40 * 8, 400); },
     nullptr},
    {"move",
     [](const e2e::Player &p, int step) { PlaceAt(p.Window(), 20 + step % 30 * 10, 100, 480, 400); },
     nullptr},
    {"edge_drag",
     [](const e2e::Player &p, int step) {
         RECT r;
         GetWindowRect(p.Window(), &r);
         if (step % 4 == 0)
             MouseAt(r.right - 2, r.bottom - 2, MOUSEEVENTF_LEFTDOWN);
         else if (step % 4 == 3)
             MouseAt(r.right + 10, r.bottom + 10, MOUSEEVENTF_LEFTUP);
         else
             MouseAt(r.right + 10 * (step % 4), r.bottom + 10 * (step % 4), 0);
     },
     [](e2e::Player &) {
         MouseAt(600, 900, MOUSEEVENTF_LEFTUP);
         return true;
     }},
    {"drop_second_file",
     [](const e2e::Player &p, int step) {
         if (step == 0)
             DropFile(p.Window(), p.Pid(), Clip(DROPPED_CLIP));
     },
     nullptr},
    {"menu",
     [](const e2e::Player &p, int step) {
         if (step == 0)
             PostMessageA(p.Window(), WM_COMMAND, IDC_MENU, 0);
     },
     [](e2e::Player &p) {
         // The menu comes up once the open is over; Escape closes it.
         HWND menu = NULL;
         if (!WaitFor([&] { return (menu = PopupMenuOf(p)) != NULL; }, ANSWER_MS))
             return false;
         return WaitFor(
             [&] {
                 if (!IsWindowVisible(menu))
                     return true;
                 p.Activate();
                 PressKey(VK_ESCAPE);
                 return false;
             },
             ANSWER_MS);
     }},
    {"options_dialog_posted",
     [](const e2e::Player &p, int step) {
         if (step == 0)
             PostMessageA(p.Window(), WM_COMMAND, IDM_OPTIONS, 0);
     },
     [](e2e::Player &p) { return DialogClosed(p, "Options"); }},
    {"playback_dialog_sent",
     [](const e2e::Player &p, int step) {
         // Sent, as another program may: the dialog must not run inside the open.
         if (step == 0)
             SendMessageTimeoutA(p.Window(), WM_COMMAND, IDM_PLAYBACK, 0, SMTO_NORMAL,
                                 ANSWER_MS, NULL);
     },
     [](e2e::Player &p) { return NoDialogOrClosed(p, "Playback"); }},
    {"remote_requests",
     [](const e2e::Player &p, int step) {
         static const WPARAM requests[] = {(WPARAM)REMOTE_QUERY_LENGTH, REMOTE_QUERY_TIMECODE,
                                           REMOTE_QUERY_SPEED, REMOTE_STEP, REMOTE_LOCATE};
         Remote(p.Window(), requests[step % 5], step % 5 == 4 ? PackedFrame(10) : 1);
     },
     nullptr},
    {"hot_keys",
     [](const e2e::Player &, int step) {
         // F11 twice: paused and playing again; F12 into whatever is in front.
         if (step < 2)
             PressKey(VK_F11);
         else if (step == 2)
             PressKey(VK_F12);
     },
     nullptr},
};

// The moments after the open: what the player is doing when the actions come.
struct Moment {
    const char *name;
    const char *clip;
    int frames;
    bool picture;        // a video: the picture is checked too
    const char *extra;   // more settings
    WPARAM request;      // sent once the clip plays, 0 for none
};

void PrintTo(const Moment &moment, std::ostream *out) { *out << moment.name; }

const Moment MOMENTS[] = {
    {"playing", PLAYING_CLIP, PLAYING_CLIP_FRAMES, true, "", 0},
    {"paused", PLAYING_CLIP, PLAYING_CLIP_FRAMES, true, "", REMOTE_PAUSE},
    {"winding", PLAYING_CLIP, PLAYING_CLIP_FRAMES, true, "", REMOTE_FORWARD},
    {"playing_at_60", PLAYING_CLIP, PLAYING_CLIP_FRAMES, true, "[Playback]\r\nSpeed=60\r\n", 0},
    {"playing_at_150", PLAYING_CLIP, PLAYING_CLIP_FRAMES, true, "[Playback]\r\nSpeed=150\r\n",
     0},
    // Five minutes of sound: its waveform is still being read.
    {"reading_a_waveform", "long.mp3", 7500, false, "", 0},
};

const DWORD EACH_ACTION_MS = 300;  // in a row, each action this long

class Awkward : public PlayerTest {
protected:
    // Does the action again and again for a while, then ends what it left; false when that
    // could not be ended.
    bool Act(const Action &action, DWORD forMs)
    {
        DWORD start = GetTickCount();
        for (int step = 0; GetTickCount() - start < forMs; step++) {
            action.act(player, step);
            // The next one once this one is answered, as a window manager waits for a window
            // to take a size before it gives the next: a flood of changes faster than any
            // window can paint them would measure the painting, not the answering.
            DWORD_PTR ignored;
            SendMessageTimeoutA(player.Window(), WM_NULL, 0, 0, SMTO_NORMAL, ANSWER_MS, &ignored);
            Sleep(BURST_PAUSE_MS);
        }
        return !action.after || action.after(player);
    }

    // The player answers, has the file open (or the one dropped on it), and a paused locate
    // goes exactly to the frame asked for.
    void ExpectOpenAndExact(int frames, bool picture)
    {
        ASSERT_TRUE(player.Running()) << "the player is gone";
        DWORD_PTR length = 0;
        ASSERT_TRUE(WaitFor([&] { return Remote(player.Window(), (WPARAM)REMOTE_QUERY_LENGTH, 0, &length) &&
                                         length > 0; },
                            START_DEADLINE_MS))
            << "no file is open";
        EXPECT_TRUE(length == (DWORD_PTR)frames || length == DROPPED_CLIP_FRAMES)
            << "length " << length;
        ASSERT_TRUE(Remote(player.Window(), REMOTE_PAUSE));
        ASSERT_TRUE(Remote(player.Window(), REMOTE_LOCATE, PackedFrame(LOCATE_FRAME)));
        if (picture || length == DROPPED_CLIP_FRAMES)
            EXPECT_TRUE(player.WaitForFrame(LOCATE_FRAME, RATE));
        else
            EXPECT_TRUE(WaitFor([&] { return player.Display() == TimecodeOfFrame(LOCATE_FRAME, RATE); },
                                SETTLE_DEADLINE_MS))
                << player.Display();
    }
};

class WhileOpening : public Awkward, public ::testing::WithParamInterface<Action> {};

// Each action from the moment the window appears, while the graph is built and the first
// picture awaited, and on for a while after.
TEST_P(WhileOpening, AnsweredAndOpenAfterwards)
{
    StartOn(Clip(SLOW_FILE), "25");
    StallProbe probe(player.Window());
    EXPECT_TRUE(Act(GetParam(), BURST_MS)) << GetParam().name << ": what it left could not be ended";
    DWORD longest = probe.Stop();
    EXPECT_LT(longest, STALL_LIMIT_MS) << "the window did not answer for " << longest << " ms";
    ExpectOpenAndExact(SLOW_FILE_FRAMES, true);
}

INSTANTIATE_TEST_SUITE_P(Actions, WhileOpening, ::testing::ValuesIn(ACTIONS),
                         [](const ::testing::TestParamInfo<Action> &info) {
                             return std::string(info.param.name);
                         });

class Afterwards : public Awkward, public ::testing::WithParamInterface<Moment> {};

// Every action in a row, while the clip plays, is paused, winds, plays slower or faster, or
// while a long sound file's waveform is still being read.
TEST_P(Afterwards, AnsweredAndOpenAfterwards)
{
    const Moment &moment = GetParam();
    WriteSettings(SettingsText("25") + moment.extra);
    ASSERT_TRUE(player.Start("\"" + Clip(moment.clip) + "\""));
    ASSERT_TRUE(player.WaitForAdvance());
    if (moment.request) {
        ASSERT_TRUE(Remote(player.Window(), moment.request));
    }
    StallProbe probe(player.Window());
    for (const Action &action : ACTIONS)
        EXPECT_TRUE(Act(action, EACH_ACTION_MS)) << action.name << ": what it left could not be ended";
    DWORD longest = probe.Stop();
    EXPECT_LT(longest, STALL_LIMIT_MS) << "the window did not answer for " << longest << " ms";
    ExpectOpenAndExact(moment.frames, moment.picture);
}

INSTANTIATE_TEST_SUITE_P(Moments, Afterwards, ::testing::ValuesIn(MOMENTS),
                         [](const ::testing::TestParamInfo<Moment> &info) {
                             return std::string(info.param.name);
                         });

class Closed : public PlayerTest, public ::testing::WithParamInterface<bool> {};

// Closed while the file opens, and while it plays: the program ends as it always does.
TEST_P(Closed, EndsWithItsExitCode)
{
    StartOn(Clip(GetParam() ? PLAYING_CLIP : SLOW_FILE), "25");
    if (GetParam()) {
        ASSERT_TRUE(player.WaitForAdvance());
    }
    StallProbe probe(player.Window());
    PostMessageA(player.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(EXIT_DEADLINE_MS), 1u);
    probe.Stop();
}

INSTANTIATE_TEST_SUITE_P(While, Closed, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "playing" : "opening");
                         });

}  // namespace
