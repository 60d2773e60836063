// The application shell: start-up, the one message loop, shut-down and the debug trace channel.
#pragma once

#include <windows.h>

#include "resources/resource.h"  // VANTOREL_VERSION_TEXT

enum {
    TRACE_BUFFER_SIZE = 1024,
    COMMAND_LINE_LIMIT = 512,  // characters kept of the command line's file name
    EXIT_NO_PLAYER = 0,        // the Player window could not be created
};

#define PROGRAM_TITLE "Vantorel " VANTOREL_VERSION_TEXT
#define TRACE_WINDOW_CLASS "DLGCLASSTOOL"
#define TRACE_WINDOW_TITLE "MESSAGE"
#define HELP_DOCUMENT "ZentrixHelp.pdf"

// What the shell creates at start and releases at the end.
struct ApplicationGlobals {
    HINSTANCE instance;
    HWND traceWindow;  // 0: the trace channel is off
    char traceBuffer[TRACE_BUFFER_SIZE];
    HWND taskWindow;
    HWND playerWindow;
};
extern ApplicationGlobals App;

// Formats a line ("%s", "%d") into the trace buffer, cut to it, and sends it to the trace window
// as its text when one was found at start. Returns 0.
int TraceMessage(const char *format, ...);

// What follows the program's own path (quoted or not) and the blanks and tabs after it in the
// process command line: the text WinMain is given, here in full Unicode.
const WCHAR *ArgumentsOfCommandLine(const WCHAR *processCommandLine);

// The file name of a command-line text: a leading double quote drops the first and the last
// character; the rest is taken whole, blanks included, cut at COMMAND_LINE_LIMIT characters.
void FileNameFromCommandLine(const WCHAR *commandLine, WCHAR *fileName, size_t fileNameSize);

// Start-up up to the Player window, the loop, and shut-down; the loop's result is the exit code.
// The command line is the arguments' text, wide: a file named in any script arrives whole.
void StartApplication(HINSTANCE instance, const WCHAR *commandLine);
int RunMessageLoop(void);
// One message of the loop: the key-forward command for a key-down, then translate and dispatch.
void ProcessLoopMessage(const MSG *msg);
void ShutDownApplication(void);
