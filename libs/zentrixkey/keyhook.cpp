// The key hook: a low-level keyboard hook on a thread of its own, so that a busy user-interface
// thread can never make Windows drop it (a low-level hook that answers late is silently removed).
// The hook procedure only notes the key and posts. The keys in use as hot keys are kept from the
// program in front, as with any system-wide hot key: F12 in a word processor would otherwise
// open its Save As dialog while the timecode is typed into it. Every other key goes on.
#include "platform/zentrixkey.h"

namespace {

const DWORD kFirstHotKey = VK_F1;
const DWORD kLastHotKey = VK_F12;
const DWORD kKeyCount = 256;  // virtual-key codes 0 to 255
const DWORD kBitsPerWord = 32;
// How long Install and Remove wait for the hook thread to start or to end.
const DWORD kThreadWaitMs = 5000;
// How long SendKeysPastHook waits for the hook thread, which does nothing but wait itself.
const DWORD kSendWaitMs = 1000;
// Asks the hook thread to send keys with the hook taken off; lParam is a SendRequest.
const UINT WM_SEND_PAST_HOOK = WM_APP + 1;
// Before the hook goes off, the kept keys that are down must have been still this long, but the
// keys wait no longer than the most.
const double kSettleQuietMs = 5;
const double kSettleMostMs = 15;
// No keyboard repeats a held key sooner than this after its press (Windows' shortest delay).
const double kShortestRepeatDelayMs = 250;

// Where a key stands, as the hook thread saw it: the key-up follows what its key-down did, so a
// key pressed before it was made a hot key is not left stuck down in the program in front.
enum KeyState : BYTE { KEY_UP, KEY_DOWN_PASSED, KEY_DOWN_KEPT };
// What is not known about a kept key held while the hook was off: whether it came up meanwhile,
// unseen; and then, for a key-down that came too late to tell, whether that was a repeat of the
// held key or a new press, which the key's next event tells.
enum KeyDoubt : BYTE { DOUBT_NONE, DOUBT_UNSEEN_UP, DOUBT_PRESS_PENDING };

// Everything the library keeps, in one place. `target` and `kept` are read by the hook thread
// and written by the caller's thread; `keys` belongs to the hook thread; the other fields belong
// to the caller's thread.
struct KeyHookState {
    HINSTANCE module;
    CRITICAL_SECTION lock;        // serialises Install, Remove and SetKeys
    HANDLE thread;
    DWORD threadId;
    HANDLE ready;                 // set by the hook thread once the hook is in place (or failed)
    volatile BOOL hookInstalled;  // result of SetWindowsHookEx, read after `ready`
    volatile HWND target;         // window that gets WM_KEYHOOK_HOTKEY; 0 = report nothing
    volatile BOOL reportReleases; // KEYHOOK_REPORT_RELEASES was given with the target
    volatile LONG kept[kKeyCount / kBitsPerWord];  // one bit per key kept back
    KeyState keys[kKeyCount];
    KeyDoubt doubts[kKeyCount];
    double pressedAt[kKeyCount];  // when the key last went down from up (NowMs)
    double keptKeyMovedAt;        // when a kept key last went down, repeated or came up (NowMs)
};

KeyHookState g_keyHook;

// One SendKeysPastHook call, shared by the caller and the hook thread. Whichever of the two lets
// go of it last frees it, so a caller that stops waiting leaves nothing dangling.
struct SendRequest {
    volatile LONG holders;
    HANDLE done;
    UINT sent;
    UINT count;
    INPUT inputs[1];  // count of them
};

SendRequest *NewSendRequest(const INPUT *inputs, UINT count)
{
    SIZE_T size = sizeof(SendRequest) + (count ? count - 1 : 0) * sizeof(INPUT);
    SendRequest *request = static_cast<SendRequest *>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!request) return NULL;
    request->done = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (!request->done) {
        HeapFree(GetProcessHeap(), 0, request);
        return NULL;
    }
    request->holders = 2;
    request->sent = 0;
    request->count = count;
    CopyMemory(request->inputs, inputs, count * sizeof(INPUT));
    return request;
}

void LetGoOfSendRequest(SendRequest *request)
{
    if (InterlockedDecrement(&request->holders) != 0) return;
    CloseHandle(request->done);
    HeapFree(GetProcessHeap(), 0, request);
}

double NowMs()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool IsReported(DWORD vk)
{
    return vk >= kFirstHotKey && vk <= kLastHotKey;
}

bool IsKept(DWORD vk)
{
    return (static_cast<ULONG>(g_keyHook.kept[vk / kBitsPerWord]) >> (vk % kBitsPerWord)) & 1;
}

void StoreKept(const LONG kept[kKeyCount / kBitsPerWord])
{
    for (DWORD i = 0; i < kKeyCount / kBitsPerWord; i++)
        InterlockedExchange(&g_keyHook.kept[i], kept[i]);
}

bool IsKeyDown(WPARAM message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;  // F10 arrives as a system key
}

void Report(HWND target, DWORD vk, LPARAM what)
{
    if (target) PostMessageA(target, WM_KEYHOOK_HOTKEY, vk, what);
}

// A key-down of a kept key that may have come up unseen: a new press if it comes sooner than any
// keyboard repeats a held key, otherwise the key's next event tells (another key-down: it was
// held and repeats; its key-up: it was a tap, reported then).
void SettleDoubt(DWORD vk, double now, HWND target)
{
    KeyDoubt &doubt = g_keyHook.doubts[vk];
    if (doubt == DOUBT_PRESS_PENDING) {
        doubt = DOUBT_NONE;  // a repeat: held all along
        return;
    }
    if (now - g_keyHook.pressedAt[vk] >= kShortestRepeatDelayMs) {
        doubt = DOUBT_PRESS_PENDING;
        return;
    }
    doubt = DOUBT_NONE;
    if (g_keyHook.reportReleases) Report(target, vk, KEYHOOK_RELEASED);  // the one not seen
    g_keyHook.pressedAt[vk] = now;
    Report(target, vk, 0);
}

// Auto-repeat sends key-downs without key-ups: only the first one after a release is a press.
// Keys are kept back only while a window takes the reports. True when the key is kept back.
bool NoteKey(WPARAM message, DWORD vk)
{
    KeyState &state = g_keyHook.keys[vk];
    HWND target = g_keyHook.target;
    double now = NowMs();
    bool wasKept = state == KEY_DOWN_KEPT;
    if (wasKept) g_keyHook.keptKeyMovedAt = now;
    if (!IsKeyDown(message)) {
        // A key-up with no key-down seen (held when the hook came) goes where its key belongs.
        bool keep = wasKept || (state == KEY_UP && target && IsKept(vk));
        if (wasKept && g_keyHook.doubts[vk] == DOUBT_PRESS_PENDING) {
            // A tap after all: the key-up not seen, then this press.
            if (g_keyHook.reportReleases) Report(target, vk, KEYHOOK_RELEASED);
            Report(target, vk, 0);
        }
        // Only the release of a press that was reported and kept is reported: a hold that
        // began before the key was ours has nothing to end.
        if (wasKept && g_keyHook.reportReleases) Report(target, vk, KEYHOOK_RELEASED);
        state = KEY_UP;
        g_keyHook.doubts[vk] = DOUBT_NONE;
        return keep;
    }
    if (wasKept && g_keyHook.doubts[vk] != DOUBT_NONE) {
        SettleDoubt(vk, now, target);
        return true;
    }
    if (state == KEY_UP) {
        state = target && IsKept(vk) ? KEY_DOWN_KEPT : KEY_DOWN_PASSED;
        g_keyHook.pressedAt[vk] = now;
        if (state == KEY_DOWN_KEPT) g_keyHook.keptKeyMovedAt = now;
        if (IsReported(vk) || state == KEY_DOWN_KEPT) Report(target, vk, 0);
    }
    return state == KEY_DOWN_KEPT;
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM message, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT *key = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        // Injected keys (a foot pedal's software, a macro tool) are presses like any other;
        // only the program's own typing is let through unseen.
        if (key->dwExtraInfo != KEYHOOK_OWN_INPUT && key->vkCode < kKeyCount &&
            NoteKey(message, key->vkCode))
            return 1;  // kept back: no later hook and no window sees it
    }
    return CallNextHookEx(NULL, code, message, lParam);
}

HHOOK SetHook()
{
    return SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, g_keyHook.module, 0);
}

bool AnyKeptKeyDown()
{
    for (KeyState state : g_keyHook.keys)
        if (state == KEY_DOWN_KEPT) return true;
    return false;
}

// A tool that taps a hot key (a macro tool, a pedal's software) lets go of it a moment after it
// pressed it, which is when our typing would go out. So the kept keys that are down must first
// have been still for a moment, the hook answering meanwhile: the key-up of such a tap is seen,
// not missed while the hook is off. A finger holds a key far longer than the wait; a key-up
// missed all the same is caught by the key's next events (SettleDoubt).
void LetKeptKeysSettle()
{
    double start = NowMs();
    while (AnyKeptKeyDown()) {
        double now = NowMs();
        double still = now - g_keyHook.keptKeyMovedAt;
        if (still >= kSettleQuietMs || now - start >= kSettleMostMs) return;
        MsgWaitForMultipleObjectsEx(0, NULL, static_cast<DWORD>(kSettleQuietMs - still) + 1,
                                    QS_SENDMESSAGE, 0);
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // calls the hook
    }
}

// The system's key state remembers, besides whether a key is down, whether it went down since
// it was last asked: asked now, before the hook goes off, for the keys kept down.
void ForgetEarlierPresses()
{
    for (DWORD vk = 1; vk < kKeyCount; vk++)
        if (g_keyHook.keys[vk] == KEY_DOWN_KEPT) GetAsyncKeyState(static_cast<int>(vk));
}

// While the hook was off, keys went by unseen, and the system's key state tells what they did.
// A key that went down to the program in front and came up meanwhile is up again; one pressed
// meanwhile went to the program, and its key-up goes there too. A kept key's key-down never
// reached the key state: it is still held if a repeat went by and left it down, and was let go
// if a repeat went by and it came up since; if nothing went by, it may have come up unseen, and
// its next key-down is in doubt.
void CatchUpWithUnseenKeys()
{
    for (DWORD vk = 1; vk < kKeyCount; vk++) {
        KeyState &state = g_keyHook.keys[vk];
        SHORT async = GetAsyncKeyState(static_cast<int>(vk));
        bool down = (async & 0x8000) != 0, wentDown = (async & 1) != 0;
        if (state == KEY_DOWN_KEPT && !down && wentDown) {
            state = KEY_UP;
            g_keyHook.doubts[vk] = DOUBT_NONE;
            if (g_keyHook.reportReleases) Report(g_keyHook.target, vk, KEYHOOK_RELEASED);
        } else if (state == KEY_DOWN_KEPT) {
            // Still down after a repeat went by; after nothing, perhaps up unseen.
            g_keyHook.doubts[vk] = down ? DOUBT_NONE : DOUBT_UNSEEN_UP;
        } else if (state == KEY_DOWN_PASSED && !down) {
            state = KEY_UP;
        } else if (state == KEY_UP && down) {
            state = KEY_DOWN_PASSED;
        }
    }
}

// Under Wine every event that passes a low-level hook waits for the hook thread's answer, a
// round trip through the server per key: a stamp of two dozen keystrokes took 20 ms on an idle
// machine and over 100 ms on a busy one. The program's own keys need no watching, so they go
// out with the hook off, for the millisecond that takes. Returns the hook put back.
HHOOK SendPastHook(HHOOK hook, SendRequest *request)
{
    LetKeptKeysSettle();
    ForgetEarlierPresses();
    if (hook) UnhookWindowsHookEx(hook);
    request->sent = SendInput(request->count, request->inputs, sizeof(INPUT));
    hook = SetHook();
    if (!hook) hook = SetHook();  // once more; without it no hot key would be reported
    g_keyHook.hookInstalled = hook != NULL;
    CatchUpWithUnseenKeys();
    SetEvent(request->done);
    LetGoOfSendRequest(request);
    return hook;
}

// Windows calls a low-level hook on the thread that installed it while that thread waits for
// messages, so this thread does nothing but wait. WM_QUIT (from RemoveKeyHook) ends it.
DWORD WINAPI HookThread(void *)
{
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);  // make the queue before anyone posts to it
    HHOOK hook = SetHook();
    g_keyHook.hookInstalled = hook != NULL;
    SetEvent(g_keyHook.ready);
    if (!hook) return 1;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!msg.hwnd && msg.message == WM_SEND_PAST_HOOK)
            hook = SendPastHook(hook, reinterpret_cast<SendRequest *>(msg.lParam));
        else
            DispatchMessageA(&msg);
    }
    if (hook) UnhookWindowsHookEx(hook);
    return 0;
}

bool StartHookThread()
{
    for (KeyState &state : g_keyHook.keys) state = KEY_UP;
    for (KeyDoubt &doubt : g_keyHook.doubts) doubt = DOUBT_NONE;
    g_keyHook.hookInstalled = FALSE;
    ResetEvent(g_keyHook.ready);
    g_keyHook.thread = CreateThread(NULL, 0, HookThread, NULL, 0, &g_keyHook.threadId);
    if (!g_keyHook.thread) return false;
    HANDLE waits[2] = {g_keyHook.ready, g_keyHook.thread};
    WaitForMultipleObjects(2, waits, FALSE, kThreadWaitMs);
    if (g_keyHook.hookInstalled) return true;
    WaitForSingleObject(g_keyHook.thread, kThreadWaitMs);
    CloseHandle(g_keyHook.thread);
    g_keyHook.thread = NULL;
    return false;
}

void StopHookThread()
{
    if (!g_keyHook.thread) return;
    PostThreadMessageA(g_keyHook.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(g_keyHook.thread, kThreadWaitMs);
    CloseHandle(g_keyHook.thread);
    g_keyHook.thread = NULL;
}

// Reports posted just before the hook went away may still wait in the window's queue; when the
// window belongs to the calling thread they are dropped, so that nothing arrives afterwards.
void DropQueuedReports(HWND window)
{
    if (!window || GetWindowThreadProcessId(window, NULL) != GetCurrentThreadId()) return;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_KEYHOOK_HOTKEY, WM_KEYHOOK_HOTKEY, PM_REMOVE)) {
    }
}

}  // namespace

extern "C" {

// key is accepted for the caller's sake: the hook always watches F1 to F12 and the kept keys.
ZENTRIXKEY_API BOOL WINAPI InstallKeyHook(HWND window, DWORD key, DWORD flags)
{
    (void)key;
    if (!window || !IsWindow(window)) return FALSE;
    EnterCriticalSection(&g_keyHook.lock);
    g_keyHook.reportReleases = (flags & KEYHOOK_REPORT_RELEASES) != 0;
    bool running = g_keyHook.thread != NULL || StartHookThread();
    // Installing again only moves the reports to the new window: one hook, one report per press.
    HWND previous = static_cast<HWND>(InterlockedExchangePointer(
        reinterpret_cast<void *volatile *>(&g_keyHook.target), running ? window : NULL));
    if (previous && previous != window) DropQueuedReports(previous);
    LeaveCriticalSection(&g_keyHook.lock);
    return running ? TRUE : FALSE;
}

ZENTRIXKEY_API BOOL WINAPI RemoveKeyHook(void)
{
    EnterCriticalSection(&g_keyHook.lock);
    const LONG none[kKeyCount / kBitsPerWord] = {};
    StoreKept(none);
    HWND previous = static_cast<HWND>(InterlockedExchangePointer(
        reinterpret_cast<void *volatile *>(&g_keyHook.target), NULL));
    StopHookThread();
    DropQueuedReports(previous);
    LeaveCriticalSection(&g_keyHook.lock);
    return TRUE;
}

ZENTRIXKEY_API BOOL WINAPI SetKeyHookKeys(const DWORD *keys, DWORD count)
{
    if (!keys && count) return FALSE;
    LONG kept[kKeyCount / kBitsPerWord] = {};
    for (DWORD i = 0; i < count; i++) {
        DWORD vk = keys[i];
        if (vk == 0 || vk >= kKeyCount) continue;
        kept[vk / kBitsPerWord] |= static_cast<LONG>(1UL << (vk % kBitsPerWord));
    }
    EnterCriticalSection(&g_keyHook.lock);
    StoreKept(kept);
    LeaveCriticalSection(&g_keyHook.lock);
    return TRUE;
}

ZENTRIXKEY_API UINT WINAPI SendKeysPastHook(const INPUT *inputs, UINT count)
{
    if (!inputs || !count) return 0;
    EnterCriticalSection(&g_keyHook.lock);
    SendRequest *request = g_keyHook.thread ? NewSendRequest(inputs, count) : NULL;
    if (!request) {
        LeaveCriticalSection(&g_keyHook.lock);
        // No hook to pass (or no memory to ask the hook thread with): they go out as they are,
        // marked as ours for a hook that is still there.
        return SendInput(count, const_cast<INPUT *>(inputs), sizeof(INPUT));
    }
    UINT sent = 0;
    if (PostThreadMessageA(g_keyHook.threadId, WM_SEND_PAST_HOOK, 0,
                           reinterpret_cast<LPARAM>(request))) {
        if (WaitForSingleObject(request->done, kSendWaitMs) == WAIT_OBJECT_0) sent = request->sent;
    } else {
        LetGoOfSendRequest(request);  // the hook thread never saw it
    }
    LetGoOfSendRequest(request);
    LeaveCriticalSection(&g_keyHook.lock);
    return sent;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_keyHook.module = module;
        InitializeCriticalSection(&g_keyHook.lock);
        g_keyHook.ready = CreateEventA(NULL, TRUE, FALSE, NULL);
        DisableThreadLibraryCalls(module);
        return g_keyHook.ready != NULL;
    case DLL_PROCESS_DETACH:
        // Waiting for a thread under the loader lock would hang; a process that ends takes the
        // thread with it, and a FreeLibrary without RemoveKeyHook at least stops the reports.
        g_keyHook.target = NULL;
        if (!reserved && g_keyHook.thread) PostThreadMessageA(g_keyHook.threadId, WM_QUIT, 0, 0);
        return TRUE;
    default:
        return TRUE;
    }
}
