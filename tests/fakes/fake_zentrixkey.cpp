// A recording stand-in for ZENTRIXKEY.DLL: no hook is installed, hot keys are posted by tests.
#include <stdio.h>

#include "platform/zentrixkey.h"
#include "tests/fakes/fake_log.h"

static HWND hookWindow;
static std::vector<DWORD> hookKeys;

HWND FakeHookWindow(void)
{
    return hookWindow;
}

// Kept apart from the call log, so that call sequences stay as the engine sees them.
std::vector<DWORD> FakeHookKeys(void)
{
    return hookKeys;
}

extern "C" {

BOOL WINAPI InstallKeyHook(HWND window, DWORD key, DWORD flags)
{
    hookWindow = window;
    char call[64];
    snprintf(call, sizeof call, "InstallKeyHook(%lu,%lu)", (unsigned long)key,
             (unsigned long)flags);
    LogFakeCall(call);
    return TRUE;
}

BOOL WINAPI RemoveKeyHook(void)
{
    hookWindow = NULL;
    hookKeys.clear();
    LogFakeCall("RemoveKeyHook");
    return TRUE;
}

BOOL WINAPI SetKeyHookKeys(const DWORD *keys, DWORD count)
{
    if (!keys && count)
        return FALSE;
    hookKeys.assign(keys, keys + count);
    return TRUE;
}

// The keys go out as they are: no hook is there to pass.
UINT WINAPI SendKeysPastHook(const INPUT *inputs, UINT count)
{
    if (!inputs || !count)
        return 0;
    return SendInput(count, const_cast<INPUT *>(inputs), sizeof(INPUT));
}

}  // extern "C"
