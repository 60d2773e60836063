// The shell's process-wide handles and the debug trace channel, shared with the Player window.
#include "app/app.h"

#include <stdarg.h>
#include <stdio.h>

ApplicationGlobals App;

int TraceMessage(const char *format, ...)
{
    if (!App.traceWindow)
        return 0;
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(App.traceBuffer, sizeof App.traceBuffer, format, arguments);
    va_end(arguments);
    SendMessageA(App.traceWindow, WM_SETTEXT, 0, (LPARAM)App.traceBuffer);
    return 0;
}
