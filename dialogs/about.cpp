// The About dialog: the product title in the display font, the icon, and the credit text
// revealed like a typewriter.
#include "dialogs/dialogs.h"

#include <string.h>

#include "app/app.h"
#include "platform/osgrim.h"
#include "resources/resource.h"
#include "settings/settings.h"

#define WM_APP_REVEAL 1592  // posted to itself: start the reveal once the dialog is visible

enum {
    REVEAL_STEP_MS = 30,
    REVEAL_BUFFER_SIZE = 256,
};

static const char CreditText[] =
    "Made by the Vantorel developers.\r\n"
    "Version 1.20 for Windows.\r\n"
    "F12 types the timecode, F11 starts and pauses.";

static void OnInitDialog(HWND dialog)
{
    RestoreWindowPosition(dialog, KEY_ABOUT_DIALOG);
    SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_SETFONT, (WPARAM)App.displayFont, 0);
    SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, PROGRAM_TITLE);
    PostMessageA(dialog, WM_APP_REVEAL, 0, 0);
}

// Paints every window of the thread that waits for it; nothing else gets through.
static void PumpPaintMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static void RevealCredits(HWND dialog)
{
    static_assert(sizeof CreditText <= REVEAL_BUFFER_SIZE, "the credit text fits the buffer");
    char text[REVEAL_BUFFER_SIZE];
    memcpy(text, CreditText, sizeof CreditText);
    HWND credits = GetDlgItem(dialog, IDC_ABOUT_CREDITS);
    size_t length = strlen(text);
    for (size_t i = 0; i <= length; i++) {
        char kept = text[i];
        text[i] = '\0';
        SetWindowTextA(credits, text);
        InvalidateRect(credits, NULL, FALSE);
        text[i] = kept;
        PumpPaintMessages();
        Sleep(REVEAL_STEP_MS);
    }
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return 0;
    case WM_APP_REVEAL: RevealCredits(dialog); return 0;
    case WM_COMMAND: return OnDialogCommand(dialog, wParam, NULL);
    case WM_DESTROY: SaveWindowPlacement(dialog, KEY_ABOUT_DIALOG); return 0;
    default: return 0;
    }
}
