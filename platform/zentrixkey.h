// The key-hook library ZENTRIXKEY.DLL: watches the keyboard system-wide and reports presses of
// the keys that may serve as hot keys (F1 to F12) to one window, and keeps the keys that are in
// use as hot keys from the program in front.
#pragma once

#include <windows.h>

#ifdef ZENTRIXKEY_BUILD
#define ZENTRIXKEY_API __declspec(dllexport)
#else
#define ZENTRIXKEY_API
#endif

// Posted to the window given to InstallKeyHook: wParam is the key's virtual-key code, lParam 0
// for a press. With KEYHOOK_REPORT_RELEASES, a kept key's release is posted too, with lParam
// KEYHOOK_RELEASED; a key's auto-repeat is never reported.
#define WM_KEYHOOK_HOTKEY 2380
#define KEYHOOK_RELEASED 1
// InstallKeyHook's flags: also report the releases of the kept keys (a key held to play).
#define KEYHOOK_REPORT_RELEASES 1

// Keystrokes injected with this as their extra information are the program's own typing: the
// hook neither reports them nor keeps them back.
#define KEYHOOK_OWN_INPUT ((ULONG_PTR)0x5A4B5950)

#ifdef __cplusplus
extern "C" {
#endif

// The Player window passes itself, 123 and KEYHOOK_REPORT_RELEASES; 0 for flags reports
// presses only.
ZENTRIXKEY_API BOOL WINAPI InstallKeyHook(HWND window, DWORD key, DWORD flags);
// No report after this returns, and no key is kept back any more.
ZENTRIXKEY_API BOOL WINAPI RemoveKeyHook(void);
// The keys kept back from the program in front, replacing the previous ones: their key-downs,
// repeats and key-ups reach no window; their presses are still reported. Codes 0 and above 255
// are left out, so a disabled hot key (0) may be passed as it is. FALSE for keys NULL with a
// count.
ZENTRIXKEY_API BOOL WINAPI SetKeyHookKeys(const DWORD *keys, DWORD count);
// SendInput for the program's own typing, passing the hook by: the keys are neither reported nor
// kept back, and no other program's key lands among them. Returns the events sent, as SendInput
// does (0 for no inputs).
ZENTRIXKEY_API UINT WINAPI SendKeysPastHook(const INPUT *inputs, UINT count);

#ifdef __cplusplus
}
#endif
