// A recording stand-in for ZENTRIXKEY.DLL: no hook is installed, hot keys are posted by tests.
#include <stdio.h>

#include "platform/zentrixkey.h"
#include "tests/fakes/fake_log.h"

static HWND hookWindow;

HWND FakeHookWindow(void)
{
    return hookWindow;
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
    LogFakeCall("RemoveKeyHook");
    return TRUE;
}

}  // extern "C"
