#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    StartApplication(instance, commandLine);
    int exitCode = RunMessageLoop();
    ShutDownApplication();
    return exitCode;
}
