#include "open_trace.h"

OpenTrace g_openTrace;

namespace {

LONGLONG Ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double TicksToMs(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return ticks * 1000.0 / frequency.QuadPart;
}

}  // namespace

void OpenTraceStart()
{
    g_openTrace.wanted = true;
    g_openTrace.count = 0;
    g_openTrace.startTicks = Ticks();
}

void OpenTraceMark(const char *step)
{
    OpenTrace &t = g_openTrace;
    if (!t.wanted || t.count >= OPEN_TRACE_MARKS)
        return;
    t.marks[t.count].step = step;
    t.marks[t.count].ticks = Ticks();
    t.count++;
}

double OpenTraceMsSinceStart(int i) { return TicksToMs(g_openTrace.marks[i].ticks - g_openTrace.startTicks); }

double OpenTraceStepMs(int i)
{
    LONGLONG from = i > 0 ? g_openTrace.marks[i - 1].ticks : g_openTrace.startTicks;
    return TicksToMs(g_openTrace.marks[i].ticks - from);
}
