// The Pedal dialog: the USB pedal found, what each of its buttons does, which device is read, and
// the hold-to-play key (chosen in the Playback dialog). A light beside each button shows while
// the button is held, so the user can see which is which. OK writes the [Pedal] section.
#include "dialogs/dialogs.h"

#include <stdio.h>
#include <string.h>

#include "pedal/reader.h"
#include "platform/osgrim.h"
#include "resources/resource.h"
#include "settings/settings.h"

enum {
    STATUS_TIMER_ID = 1,
    STATUS_TIMER_MS = 50,  // the lights follow the feet within this
    CONTROL_TEXT_SIZE = 64,
};

#define HELD_LIGHT "< held"
#define NO_PEDAL "No pedal found"

static const struct {
    int list, light;
    const char *key, *fallback;
} Buttons[PEDAL_BUTTON_COUNT] = {
    {IDC_PD_LEFT, IDC_PD_LEFT_HELD, KEY_PEDAL_LEFT, DEFAULT_PEDAL_LEFT},
    {IDC_PD_MIDDLE, IDC_PD_MIDDLE_HELD, KEY_PEDAL_MIDDLE, DEFAULT_PEDAL_MIDDLE},
    {IDC_PD_RIGHT, IDC_PD_RIGHT_HELD, KEY_PEDAL_RIGHT, DEFAULT_PEDAL_RIGHT},
};

// What the dialog shows of the reader, so that a tick changes only what changed.
struct Shown {
    char name[PEDAL_MODEL_NAME_SIZE];
    int held;
};

static Shown *ShownOf(HWND dialog)
{
    return (Shown *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static void ShowStatus(HWND dialog, bool always)
{
    Shown *shown = ShownOf(dialog);
    char name[PEDAL_MODEL_NAME_SIZE];
    int held = 0;
    PedalReaderStatus(name, &held);
    if (always || strcmp(name, shown->name) != 0) {
        char text[CONTROL_TEXT_SIZE];
        if (name[0])
            snprintf(text, sizeof text, "Pedal: %s", name);
        else
            lstrcpynA(text, NO_PEDAL, sizeof text);
        SetDlgItemTextA(dialog, IDC_PD_MODEL, text);
        lstrcpynA(shown->name, name, sizeof shown->name);
    }
    for (int i = 0; i < PEDAL_BUTTON_COUNT; i++) {
        bool now = held & (1 << i);
        if (always || now != ((shown->held & (1 << i)) != 0))
            SetDlgItemTextA(dialog, Buttons[i].light, now ? HELD_LIGHT : "");
    }
    shown->held = held;
}

static void InitAction(HWND dialog, int id, const char *key, const char *fallback)
{
    for (const char *name : PedalActionNames)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)name);
    char text[PEDAL_ACTION_READ_SIZE];
    ReadSetting(SECTION_PEDAL, key, fallback, text, sizeof text);
    LRESULT found = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    if (found != CB_ERR)
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)found, 0);
}

static void OnInitDialog(HWND dialog, PedalChoice *choice)
{
    static Shown shown;
    memset(&shown, 0, sizeof shown);
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)&shown);
    RestoreWindowPosition(dialog, KEY_PEDAL_DIALOG);
    SetWindowTextA(dialog, "Pedal");
    for (const auto &button : Buttons)
        InitAction(dialog, button.list, button.key, button.fallback);
    char text[PEDAL_DEVICE_READ_SIZE];
    ReadSetting(SECTION_PEDAL, KEY_PEDAL_DEVICE, DEFAULT_PEDAL_DEVICE, text, sizeof text);
    SendDlgItemMessageA(dialog, IDC_PD_DEVICE, EM_LIMITTEXT, PEDAL_DEVICE_READ_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_PD_DEVICE, text);
    int key = choice->holdToPlayKey;
    char keyText[CONTROL_TEXT_SIZE];
    if (key >= HOTKEY_F1 && key <= HOTKEY_F24)
        snprintf(keyText, sizeof keyText, "Hold-to-play key: %s (Playback dialog)",
                 WideHotKeyNames[key - HOTKEY_F1 + 1]);
    else
        lstrcpynA(keyText, "Hold-to-play key: none (Playback dialog)", sizeof keyText);
    SetDlgItemTextA(dialog, IDC_PD_HOLDKEY, keyText);
    ShowStatus(dialog, true);
    SetTimer(dialog, STATUS_TIMER_ID, STATUS_TIMER_MS, NULL);
}

// An empty Device text is stored as the default; any other text as it is (the reader takes
// what it does not understand as auto).
static void OnOK(HWND dialog)
{
    char text[CONTROL_TEXT_SIZE];
    for (const auto &button : Buttons) {
        text[0] = '\0';
        SendDlgItemMessageA(dialog, button.list, WM_GETTEXT, sizeof text, (LPARAM)text);
        if (PedalActionFromName(text, -1) >= 0)
            WriteSetting(SECTION_PEDAL, button.key, text);
    }
    text[0] = '\0';
    GetDlgItemTextA(dialog, IDC_PD_DEVICE, text, PEDAL_DEVICE_READ_SIZE);
    WriteSetting(SECTION_PEDAL, KEY_PEDAL_DEVICE, text[0] ? text : DEFAULT_PEDAL_DEVICE);
}

INT_PTR CALLBACK PedalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, (PedalChoice *)lParam); return 0;
    case WM_TIMER: ShowStatus(dialog, false); return 1;
    case WM_COMMAND: return OnDialogCommand(dialog, wParam, OnOK);
    case WM_DESTROY:
        KillTimer(dialog, STATUS_TIMER_ID);
        SaveWindowPlacement(dialog, KEY_PEDAL_DIALOG);
        return 0;
    default: return 0;
    }
}
