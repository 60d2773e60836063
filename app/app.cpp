// Start-up, the one message loop, shut-down and the debug trace channel.
#include "app/app.h"

#include <string.h>

#include "controls/controls.h"
#include "platform/osgrim.h"
#include "player/player.h"
#include "resources/resource.h"
#include "settings/settings.h"

enum {
    TASK_WINDOW_STYLE = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
    THEME_BUFFER_SIZE = 32,
    DLGWINDOWEXTRA_BYTES = DLGWINDOWEXTRA,
};

const WCHAR *ArgumentsOfCommandLine(const WCHAR *processCommandLine)
{
    const WCHAR *p = processCommandLine;
    if (*p == L'"') {
        // A quoted program path ends at the next quote; blanks inside it belong to it.
        for (p++; *p && *p != L'"'; p++) {
        }
        if (*p)
            p++;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            p++;
    }
    while (*p == L' ' || *p == L'\t')
        p++;
    return p;
}

void FileNameFromCommandLine(const WCHAR *commandLine, WCHAR *fileName, size_t fileNameSize)
{
    size_t length = lstrlenW(commandLine);
    const WCHAR *start = commandLine;
    if (length > 0 && commandLine[0] == '"') {
        // The closing quote is taken to be the very last character.
        start++;
        length = length >= 2 ? length - 2 : 0;
    }
    if (length > COMMAND_LINE_LIMIT)
        length = COMMAND_LINE_LIMIT;
    if (length >= fileNameSize)
        length = fileNameSize - 1;
    memcpy(fileName, start, length * sizeof *fileName);
    fileName[length] = L'\0';
}

static void ApplyTheme(void)
{
    char theme[THEME_BUFFER_SIZE] = {0};
    ReadSetting(SECTION_SYSTEM, KEY_THEME, "", theme, THEME_READ_SIZE);
    SetOsgrimTheme(theme);
}

static HICON RegisterPlayerClass(HINSTANCE instance)
{
    HICON icon = LoadIconA(instance, IDI_APPL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefDlgProcA;  // the dialog manager drives the window and calls ViewDlgProc
    wc.cbWndExtra = DLGWINDOWEXTRA_BYTES;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = LoadIconA(instance, IDI_APPLSM);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = VANTOREL_DLGCLASS;
    RegisterClassExA(&wc);
    return icon;
}

void StartApplication(HINSTANCE instance, const WCHAR *commandLine)
{
    App.traceWindow = FindWindowA(TRACE_WINDOW_CLASS, TRACE_WINDOW_TITLE);
    App.instance = instance;
    LocateSettingsFile(SettingsFilePath);
    if (commandLine[0]) {
        WCHAR fileName[CURRENT_FILE_SIZE];
        FileNameFromCommandLine(commandLine, fileName, CURRENT_FILE_SIZE);
        SetCurrentFile(fileName);
        TraceMessage("%s\r\n", Player.currentFile);
    }
    InitOsgrim(instance);
    ApplyTheme();
    RegisterControlClasses(instance);
    HICON icon = RegisterPlayerClass(instance);
    App.taskWindow = CreateOsgrimTaskWindow(PROGRAM_TITLE, TASK_WINDOW_STYLE, icon, instance);
    App.playerWindow = CreateDialogParamA(instance, IDD_ZENTRIX, App.taskWindow,
                                          ViewDlgProc, 0);
}

void ProcessLoopMessage(const MSG *msg)
{
    // The Player window's keyboard shortcuts: every key-down, whichever window has the focus,
    // before the key itself is dispatched.
    if (msg->message == WM_KEYDOWN)
        SendMessageA(App.playerWindow, WM_COMMAND, ID_KEYFORWARD, (LPARAM)msg->wParam);
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

int RunMessageLoop(void)
{
    // Without a Player window nothing would ever post the quit message.
    if (!App.playerWindow)
        return EXIT_NO_PLAYER;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        ProcessLoopMessage(&msg);
    return (int)msg.wParam;
}

void ShutDownApplication(void)
{
    if (App.playerWindow && IsWindow(App.playerWindow))
        DestroyWindow(App.playerWindow);
    DestroyOsgrimTaskWindow(App.taskWindow);
    UnregisterControlClasses(App.instance);
    ExitOsgrim(App.instance);
}
