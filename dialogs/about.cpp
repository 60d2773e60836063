// The About dialog: the product title in the display font, the icon, and the credit text
// revealed like a typewriter.
#include "dialogs/dialogs.h"

#include <string.h>

#include "app/app.h"
#include "platform/osgrim.h"
#include "resources/resource.h"
#include "settings/settings.h"

enum {
    REVEAL_TIMER_ID = 1,
    REVEAL_STEP_MS = 30,
    REVEAL_BUFFER_SIZE = 256,
};

const char AboutCreditText[] =
    "Made by the Vantorel developers.\r\n"
    "Version " VANTOREL_VERSION_TEXT " for Windows.\r\n"
    "F12 types the timecode, F11 starts and pauses.";

// The reveal's progress: one About dialog is open at a time.
static struct {
    size_t shown;  // characters of the credit text on screen
} Reveal;

static void OnInitDialog(HWND dialog, HFONT titleFont)
{
    RestoreWindowPosition(dialog, KEY_ABOUT_DIALOG);
    SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_SETFONT, (WPARAM)titleFont, 0);
    SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, PROGRAM_TITLE);
    PostMessageA(dialog, WM_APP_REVEAL, 0, 0);
}

static void ShowCredits(HWND dialog, size_t length)
{
    static_assert(sizeof AboutCreditText <= REVEAL_BUFFER_SIZE, "the credit text fits the buffer");
    char text[REVEAL_BUFFER_SIZE];
    memcpy(text, AboutCreditText, length);
    text[length] = '\0';
    HWND credits = GetDlgItem(dialog, IDC_ABOUT_CREDITS);
    SetWindowTextA(credits, text);
    InvalidateRect(credits, NULL, FALSE);
}

// One character per tick of a timer, so that the program keeps answering everything else (hot
// keys, remote requests, the engine's reports) while the text appears.
static void StartReveal(HWND dialog)
{
    Reveal.shown = 0;
    ShowCredits(dialog, 0);
    SetTimer(dialog, REVEAL_TIMER_ID, REVEAL_STEP_MS, NULL);
}

static void OnRevealTick(HWND dialog)
{
    if (Reveal.shown < strlen(AboutCreditText))
        ShowCredits(dialog, ++Reveal.shown);
    if (Reveal.shown >= strlen(AboutCreditText))
        KillTimer(dialog, REVEAL_TIMER_ID);
}

static void OnDestroy(HWND dialog)
{
    KillTimer(dialog, REVEAL_TIMER_ID);
    SaveWindowPlacement(dialog, KEY_ABOUT_DIALOG);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, (HFONT)lParam); return 0;
    case WM_APP_REVEAL: StartReveal(dialog); return 0;
    case WM_TIMER:
        if (wParam == REVEAL_TIMER_ID)
            OnRevealTick(dialog);
        return 0;
    case WM_COMMAND: return OnDialogCommand(dialog, wParam, NULL);
    case WM_DESTROY: OnDestroy(dialog); return 0;
    default: return 0;
    }
}
