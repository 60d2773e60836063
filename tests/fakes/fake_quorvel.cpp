// A recording stand-in for QUORVEL.DLL, linked in its place.
#include <stdio.h>

#include "platform/quorvel.h"
#include "tests/fakes/fake_log.h"

static HWND engineWindow;
static LONG lengthAnswer;
static bool reportsOnSetRate;  // as the engine does when the picture stands still
static LONG setRateReport;

HWND FakeEngineWindow(void)
{
    return engineWindow;
}

void SetFakeEngineLength(LONG frames)
{
    lengthAnswer = frames;
}

void SendFakeEngineReport(LONG frame)
{
    SendMessageA(engineWindow, WM_ENGINE_NOTIFY, ENGINE_NOTIFY_POSITION, frame);
}

void SetFakeEngineReportOnSetRate(bool reports, LONG frame)
{
    reportsOnSetRate = reports;
    setRateReport = frame;
}

static std::string Text(const char *text)
{
    return text ? text : "(null)";
}

extern "C" {

BOOL WINAPI QuorvelInit(HWND player)
{
    engineWindow = player;
    LogFakeCall("QuorvelInit");
    return TRUE;
}

BOOL WINAPI QuorvelExit(void)
{
    LogFakeCall("QuorvelExit");
    return TRUE;
}

BOOL WINAPI QuorvelSetRate(double frameRate)
{
    char call[64];
    snprintf(call, sizeof call, "QuorvelSetRate(%g)", frameRate);
    LogFakeCall(call);
    if (reportsOnSetRate)
        SendFakeEngineReport(setRateReport);
    return TRUE;
}

BOOL WINAPI QuorvelLoadFilter(const char *decoderName)
{
    LogFakeCall("QuorvelLoadFilter(" + Text(decoderName) + ")");
    return TRUE;
}

BOOL WINAPI QuorvelSetFile(const char *path)
{
    LogFakeCall("QuorvelSetFile(" + Text(path) + ")");
    return TRUE;
}

// Logged as UTF-8, so that a test compares it with a readable text.
BOOL WINAPI QuorvelSetFileW(const WCHAR *path)
{
    char utf8[4096] = "(null)";
    if (path)
        WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, NULL, NULL);
    LogFakeCall(std::string("QuorvelSetFileW(") + utf8 + ")");
    return TRUE;
}

BOOL WINAPI QuorvelListFilter(HWND listBox)
{
    static const char *const names[] = {"Fake MPEG Decoder", "Fake AVI Decompressor"};
    for (const char *name : names)
        SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)name);
    LogFakeCall("QuorvelListFilter");
    return TRUE;
}

BOOL WINAPI QuorvelMoveVideoWindow(void)
{
    LogFakeCall("QuorvelMoveVideoWindow");
    return TRUE;
}

LONG WINAPI QuorvelControl(LONG request, LONG parameter)
{
    char call[64];
    snprintf(call, sizeof call, "QuorvelControl(%ld,%ld)", (long)request, (long)parameter);
    LogFakeCall(call);
    return request == QUORVEL_QUERY_LENGTH ? lengthAnswer : 0;
}

}  // extern "C"
