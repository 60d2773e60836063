// The Playback dialog: how far a resume goes back, how far the jump keys go and which keys they
// are, the playback speed and the keys that change it. OK writes the [Playback] section, the
// numbers clamped to their ranges, and hands the keys and the speed back to the Player window,
// which hands the keys to the key hook and the speed to the engine.
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

// Speeds and their keys are both edited as short numbers and key names. The keys made for
// pedals and macro keypads offer F13 to F24 as well.
static void InitHotKey(HWND dialog, int id, const char *key, bool wide = false)
{
    const char *const *names = wide ? WideHotKeyNames : HotKeyNames;
    int count = wide ? 25 : 13;
    for (int i = 0; i < count; i++)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)names[i]);
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, DEFAULT_JUMP_HOTKEY, text, sizeof text);
    // Exact names, so that "F1" finds "F1" only.
    LRESULT found = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    if (found != CB_ERR)
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, (WPARAM)found, 0);
}

static void InitSwitch(HWND dialog, int id, const char *key)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, DEFAULT_NO, text, sizeof text);
    CheckDlgButton(dialog, id, SwitchFromText(text) ? BST_CHECKED : BST_UNCHECKED);
}

static void InitWhole(HWND dialog, int id, const char *key, const char *fallback,
                      int (*fromText)(const char *))
{
    char text[SECONDS_READ_SIZE], shown[SECONDS_TEXT_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, fallback, text, sizeof text);
    snprintf(shown, sizeof shown, "%d", fromText(text));
    InitSeconds(dialog, id, shown);
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

    ReadSetting(SECTION_PLAYBACK, KEY_SPEED, DEFAULT_SPEED, text, sizeof text);
    snprintf(shown, sizeof shown, "%d", SpeedFromText(text));
    InitSeconds(dialog, IDC_PB_SPEED, shown);

    InitHotKey(dialog, IDC_PB_JUMPBACKKEY, KEY_JUMP_BACK_HOTKEY);
    InitHotKey(dialog, IDC_PB_JUMPFORWARDKEY, KEY_JUMP_FORWARD_HOTKEY);
    InitHotKey(dialog, IDC_PB_SLOWERKEY, KEY_SLOWER_HOTKEY);
    InitHotKey(dialog, IDC_PB_FASTERKEY, KEY_FASTER_HOTKEY);

    InitSwitch(dialog, IDC_PB_RESUME, KEY_RESUME_WHERE_STOPPED);
    InitSwitch(dialog, IDC_PB_SLIDERFOLLOWS, KEY_SLIDER_FOLLOWS);
    InitHotKey(dialog, IDC_PB_LOOPKEY, KEY_LOOP_HOTKEY, true);
    InitWhole(dialog, IDC_PB_LOOPSECONDS, KEY_LOOP_SECONDS, DEFAULT_LOOP_SECONDS,
              LoopSecondsFromText);
    InitWhole(dialog, IDC_PB_LOOPSPEED, KEY_LOOP_SPEED, DEFAULT_LOOP_SPEED, LoopSpeedFromText);
    ReadSetting(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, DEFAULT_SOURCE_TIMECODE, text, sizeof text);
    CheckDlgButton(dialog, IDC_PB_SOURCETC,
                   lstrcmpA(text, SOURCE_TIMECODE_ON) == 0 ? BST_CHECKED : BST_UNCHECKED);
    InitHotKey(dialog, IDC_PB_HOLDTOPLAYKEY, KEY_HOLD_TO_PLAY_HOTKEY, true);
}

static int SelectedHotKey(HWND dialog, int id)
{
    char text[CONTROL_TEXT_SIZE];
    ReadControlText(dialog, id, text);
    return WideHotKeyFromName(text, HOTKEY_NONE);
}

// A key already in use, and what a key that is it is told.
struct TakenKey {
    int key;
    const char *refusal;
};

// The keys of this dialog, in the order of the template: each may not be one of the keys before
// it, nor the TC or start/stop key. One key doing two things at once (typing the timecode and
// jumping) would make the typed timecode wrong.
static const struct {
    int list, refusalLine;
    const char *refusal;  // what a later key that is this one is told
} ChosenKeys[] = {
    {IDC_PB_JUMPBACKKEY, IDC_PB_JUMPBACK_REFUSED, "Already Jump Back"},
    {IDC_PB_JUMPFORWARDKEY, IDC_PB_JUMPFORWARD_REFUSED, "Already Jump Forward"},
    {IDC_PB_SLOWERKEY, IDC_PB_SLOWER_REFUSED, "Already Slower"},
    {IDC_PB_FASTERKEY, IDC_PB_FASTER_REFUSED, "Already Faster"},
    {IDC_PB_LOOPKEY, IDC_PB_LOOP_REFUSED, "Already the Loop key"},
    {IDC_PB_HOLDTOPLAYKEY, IDC_PB_HOLDTOPLAY_REFUSED, "Already Hold to Play"},
};
enum { CHOSEN_KEY_COUNT = sizeof ChosenKeys / sizeof ChosenKeys[0] };

// Why a key cannot be this key, or NULL.
static const char *Refusal(int key, const TakenKey *taken, int count)
{
    if (key == HOTKEY_NONE)
        return NULL;
    for (int i = 0; i < count; i++)
        if (key == taken[i].key)
            return taken[i].refusal;
    return NULL;
}

static bool IsChosenKeyList(int id)
{
    for (const auto &chosen : ChosenKeys)
        if (chosen.list == id)
            return true;
    return false;
}

// Shows the refusal beside each key (empty when none); true when no key is refused.
static bool CheckHotKeys(HWND dialog)
{
    const PlaybackChoice *choice = Choice(dialog);
    TakenKey taken[2 + CHOSEN_KEY_COUNT] = {
        {choice->tcHotKey, "Already the TC key"},
        {choice->startStopHotKey, "Already Start/Stop"},
    };
    int count = 2;
    bool allowed = true;
    for (const auto &chosen : ChosenKeys) {
        int key = SelectedHotKey(dialog, chosen.list);
        const char *refusal = Refusal(key, taken, count);
        SetDlgItemTextA(dialog, chosen.refusalLine, refusal ? refusal : "");
        allowed = allowed && !refusal;
        taken[count].key = key;
        taken[count].refusal = chosen.refusal;
        count++;
    }
    return allowed;
}

// The key chosen in the list, stored under its name; its code, or code when the list names none.
static int StoreHotKey(HWND dialog, int list, const char *key, int code)
{
    char text[CONTROL_TEXT_SIZE];
    ReadControlText(dialog, list, text);
    WriteSetting(SECTION_PLAYBACK, key, text);
    return WideHotKeyFromName(text, code);
}

static void StoreSwitch(HWND dialog, int id, const char *key)
{
    WriteSetting(SECTION_PLAYBACK, key, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? "YES" : "NO");
}

static void StoreWhole(HWND dialog, int id, const char *key, int (*fromText)(const char *))
{
    char text[CONTROL_TEXT_SIZE], stored[SECONDS_TEXT_SIZE];
    ReadControlText(dialog, id, text);
    snprintf(stored, sizeof stored, "%d", fromText(text));
    WriteSetting(SECTION_PLAYBACK, key, stored);
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

    choice->jumpBackHotKey =
        StoreHotKey(dialog, IDC_PB_JUMPBACKKEY, KEY_JUMP_BACK_HOTKEY, choice->jumpBackHotKey);
    choice->jumpForwardHotKey = StoreHotKey(dialog, IDC_PB_JUMPFORWARDKEY,
                                            KEY_JUMP_FORWARD_HOTKEY, choice->jumpForwardHotKey);

    ReadControlText(dialog, IDC_PB_SPEED, text);
    choice->speedPercent = SpeedFromText(text);
    snprintf(stored, sizeof stored, "%d", choice->speedPercent);
    WriteSetting(SECTION_PLAYBACK, KEY_SPEED, stored);
    choice->slowerHotKey =
        StoreHotKey(dialog, IDC_PB_SLOWERKEY, KEY_SLOWER_HOTKEY, choice->slowerHotKey);
    choice->fasterHotKey =
        StoreHotKey(dialog, IDC_PB_FASTERKEY, KEY_FASTER_HOTKEY, choice->fasterHotKey);

    // The Player window reads these back after OK.
    StoreSwitch(dialog, IDC_PB_RESUME, KEY_RESUME_WHERE_STOPPED);
    StoreSwitch(dialog, IDC_PB_SLIDERFOLLOWS, KEY_SLIDER_FOLLOWS);
    StoreHotKey(dialog, IDC_PB_LOOPKEY, KEY_LOOP_HOTKEY, HOTKEY_NONE);
    StoreWhole(dialog, IDC_PB_LOOPSECONDS, KEY_LOOP_SECONDS, LoopSecondsFromText);
    StoreWhole(dialog, IDC_PB_LOOPSPEED, KEY_LOOP_SPEED, LoopSpeedFromText);
    choice->sourceTimecode = IsDlgButtonChecked(dialog, IDC_PB_SOURCETC) == BST_CHECKED;
    WriteSetting(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE,
                 choice->sourceTimecode ? SOURCE_TIMECODE_ON : DEFAULT_SOURCE_TIMECODE);
    // The hold-to-play key is read back from the settings by the Player window.
    StoreHotKey(dialog, IDC_PB_HOLDTOPLAYKEY, KEY_HOLD_TO_PLAY_HOTKEY, HOTKEY_NONE);
}

// OK stays open while a key is refused; a new choice in either list shows or clears the
// refusals at once.
static INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    if (command == IDOK && !CheckHotKeys(dialog))
        return 1;
    if (HIWORD(command) == CBN_SELCHANGE && IsChosenKeyList(LOWORD(command)))
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
