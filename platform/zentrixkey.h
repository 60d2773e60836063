// The key-hook library ZENTRIXKEY.DLL: watches the keyboard system-wide and reports presses of
// the keys that may serve as hot keys (F1 to F12) to one window.
#pragma once

#include <windows.h>

#ifdef ZENTRIXKEY_BUILD
#define ZENTRIXKEY_API __declspec(dllexport)
#else
#define ZENTRIXKEY_API
#endif

// Posted to the window given to InstallKeyHook: wParam is the key's virtual-key code.
#define WM_KEYHOOK_HOTKEY 2380

#ifdef __cplusplus
extern "C" {
#endif

// The Player window passes itself, 123 and 0.
ZENTRIXKEY_API BOOL WINAPI InstallKeyHook(HWND window, DWORD key, DWORD flags);
// No report after this returns.
ZENTRIXKEY_API BOOL WINAPI RemoveKeyHook(void);

#ifdef __cplusplus
}
#endif
