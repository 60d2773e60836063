#include "app/app.h"

// The ANSI command line WinMain is given turns every character the code page lacks into '?':
// the file name is taken from the wide one instead.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    StartApplication(instance, ArgumentsOfCommandLine(GetCommandLineW()));
    int exitCode = RunMessageLoop();
    ShutDownApplication();
    return exitCode;
}
