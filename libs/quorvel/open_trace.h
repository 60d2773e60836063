// Where the time of opening a file goes, step by step. Kept only while a bench asks for it
// (OpenTraceStart); otherwise a mark costs one test of a flag.
#pragma once

#include <windows.h>

const int OPEN_TRACE_MARKS = 24;

struct OpenTraceMark {
    const char *step;  // what ended at this mark
    LONGLONG ticks;    // QueryPerformanceCounter
};

struct OpenTrace {
    bool wanted;
    int count;
    LONGLONG startTicks;
    OpenTraceMark marks[OPEN_TRACE_MARKS];
};

extern OpenTrace g_openTrace;

// Starts a new record: the next marks are measured from here.
void OpenTraceStart();
// Records that a step ended now.
void OpenTraceMark(const char *step);
// Milliseconds from the start (or the previous mark) to mark i.
double OpenTraceMsSinceStart(int i);
double OpenTraceStepMs(int i);
