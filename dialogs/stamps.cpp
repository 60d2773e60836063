// The Stamps dialog: the form the TC hot key types (a preset or one's own template, with an
// example from the current position as it is edited), how much earlier a stamp names, and the
// key that goes back from a stamp. OK writes the [Stamp] section.
#include "dialogs/dialogs.h"

#include <stdio.h>
#include <string.h>

#include "platform/osgrim.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timecode/stamp.h"

enum {
    CONTROL_TEXT_SIZE = 32,
    EXAMPLE_SIZE = 2 * STAMP_TEXT_SIZE,  // a line break is shown as a word
    NO_PRESET = -1,
};

static StampsChoice *Choice(HWND dialog)
{
    return (StampsChoice *)GetWindowLongPtrA(dialog, DWLP_USER);
}

// The designed form as a template, so that its example is made as every other one is.
static void DesignedTemplate(const StampsChoice *choice, char *text, int size)
{
    const char *frames = choice->showFramesMode == SHOW_FRAMES_NO ? "{HH}:{MM}:{SS}"
                         : choice->showFramesMode == SHOW_FRAMES_ZERO
                             ? (choice->format.dropFrame ? "{HH}:{MM}:{SS};00" : "{HH}:{MM}:{SS}:00")
                             : "{TC}";
    static const char *const signs[] = {" ", "", "{NL}", "{TAB}"};  // by AppendSignMode
    int mode = choice->appendSignMode >= 0 && choice->appendSignMode <= APPEND_TAB
                   ? choice->appendSignMode : APPEND_SPACE;
    snprintf(text, (size_t)size, "%s%s", frames, signs[mode]);
}

// What the template types now, LagSeconds earlier; tab and line break shown so they are seen.
static void ShowExample(HWND dialog)
{
    const StampsChoice *choice = Choice(dialog);
    char templateText[STAMP_TEMPLATE_SIZE];
    GetDlgItemTextA(dialog, IDC_ST_TEMPLATE, templateText, sizeof templateText);
    if (!templateText[0])
        DesignedTemplate(choice, templateText, sizeof templateText);
    char lag[CONTROL_TEXT_SIZE];
    GetDlgItemTextA(dialog, IDC_ST_LAG, lag, sizeof lag);
    StampClock clock = {choice->format, choice->frameRate, choice->offsetFrames};
    int32_t frame = LaggedFrame(choice->mediaFrame, RewindSecondsFromText(lag), choice->frameRate);
    char typed[STAMP_TEXT_SIZE];
    FormatStamp(templateText, frame, clock, typed, sizeof typed);
    char shown[EXAMPLE_SIZE];
    int length = 0;
    for (const char *p = typed; *p && length < EXAMPLE_SIZE - 16; p++) {
        const char *word = *p == '\t' ? "\xBB" : *p == '\r' ? "\xB6" : *p == '\n' ? "" : NULL;
        if (word)
            length += snprintf(shown + length, (size_t)(EXAMPLE_SIZE - length), "%s", word);
        else
            shown[length++] = *p;
    }
    shown[length] = '\0';
    SetDlgItemTextA(dialog, IDC_ST_EXAMPLE, shown);
}

// The preset whose template the field holds, selected in the list; none for one's own.
static void SelectMatchingPreset(HWND dialog)
{
    char templateText[STAMP_TEMPLATE_SIZE];
    GetDlgItemTextA(dialog, IDC_ST_TEMPLATE, templateText, sizeof templateText);
    int match = NO_PRESET;
    for (int i = 0; i < STAMP_PRESET_COUNT; i++)
        if (strcmp(templateText, StampPresets[i].templateText) == 0)
            match = i;
    if ((int)SendDlgItemMessageA(dialog, IDC_ST_PRESET, CB_GETCURSEL, 0, 0) != match)
        SendDlgItemMessageA(dialog, IDC_ST_PRESET, CB_SETCURSEL, (WPARAM)match, 0);
}

static void OnInitDialog(HWND dialog, StampsChoice *choice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)choice);
    RestoreWindowPosition(dialog, KEY_STAMPS_DIALOG);
    SetWindowTextA(dialog, "Stamps");

    for (const StampPreset &preset : StampPresets)
        SendDlgItemMessageA(dialog, IDC_ST_PRESET, CB_ADDSTRING, 0, (LPARAM)preset.name);
    char templateText[STAMP_TEMPLATE_SIZE];
    ReadSetting(SECTION_STAMP, KEY_STAMP_TEMPLATE, DEFAULT_STAMP_TEMPLATE, templateText,
                sizeof templateText);
    SendDlgItemMessageA(dialog, IDC_ST_TEMPLATE, EM_LIMITTEXT, STAMP_TEMPLATE_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_ST_TEMPLATE, templateText);

    // Shown as it will be used, so a hand-edited "25" shows the 10 it means.
    char text[SECONDS_READ_SIZE];
    char shown[SECONDS_TEXT_SIZE];
    ReadSetting(SECTION_STAMP, KEY_LAG_SECONDS, DEFAULT_LAG_SECONDS, text, sizeof text);
    FormatRewindSeconds(RewindSecondsFromText(text), shown);
    SendDlgItemMessageA(dialog, IDC_ST_LAG, EM_LIMITTEXT, SECONDS_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_ST_LAG, shown);

    for (const char *name : WideHotKeyNames)
        SendDlgItemMessageA(dialog, IDC_ST_LOCATEKEY, CB_ADDSTRING, 0, (LPARAM)name);
    char key[OPTION_READ_SIZE];
    ReadSetting(SECTION_STAMP, KEY_LOCATE_HOTKEY, DEFAULT_LOCATE_HOTKEY, key, sizeof key);
    SendDlgItemMessageA(dialog, IDC_ST_LOCATEKEY, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)key);
    SelectMatchingPreset(dialog);
    ShowExample(dialog);
}

// The locate key may not be a key that already does something: the refusal beside it, true
// when it is allowed.
static bool CheckLocateKey(HWND dialog)
{
    static const char *const refusals[] = {"Already the TC key", "Already Start/Stop",
                                           "Already Jump Back", "Already Jump Forward",
                                           "Already Slower", "Already Faster"};
    char text[CONTROL_TEXT_SIZE];
    GetDlgItemTextA(dialog, IDC_ST_LOCATEKEY, text, sizeof text);
    int key = WideHotKeyFromName(text, HOTKEY_NONE);
    const char *refusal = NULL;
    for (int i = 0; i < 6 && key != HOTKEY_NONE && !refusal; i++)
        if (Choice(dialog)->takenKeys[i] == key)
            refusal = refusals[i];
    SetDlgItemTextA(dialog, IDC_ST_LOCATE_REFUSED, refusal ? refusal : "");
    return refusal == NULL;
}

// The settings file drops blanks at either end of a value and one pair of quotes around it: a
// template with a blank (or a quote) at an end is stored between quotes, which reading removes.
static void StoreTemplate(const char *templateText)
{
    size_t length = strlen(templateText);
    bool quoted = length > 0 && (strchr(" \t\"", templateText[0]) ||
                                 strchr(" \t\"", templateText[length - 1]));
    char stored[STAMP_TEMPLATE_SIZE + 2];
    snprintf(stored, sizeof stored, quoted ? "\"%s\"" : "%s", templateText);
    WriteSetting(SECTION_STAMP, KEY_STAMP_TEMPLATE, stored);
}

static void OnOK(HWND dialog)
{
    char templateText[STAMP_TEMPLATE_SIZE];
    GetDlgItemTextA(dialog, IDC_ST_TEMPLATE, templateText, sizeof templateText);
    StoreTemplate(templateText);
    char text[CONTROL_TEXT_SIZE];
    char stored[SECONDS_TEXT_SIZE];
    GetDlgItemTextA(dialog, IDC_ST_LAG, text, sizeof text);
    FormatRewindSeconds(RewindSecondsFromText(text), stored);
    WriteSetting(SECTION_STAMP, KEY_LAG_SECONDS, stored);
    GetDlgItemTextA(dialog, IDC_ST_LOCATEKEY, text, sizeof text);
    if (WideHotKeyFromName(text, -1) != -1)  // a name the list offers; nothing chosen keeps it
        WriteSetting(SECTION_STAMP, KEY_LOCATE_HOTKEY, text);
}

// A preset puts its template in the field; any edit of the template or the lag shows the
// example at once.
static INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    switch (command) {
    case MAKEWPARAM(IDOK, BN_CLICKED):
        if (!CheckLocateKey(dialog))
            return 1;
        break;
    case MAKEWPARAM(IDC_ST_PRESET, CBN_SELCHANGE): {
        int preset = (int)SendDlgItemMessageA(dialog, IDC_ST_PRESET, CB_GETCURSEL, 0, 0);
        if (preset >= 0 && preset < STAMP_PRESET_COUNT)
            SetDlgItemTextA(dialog, IDC_ST_TEMPLATE, StampPresets[preset].templateText);
        break;
    }
    case MAKEWPARAM(IDC_ST_TEMPLATE, EN_CHANGE):
        SelectMatchingPreset(dialog);
        ShowExample(dialog);
        break;
    case MAKEWPARAM(IDC_ST_LAG, EN_CHANGE): ShowExample(dialog); break;
    case MAKEWPARAM(IDC_ST_LOCATEKEY, CBN_SELCHANGE): CheckLocateKey(dialog); break;
    default: break;
    }
    return OnDialogCommand(dialog, command, OnOK);
}

INT_PTR CALLBACK StampsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, (StampsChoice *)lParam); return 0;
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_DESTROY: SaveWindowPlacement(dialog, KEY_STAMPS_DIALOG); return 0;
    default: return 0;
    }
}
