// The key hook: a low-level keyboard hook on a thread of its own, so that a busy user-interface
// thread can never make Windows drop it (a low-level hook that answers late is silently removed).
// The hook procedure only notes the key and posts; every key goes on to the foreground program.
#include "platform/zentrixkey.h"

namespace {

const DWORD kFirstHotKey = VK_F1;
const DWORD kLastHotKey = VK_F12;
const DWORD kHotKeyCount = kLastHotKey - kFirstHotKey + 1;
// How long Install and Remove wait for the hook thread to start or to end.
const DWORD kThreadWaitMs = 5000;

// Everything the library keeps, in one place. `target` is read by the hook thread and written by
// the caller's thread; the other fields belong to the caller's thread, except `held`, which only
// the hook thread touches.
struct KeyHookState {
    HINSTANCE module;
    CRITICAL_SECTION lock;        // serialises Install and Remove
    HANDLE thread;
    DWORD threadId;
    HANDLE ready;                 // set by the hook thread once the hook is in place (or failed)
    volatile BOOL hookInstalled;  // result of SetWindowsHookEx, read after `ready`
    volatile HWND target;         // window that gets WM_KEYHOOK_HOTKEY; 0 = report nothing
    bool held[kHotKeyCount];      // a press has been reported and the key is not yet released
};

KeyHookState g_keyHook;

bool IsHotKey(DWORD vk)
{
    return vk >= kFirstHotKey && vk <= kLastHotKey;
}

bool IsKeyDown(WPARAM message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;  // F10 arrives as a system key
}

// Auto-repeat sends key-downs without key-ups: only the first one after a release counts.
void NoteHotKey(WPARAM message, DWORD vk)
{
    bool &held = g_keyHook.held[vk - kFirstHotKey];
    if (!IsKeyDown(message)) {
        held = false;
        return;
    }
    if (held) return;
    held = true;
    HWND target = g_keyHook.target;
    if (target) PostMessageA(target, WM_KEYHOOK_HOTKEY, vk, 0);
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM message, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT *key = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        if (IsHotKey(key->vkCode)) NoteHotKey(message, key->vkCode);
    }
    return CallNextHookEx(NULL, code, message, lParam);
}

// Windows calls a low-level hook on the thread that installed it while that thread waits for
// messages, so this thread does nothing but wait. WM_QUIT (from RemoveKeyHook) ends it.
DWORD WINAPI HookThread(void *)
{
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);  // make the queue before anyone posts to it
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, g_keyHook.module, 0);
    g_keyHook.hookInstalled = hook != NULL;
    SetEvent(g_keyHook.ready);
    if (!hook) return 1;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}

bool StartHookThread()
{
    for (bool &held : g_keyHook.held) held = false;
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

// key and flags are accepted for the caller's sake: the hook always watches F1 to F12.
ZENTRIXKEY_API BOOL WINAPI InstallKeyHook(HWND window, DWORD key, DWORD flags)
{
    (void)key;
    (void)flags;
    if (!window || !IsWindow(window)) return FALSE;
    EnterCriticalSection(&g_keyHook.lock);
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
    HWND previous = static_cast<HWND>(InterlockedExchangePointer(
        reinterpret_cast<void *volatile *>(&g_keyHook.target), NULL));
    StopHookThread();
    DropQueuedReports(previous);
    LeaveCriticalSection(&g_keyHook.lock);
    return TRUE;
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
