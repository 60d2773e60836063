// The Playback dialog: how far a resume goes back, how far the jump keys go and which keys they
// are. OK writes the [Playback] section, the numbers clamped to their ranges, and hands the keys
// back to the Player window, which hands them to the key hook.
#include "dialogs/dialogs.h"

#include <stdio.h>

#include "platform/osgrim.h"
#include "resources/resource.h"
#include "settings/settings.h"

enum {
    CONTROL_TEXT_SIZE = 32,  // texts read back from the controls
};

static PlaybackChoice *Choice(HWND dialog)
{
    return (PlaybackChoice *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static void ReadControlText(HWND dialog, int id, char text[CONTROL_TEXT_SIZE])
{
    text[0] = '\0';
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, CONTROL_TEXT_SIZE, (LPARAM)text);
}

static void InitSeconds(HWND dialog, int id, const char *text)
{
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, SECONDS_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, id, text);
}

static void InitHotKey(HWND dialog, int id, const char *key)
{
    for (const char *name : HotKeyNames)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)name);
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, DEFAULT_JUMP_HOTKEY, text, sizeof text);
    SendDlgItemMessageA(dialog, id, CB_SELECTSTRING, 0, (LPARAM)text);
}

// The numbers are shown as they will be used, so a hand-edited "25" shows the 10 it means.
static void OnInitDialog(HWND dialog, PlaybackChoice *choice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)choice);
    RestoreWindowPosition(dialog, KEY_PLAYBACK_DIALOG);
    SetWindowTextA(dialog, "Playback");

    char text[SECONDS_READ_SIZE];
    char shown[SECONDS_TEXT_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, DEFAULT_REWIND_ON_RESUME, text,
                sizeof text);
    FormatRewindSeconds(RewindSecondsFromText(text), shown);
    InitSeconds(dialog, IDC_PB_REWIND, shown);
    ReadSetting(SECTION_PLAYBACK, KEY_JUMP_SECONDS, DEFAULT_JUMP_SECONDS, text, sizeof text);
    snprintf(shown, sizeof shown, "%d", JumpSecondsFromText(text));
    InitSeconds(dialog, IDC_PB_JUMPSECONDS, shown);

    InitHotKey(dialog, IDC_PB_JUMPBACKKEY, KEY_JUMP_BACK_HOTKEY);
    InitHotKey(dialog, IDC_PB_JUMPFORWARDKEY, KEY_JUMP_FORWARD_HOTKEY);
}

static int SelectedHotKey(HWND dialog, int id)
{
    char text[CONTROL_TEXT_SIZE];
    ReadControlText(dialog, id, text);
    return HotKeyFromName(text, HOTKEY_NONE);
}

// Why a jump key cannot be this key, or NULL. One key doing two things at once (typing the
// timecode and jumping) would make the typed timecode wrong.
static const char *Refusal(int key, int tcHotKey, int startStopHotKey, int otherJumpKey)
{
    if (key == HOTKEY_NONE)
        return NULL;
    if (key == tcHotKey)
        return "Already the TC key";
    if (key == startStopHotKey)
        return "Already Start/Stop";
    if (key == otherJumpKey)
        return "Already Jump Back";
    return NULL;
}

// Shows the refusal beside each key (empty when none); true when neither key is refused.
static bool CheckHotKeys(HWND dialog)
{
    const PlaybackChoice *choice = Choice(dialog);
    int back = SelectedHotKey(dialog, IDC_PB_JUMPBACKKEY);
    int forward = SelectedHotKey(dialog, IDC_PB_JUMPFORWARDKEY);
    const char *backRefusal =
        Refusal(back, choice->tcHotKey, choice->startStopHotKey, HOTKEY_NONE);
    const char *forwardRefusal =
        Refusal(forward, choice->tcHotKey, choice->startStopHotKey, back);
    SetDlgItemTextA(dialog, IDC_PB_JUMPBACK_REFUSED, backRefusal ? backRefusal : "");
    SetDlgItemTextA(dialog, IDC_PB_JUMPFORWARD_REFUSED, forwardRefusal ? forwardRefusal : "");
    return !backRefusal && !forwardRefusal;
}

static void OnOK(HWND dialog)
{
    PlaybackChoice *choice = Choice(dialog);
    char text[CONTROL_TEXT_SIZE];
    char stored[SECONDS_TEXT_SIZE];
    ReadControlText(dialog, IDC_PB_REWIND, text);
    FormatRewindSeconds(RewindSecondsFromText(text), stored);
    WriteSetting(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, stored);
    ReadControlText(dialog, IDC_PB_JUMPSECONDS, text);
    snprintf(stored, sizeof stored, "%d", JumpSecondsFromText(text));
    WriteSetting(SECTION_PLAYBACK, KEY_JUMP_SECONDS, stored);

    ReadControlText(dialog, IDC_PB_JUMPBACKKEY, text);
    WriteSetting(SECTION_PLAYBACK, KEY_JUMP_BACK_HOTKEY, text);
    choice->jumpBackHotKey = HotKeyFromName(text, choice->jumpBackHotKey);
    ReadControlText(dialog, IDC_PB_JUMPFORWARDKEY, text);
    WriteSetting(SECTION_PLAYBACK, KEY_JUMP_FORWARD_HOTKEY, text);
    choice->jumpForwardHotKey = HotKeyFromName(text, choice->jumpForwardHotKey);
}

// OK stays open while a key is refused; a new choice in either list shows or clears the
// refusals at once.
static INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    if (command == IDOK && !CheckHotKeys(dialog))
        return 1;
    if (HIWORD(command) == CBN_SELCHANGE &&
        (LOWORD(command) == IDC_PB_JUMPBACKKEY || LOWORD(command) == IDC_PB_JUMPFORWARDKEY))
        CheckHotKeys(dialog);
    return OnDialogCommand(dialog, command, OnOK);
}

INT_PTR CALLBACK PlaybackDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, (PlaybackChoice *)lParam); return 0;
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_DESTROY: SaveWindowPlacement(dialog, KEY_PLAYBACK_DIALOG); return 0;
    default: return 0;
    }
}
