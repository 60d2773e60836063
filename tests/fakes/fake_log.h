// The recording fakes of the engine and key-hook libraries: every call is logged in order, in
// one log, so tests check sequences such as "QuorvelSetRate(25), then QuorvelSetFile".
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

std::vector<std::string> &FakeCalls(void);
void ClearFakeCalls(void);
// Called with each entry as it is logged (for checks at the moment of a call).
void SetFakeCallObserver(std::function<void(const std::string &)> observer);
void LogFakeCall(const std::string &call);

// Engine: the bound window, the answer of the length query, and a report sent as the engine
// sends it.
HWND FakeEngineWindow(void);
void SetFakeEngineLength(LONG frames);
void SendFakeEngineReport(LONG frame);
// While set, QuorvelSetRate reports this frame from inside the call, as the engine does while
// paused (the picture stays, its number is counted again).
void SetFakeEngineReportOnSetRate(bool reports, LONG frame);

// Key hook: the window it reports to (0 when removed) and the keys last handed to
// SetKeyHookKeys, as given (empty when removed).
HWND FakeHookWindow(void);
std::vector<DWORD> FakeHookKeys(void);
