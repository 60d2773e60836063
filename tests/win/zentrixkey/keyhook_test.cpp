// The key hook watched from outside: keys are injected with SendInput from another thread, as a
// foot pedal or a macro tool would, and the reports are read from this thread's queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "platform/zentrixkey.h"

namespace {

const DWORD kDeadlineMs = 3000;
const DWORD kBusyMs = 2000;

struct Injected {
    WORD vk;
    bool up;
    ULONG_PTR extra;
};

std::vector<INPUT> Inputs(const std::vector<Injected> &keys)
{
    std::vector<INPUT> inputs;
    for (const Injected &key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key.vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = key.up ? KEYEVENTF_KEYUP : 0;
        input.ki.dwExtraInfo = key.extra;
        inputs.push_back(input);
    }
    return inputs;
}

void SendKeys(const std::vector<Injected> &keys)
{
    std::vector<INPUT> inputs = Inputs(keys);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Injection from another thread, so the test's own thread is only a receiver.
void InjectFromOtherThread(const std::vector<Injected> &keys)
{
    std::thread injector([&keys] { SendKeys(keys); });
    injector.join();
}

std::vector<Injected> Tap(WORD vk, ULONG_PTR extra = 0)
{
    return {{vk, false, extra}, {vk, true, extra}};
}

// Records what reaches the focused test window, key-downs included.
struct Recorder {
    std::vector<WPARAM> reports;   // wParam of every WM_KEYHOOK_HOTKEY
    std::vector<WPARAM> releases;  // the same, of the reports of a release
    std::vector<WPARAM> keyDowns;  // wParam of every WM_KEYDOWN / WM_SYSKEYDOWN the window got
    std::vector<WPARAM> keyUps;    // likewise WM_KEYUP / WM_SYSKEYUP
};

Recorder *g_recorder;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYHOOK_HOTKEY:
        (lParam == KEYHOOK_RELEASED ? g_recorder->releases : g_recorder->reports).push_back(wParam);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        g_recorder->keyDowns.push_back(wParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        g_recorder->keyUps.push_back(wParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void PumpOnce()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

template <class Condition>
bool PumpUntil(Condition done)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kDeadlineMs) return false;
        PumpOnce();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

class KeyHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_recorder = &recorder;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "KeyHookTestWindow";
        RegisterClassA(&wc);
        window = CreateWindowA("KeyHookTestWindow", "key hook test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 100, 300, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(window, nullptr);
        SetForegroundWindow(window);
        SetFocus(window);
        PumpOnce();
    }

    void TearDown() override
    {
        RemoveKeyHook();
        DestroyWindow(window);
        PumpOnce();
        g_recorder = nullptr;
    }

    // Injects a tap of F9 as a marker and waits for its report, so everything injected before
    // it has been seen by the hook: what has not been reported by then never will be.
    void SettleWithMarker()
    {
        size_t before = recorder.reports.size();
        InjectFromOtherThread(Tap(VK_F9));
        ASSERT_TRUE(PumpUntil([&] { return recorder.reports.size() > before; }))
            << "the marker key F9 was not reported";
        ASSERT_EQ(recorder.reports.back(), static_cast<WPARAM>(VK_F9));
        recorder.reports.pop_back();
    }

    // Injects a tap of marker, a key outside the set, and waits for its key-up in the window:
    // keys reach the window in the order they were pressed, so what has not arrived by then
    // never will. The marker's own messages are taken out again.
    void SettleKeys(WORD marker = VK_F8)
    {
        InjectFromOtherThread(Tap(marker));
        ASSERT_TRUE(PumpUntil([&] {
            return !recorder.keyUps.empty() && recorder.keyUps.back() == marker &&
                   !recorder.reports.empty() && recorder.reports.back() == marker;
        })) << "the marker key " << marker << " did not arrive";
        recorder.keyUps.pop_back();
        recorder.keyDowns.pop_back();
        recorder.reports.pop_back();
    }

    void Keep(const std::vector<DWORD> &keys)
    {
        ASSERT_TRUE(SetKeyHookKeys(keys.data(), static_cast<DWORD>(keys.size())));
    }

    void Clear()
    {
        recorder.reports.clear();
        recorder.releases.clear();
        recorder.keyDowns.clear();
        recorder.keyUps.clear();
    }

    Recorder recorder;
    HWND window = NULL;
};

// What arrives of one tap: at the window its key-down and key-up, or neither; at the hook's
// window a report, or none.
struct TapCase {
    WORD vk;
    ULONG_PTR extra;
    bool arrives, reported;
};

void ExpectTap(const TapCase &c, const Recorder &recorder, const char *what)
{
    std::vector<WPARAM> key;
    if (c.arrives) key.push_back(c.vk);
    std::vector<WPARAM> report;
    if (c.reported) report.push_back(c.vk);
    EXPECT_EQ(recorder.keyDowns, key) << what << ": key-downs of virtual key " << c.vk;
    EXPECT_EQ(recorder.keyUps, key) << what << ": key-ups of virtual key " << c.vk;
    EXPECT_EQ(recorder.reports, report) << what << ": reports of virtual key " << c.vk;
}

TEST_F(KeyHookTest, ReportsEachFunctionKeyWithItsCodeAndNothingForOtherKeys)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    struct Case {
        WORD vk;
        bool reported;
    };
    const Case cases[] = {
        {VK_F1, true}, {VK_F12, true}, {VK_F10, true},  // F10 arrives as a system key
        {'A', false},  {'0', false},   {VK_SPACE, false}, {VK_F13, false}, {VK_ESCAPE, false},
    };
    for (const Case &c : cases) {
        recorder.reports.clear();
        InjectFromOtherThread(Tap(c.vk));
        SettleWithMarker();
        std::vector<WPARAM> expected;
        if (c.reported) expected.push_back(c.vk);
        EXPECT_EQ(recorder.reports, expected) << "virtual key " << c.vk;
    }
}

TEST_F(KeyHookTest, HeldKeyWithAutoRepeatIsReportedOncePerPress)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    InjectFromOtherThread(
        {{VK_F12, false, 0}, {VK_F12, false, 0}, {VK_F12, false, 0}, {VK_F12, false, 0}});
    SettleWithMarker();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F12}));
    // Still held: another repeat is no new press.
    InjectFromOtherThread(
        {{VK_F12, false, 0}, {VK_F12, true, 0}, {VK_F12, false, 0}, {VK_F12, true, 0}});
    SettleWithMarker();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F12, VK_F12}));
}

TEST_F(KeyHookTest, KeysStillReachTheFocusedWindow)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    ASSERT_EQ(GetFocus(), window);
    InjectFromOtherThread(Tap(VK_F12));
    ASSERT_TRUE(PumpUntil([&] { return !recorder.keyDowns.empty() && !recorder.reports.empty(); }));
    EXPECT_EQ(recorder.keyDowns.front(), static_cast<WPARAM>(VK_F12));
    EXPECT_EQ(recorder.reports.front(), static_cast<WPARAM>(VK_F12));
}

TEST_F(KeyHookTest, NothingArrivesAfterRemoveAndRemovingTwiceIsHarmless)
{
    EXPECT_TRUE(RemoveKeyHook()) << "remove without install";
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    // A report left in the queue when the hook goes away must not arrive either.
    InjectFromOtherThread(Tap(VK_F3));
    MSG msg;
    DWORD start = GetTickCount();
    while (!PeekMessageA(&msg, window, WM_KEYHOOK_HOTKEY, WM_KEYHOOK_HOTKEY, PM_NOREMOVE))
        ASSERT_LT(GetTickCount() - start, kDeadlineMs) << "F3 was never reported";
    EXPECT_TRUE(RemoveKeyHook());
    EXPECT_TRUE(RemoveKeyHook());
    InjectFromOtherThread(Tap(VK_F4));
    ASSERT_TRUE(PumpUntil([&] { return !recorder.keyDowns.empty(); }))
        << "the key itself should still arrive";
    PumpOnce();
    EXPECT_TRUE(recorder.reports.empty());
}

TEST_F(KeyHookTest, InstallingAgainMovesReportsToTheNewWindowWithoutDoubling)
{
    HWND other = CreateWindowA("KeyHookTestWindow", "second", WS_OVERLAPPED, 0, 0, 50, 50, NULL,
                               NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(InstallKeyHook(other, VK_F12, 0));
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    InjectFromOtherThread(Tap(VK_F7));
    SettleWithMarker();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F7}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, other, WM_KEYHOOK_HOTKEY, WM_KEYHOOK_HOTKEY, PM_NOREMOVE));
    DestroyWindow(other);
}

TEST_F(KeyHookTest, ReportsArriveWhileTheWindowsThreadIsBusy)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    // The injector waits until this thread is busy, then presses F2 while it stays busy.
    HANDLE busy = CreateEventA(NULL, TRUE, FALSE, NULL);
    std::thread injector([busy] {
        WaitForSingleObject(busy, INFINITE);
        SendKeys(Tap(VK_F2));
    });
    SetEvent(busy);
    Sleep(kBusyMs);  // stands for a slow file open on the user-interface thread
    injector.join();
    CloseHandle(busy);
    ASSERT_TRUE(PumpUntil([&] { return !recorder.reports.empty(); }));
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F2}));
}

TEST_F(KeyHookTest, KeepsBackTheKeysOfItsSetAndPassesTheRest)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    Keep({VK_F12, VK_F11, 0, 256 + 'B'});  // 0 (a disabled hot key) and codes past 255: no keys
    const TapCase cases[] = {
        {VK_F12, 0, false, true},
        {VK_F11, 0, false, true},
        {VK_F5, 0, true, true},
        {VK_F10, 0, true, true},  // a system key
        {'A', 0, true, false},
        {'0', 0, true, false},
        {'B', 0, true, false},
        // The program's own typing passes unseen, even on a key of the set.
        {VK_F12, KEYHOOK_OWN_INPUT, true, false},
        {'1', KEYHOOK_OWN_INPUT, true, false},
        // Any other extra information is someone's injected press like any other.
        {VK_F12, 0x1234, false, true},
    };
    for (const TapCase &c : cases) {
        Clear();
        InjectFromOtherThread(Tap(c.vk, c.extra));
        SettleKeys();
        ExpectTap(c, recorder, "set F11, F12");
    }
}

TEST_F(KeyHookTest, ANewSetReplacesTheOldAtOnce)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    struct Step {
        std::vector<DWORD> set;
        const char *what;
        std::vector<TapCase> taps;
    } steps[] = {
        {{VK_F12}, "F12", {{VK_F12, 0, false, true}, {VK_F9, 0, true, true}}},
        {{VK_F9}, "F9", {{VK_F12, 0, true, true}, {VK_F9, 0, false, true}}},
        {{'Q'}, "Q", {{'Q', 0, false, true}, {VK_F9, 0, true, true}}},
        {{}, "empty", {{VK_F9, 0, true, true}, {'Q', 0, true, false}}},
    };
    for (const Step &step : steps) {
        Keep(step.set);
        for (const TapCase &c : step.taps) {
            Clear();
            InjectFromOtherThread(Tap(c.vk));
            SettleKeys();
            ExpectTap(c, recorder, step.what);
        }
    }
    EXPECT_FALSE(SetKeyHookKeys(NULL, 1));
    EXPECT_TRUE(SetKeyHookKeys(NULL, 0));
}

TEST_F(KeyHookTest, HeldKeyOfTheSetIsKeptBackWithItsRepeatsAndItsKeyUp)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    Keep({VK_F12});
    InjectFromOtherThread({{VK_F12, false, 0},
                           {VK_F12, false, 0},
                           {VK_F12, false, 0},
                           {VK_F12, true, 0}});
    SettleKeys();
    EXPECT_TRUE(recorder.keyDowns.empty());
    EXPECT_TRUE(recorder.keyUps.empty());
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F12}));
}

// A key-up goes where its key-down went, whatever the set says by then: the program in front
// never sees a key-up without its key-down, nor a key held for ever.
TEST_F(KeyHookTest, KeyUpFollowsItsKeyDownWhenTheSetChangesBetween)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    InjectFromOtherThread({{VK_F12, false, 0}});
    Keep({VK_F12});
    InjectFromOtherThread({{VK_F12, true, 0}});
    SettleKeys();
    EXPECT_EQ(recorder.keyDowns, std::vector<WPARAM>({VK_F12}));
    EXPECT_EQ(recorder.keyUps, std::vector<WPARAM>({VK_F12}));

    Clear();
    InjectFromOtherThread({{VK_F12, false, 0}});
    Keep({});
    InjectFromOtherThread({{VK_F12, true, 0}});
    SettleKeys();
    EXPECT_TRUE(recorder.keyDowns.empty());
    EXPECT_TRUE(recorder.keyUps.empty());
}

TEST_F(KeyHookTest, RemoveForgetsTheSet)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    Keep({VK_F12});
    EXPECT_TRUE(RemoveKeyHook());
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    InjectFromOtherThread(Tap(VK_F12));
    SettleKeys();
    ExpectTap({VK_F12, 0, true, true}, recorder, "after remove and install");
}

TEST(KeyHookInstall, RefusesAWindowThatDoesNotExist)
{
    EXPECT_FALSE(InstallKeyHook(NULL, VK_F12, 0));
    EXPECT_FALSE(InstallKeyHook(reinterpret_cast<HWND>(0x1234), VK_F12, 0));
    EXPECT_TRUE(RemoveKeyHook());
}

}  // namespace

namespace {

// A key held to play: with KEYHOOK_REPORT_RELEASES the kept keys' releases are reported too,
// once per press however long the key repeats; keys that are not kept and callers that did not
// ask get presses only, as before.
TEST_F(KeyHookTest, ReleasesOfKeptKeysAreReportedOnlyWhenAsked)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, KEYHOOK_REPORT_RELEASES));
    Keep({VK_F13, VK_F9});
    const std::vector<WPARAM> f13 = {VK_F13}, none;
    Clear();
    InjectFromOtherThread({{VK_F13, false, 0}, {VK_F13, false, 0}, {VK_F13, false, 0},
                           {VK_F13, true, 0}});
    SettleKeys();
    EXPECT_EQ(recorder.reports, f13);
    EXPECT_EQ(recorder.releases, f13);
    EXPECT_EQ(recorder.keyDowns, none) << "a kept key reached the window";
    EXPECT_EQ(recorder.keyUps, none);

    Clear();
    InjectFromOtherThread(Tap(VK_F5));  // reported, not kept
    SettleKeys();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F5}));
    EXPECT_EQ(recorder.releases, none);

    ASSERT_TRUE(InstallKeyHook(window, VK_F12, 0));
    Clear();
    InjectFromOtherThread(Tap(VK_F13));
    SettleKeys();
    EXPECT_EQ(recorder.reports, f13);
    EXPECT_EQ(recorder.releases, none) << "a release reported to a caller that did not ask";
}

}  // namespace

namespace {

UINT SendPast(const std::vector<Injected> &keys)
{
    std::vector<INPUT> inputs = Inputs(keys);
    return SendKeysPastHook(inputs.data(), static_cast<UINT>(inputs.size()));
}

// The program's own keys go out with the hook taken off for them: every one reaches the window,
// kept keys included, none is reported, and the hook is back for the next key.
TEST_F(KeyHookTest, OwnKeysGoPastTheHookAndTheHookIsBackAfterwards)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, KEYHOOK_REPORT_RELEASES));
    Keep({VK_F12, VK_F11});
    for (int round = 0; round < 3; round++) {
        Clear();
        EXPECT_EQ(SendPast({{VK_F12, false, 0}, {VK_F12, true, 0}, {'1', false, 0}, {'1', true, 0}}),
                  4u);
        SettleKeys();
        EXPECT_EQ(recorder.keyDowns, std::vector<WPARAM>({VK_F12, '1'})) << "round " << round;
        EXPECT_EQ(recorder.keyUps, std::vector<WPARAM>({VK_F12, '1'})) << "round " << round;
        EXPECT_TRUE(recorder.reports.empty()) << "round " << round;

        Clear();
        InjectFromOtherThread(Tap(VK_F11));
        SettleKeys();
        ExpectTap({VK_F11, 0, false, true}, recorder, "a kept key after our own keys");
        EXPECT_EQ(recorder.releases, std::vector<WPARAM>({VK_F11}));
    }
    EXPECT_EQ(SendKeysPastHook(NULL, 0), 0u);
}

// While our keys go out, the user's keys go by the hook unseen. A key the hook saw go down to
// the window and that came up meanwhile is a new press the next time; a key that went down
// meanwhile has its key-up follow it to the window. A kept key held across our keys (the hot
// key that asked for them) is still one press, and its repeats and key-up stay kept; one that
// repeated and came up meanwhile is up, its release reported.
TEST_F(KeyHookTest, KeysThatWentByWhileOurOwnWentOutAreCaughtUpWith)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, KEYHOOK_REPORT_RELEASES));
    Keep({VK_F12});

    InjectFromOtherThread({{VK_F5, false, 0}});
    SettleKeys();
    SendPast({{VK_F5, true, 0}});  // stands for the user letting go of F5 just then
    InjectFromOtherThread(Tap(VK_F5));
    SettleKeys();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F5, VK_F5}))
        << "F5 pressed again after it came up unseen was taken for a repeat";

    Clear();
    SendPast({{VK_F6, false, 0}});  // the user pressing F6 just then
    InjectFromOtherThread({{VK_F6, true, 0}});
    SettleKeys();
    EXPECT_EQ(recorder.keyDowns, std::vector<WPARAM>({VK_F6}));
    EXPECT_EQ(recorder.keyUps, std::vector<WPARAM>({VK_F6})) << "F6's key-up did not follow";

    Clear();
    InjectFromOtherThread({{VK_F12, false, 0}});
    SendPast({{'2', false, 0}, {'2', true, 0}});
    Sleep(300);  // held: it repeats as a keyboard does, not sooner
    InjectFromOtherThread({{VK_F12, false, 0}, {VK_F12, false, 0}, {VK_F12, true, 0}});
    SettleKeys();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F12}));
    EXPECT_EQ(recorder.releases, std::vector<WPARAM>({VK_F12}));
    EXPECT_EQ(recorder.keyDowns, std::vector<WPARAM>({'2'})) << "a kept key reached the window";
    EXPECT_EQ(recorder.keyUps, std::vector<WPARAM>({'2'}));

    // Its repeat and its release went by: it is up, and pressed again it is a new press.
    Clear();
    InjectFromOtherThread({{VK_F12, false, 0}});
    SendPast({{VK_F12, false, 0}, {VK_F12, true, 0}});
    InjectFromOtherThread(Tap(VK_F12));
    SettleKeys();
    EXPECT_EQ(recorder.reports, std::vector<WPARAM>({VK_F12, VK_F12}))
        << "F12 pressed again after it was let go unseen was taken for a repeat";
    EXPECT_EQ(recorder.releases, std::vector<WPARAM>({VK_F12, VK_F12}));
}

// A kept key that came up while our keys went out, with nothing to show for it: its next
// key-down is a new press if it comes sooner than a keyboard repeats, and otherwise its next
// event tells a tap (reported at its key-up) from a key held and repeating (no new press).
TEST_F(KeyHookTest, AKeptKeyThatMayHaveComeUpUnseenIsToldByItsNextEvents)
{
    ASSERT_TRUE(InstallKeyHook(window, VK_F12, KEYHOOK_REPORT_RELEASES));
    Keep({VK_F12});
    const std::vector<WPARAM> once = {VK_F12}, twice = {VK_F12, VK_F12};

    // A press soon after, then a tap past the shortest repeat delay.
    for (DWORD pauseMs : {0, 300}) {
        SCOPED_TRACE(pauseMs ? "a later tap" : "a press soon after");
        Clear();
        InjectFromOtherThread({{VK_F12, false, 0}});
        SendPast({{VK_F12, true, 0}});  // the key-up the hook did not see
        Sleep(pauseMs);
        InjectFromOtherThread(Tap(VK_F12));
        SettleKeys();
        EXPECT_EQ(recorder.reports, twice) << "taken for a repeat";
        EXPECT_EQ(recorder.releases, twice);
    }

    Clear();
    InjectFromOtherThread({{VK_F12, false, 0}});
    SendPast({{'3', false, 0}, {'3', true, 0}});
    Sleep(300);
    InjectFromOtherThread({{VK_F12, false, 0}, {VK_F12, false, 0}, {VK_F12, true, 0}});
    SettleKeys();
    EXPECT_EQ(recorder.reports, once) << "a key held and repeating was taken for a new press";
    EXPECT_EQ(recorder.releases, once);
    EXPECT_EQ(recorder.keyDowns, std::vector<WPARAM>({'3'})) << "a kept key reached the window";
}

// Without a hook the keys go out all the same.
TEST(KeyHookSend, SendsWithoutAHook)
{
    ASSERT_TRUE(RemoveKeyHook());
    std::vector<INPUT> inputs = Inputs({{VK_SHIFT, false, 0}, {VK_SHIFT, true, 0}});
    EXPECT_EQ(SendKeysPastHook(inputs.data(), 2), 2u);
}

}  // namespace
