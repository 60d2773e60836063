// The Options dialog: frame rate and TC offset of the loaded file (or the "default" entries when
// none is loaded) and the four typing options. OK writes all six and hands them back to the
// Player window, which applies them. While the file's own timecode is in force it says so beside
// the offset, and an offset left as shown is not written.
#include "dialogs/dialogs.h"

#include "platform/osgrim.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timecode/timecode.h"

enum {
    CONTROL_TEXT_SIZE = 32,  // texts read back from the controls
    OFFSET_EDIT_LIMIT = 15,
};

// " DF" marks drop-frame numbering. Each text begins none of the others but its own DF form, and
// the plain rate comes first, so a stored plain rate selects itself.
static const char *const FrameRateItems[] = {
    "23.98", "24", "25", "29.97", "29.97 DF", "30", "50", "59.94", "59.94 DF", "60",
};
static const int FrameRateItemCount = sizeof FrameRateItems / sizeof FrameRateItems[0];
static const char *const AppendSignItems[] = {"NOT", "CRLF", "TAB", "SPACE"};
static const char *const ShowFramesItems[] = {"YES", "ZERO", "NO"};

static void FillList(HWND dialog, int id, const char *const *items, int count)
{
    for (int i = 0; i < count; i++)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)items[i]);
}

// Selects the first item that begins with text (case ignored); none when nothing matches.
static void SelectText(HWND dialog, int id, const char *text)
{
    SendDlgItemMessageA(dialog, id, CB_SELECTSTRING, 0, (LPARAM)text);
}

static OptionsChoice *Choice(HWND dialog)
{
    return (OptionsChoice *)GetWindowLongPtrA(dialog, DWLP_USER);
}

// The loaded file's key, or "default" when no file is loaded.
static const char *PerFileKey(HWND dialog)
{
    const char *file = Choice(dialog)->currentFile;
    return file[0] ? file : KEY_DEFAULT;
}

static void ReadPerFileText(HWND dialog, const char *section, const char *fallback, char *text,
                            DWORD size)
{
    if (ReadSetting(section, Choice(dialog)->currentFile, "", text, size) == 0)
        ReadSetting(section, KEY_DEFAULT, fallback, text, size);
}

// A rate the list does not offer (edited by hand: "29.76", "48") is added and selected, so OK
// writes it back as it was instead of wiping it.
static void SelectFrameRate(HWND dialog, const char *rate)
{
    LRESULT found = SendDlgItemMessageA(dialog, IDC_OPT_FRAMERATE, CB_SELECTSTRING, 0,
                                        (LPARAM)rate);
    if (found == CB_ERR && rate[0]) {
        LRESULT added = SendDlgItemMessageA(dialog, IDC_OPT_FRAMERATE, CB_ADDSTRING, 0,
                                            (LPARAM)rate);
        SendDlgItemMessageA(dialog, IDC_OPT_FRAMERATE, CB_SETCURSEL, (WPARAM)added, 0);
    }
}

static void SelectOption(HWND dialog, int id, const char *key, const char *fallback)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_OPTIONS, key, fallback, text, sizeof text);
    SelectText(dialog, id, text);
}

// Which timecode is in force: the file's own one, beside the offset; the offset field itself
// shows what it always does.
static void ShowSourceTimecode(HWND dialog)
{
    OptionsChoice *choice = Choice(dialog);
    choice->offsetShown[0] = '\0';
    SendDlgItemMessageA(dialog, IDC_OPT_TCOFFSET, WM_GETTEXT, sizeof choice->offsetShown,
                        (LPARAM)choice->offsetShown);
    if (!choice->sourceTimecodeStart)
        return;
    SetDlgItemTextA(dialog, IDC_OPT_TCSOURCE, "from the file");
    SetDlgItemTextA(dialog, IDC_OPT_TCSOURCE_START, choice->sourceTimecodeStart);
}

static void OnInitDialog(HWND dialog, OptionsChoice *choice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)choice);
    RestoreWindowPosition(dialog, KEY_OPTIONS_DIALOG);
    SetWindowTextA(dialog, "Options");
    FillList(dialog, IDC_OPT_FRAMERATE, FrameRateItems, FrameRateItemCount);
    FillList(dialog, IDC_OPT_APPENDSIGN, AppendSignItems, 4);
    FillList(dialog, IDC_OPT_TCHOTKEY, HotKeyNames, 13);
    FillList(dialog, IDC_OPT_SHOWFRAMES, ShowFramesItems, 3);
    FillList(dialog, IDC_OPT_STARTSTOPKEY, HotKeyNames, 13);

    char text[FRAME_RATE_READ_SIZE];
    ReadPerFileText(dialog, SECTION_FRAME_RATE, DEFAULT_FRAME_RATE, text, sizeof text);
    SelectFrameRate(dialog, text);
    ReadPerFileText(dialog, SECTION_TC_OFFSET, DEFAULT_TC_OFFSET, text, sizeof text);
    SendDlgItemMessageA(dialog, IDC_OPT_TCOFFSET, EM_LIMITTEXT, OFFSET_EDIT_LIMIT, 0);
    SetDlgItemTextA(dialog, IDC_OPT_TCOFFSET, text);
    ShowSourceTimecode(dialog);

    SelectOption(dialog, IDC_OPT_SHOWFRAMES, KEY_SHOW_KEY_FRAMES, DEFAULT_SHOW_KEY_FRAMES);
    SelectOption(dialog, IDC_OPT_APPENDSIGN, KEY_APPEND_KEY_SIGN, DEFAULT_APPEND_KEY_SIGN);
    SelectOption(dialog, IDC_OPT_TCHOTKEY, KEY_TC_HOTKEY, DEFAULT_TC_HOTKEY);
    SelectOption(dialog, IDC_OPT_STARTSTOPKEY, KEY_STARTSTOP_HOTKEY, DEFAULT_STARTSTOP_HOTKEY);
}

static void ReadControlText(HWND dialog, int id, char text[CONTROL_TEXT_SIZE])
{
    text[0] = '\0';
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, CONTROL_TEXT_SIZE, (LPARAM)text);
}

// Reads a list or the edit, writes its text as read (empty too) and returns it in text.
static void StoreControlText(HWND dialog, int id, const char *section, const char *key,
                             char text[CONTROL_TEXT_SIZE])
{
    ReadControlText(dialog, id, text);
    WriteSetting(section, key, text);
}

static void OnOK(HWND dialog)
{
    OptionsChoice *choice = Choice(dialog);
    char text[CONTROL_TEXT_SIZE];
    StoreControlText(dialog, IDC_OPT_FRAMERATE, SECTION_FRAME_RATE, PerFileKey(dialog), text);
    choice->frameRate = DecimalFromText(text);
    choice->timecodeRate = TimecodeRateFromFrameRate(choice->frameRate);
    choice->timecodeFormat = TimecodeFormatFromRateText(text);

    // While the file's own timecode is in force, an offset left as shown is not made the file's
    // own: that would end the file's timecode for good.
    ReadControlText(dialog, IDC_OPT_TCOFFSET, text);
    if (!choice->sourceTimecodeStart || lstrcmpA(text, choice->offsetShown) != 0)
        WriteSetting(SECTION_TC_OFFSET, PerFileKey(dialog), text);
    choice->tcOffset = ParseTimecode(text, choice->timecodeFormat);

    StoreControlText(dialog, IDC_OPT_TCHOTKEY, SECTION_OPTIONS, KEY_TC_HOTKEY, text);
    choice->tcHotKey = HotKeyFromName(text, choice->tcHotKey);
    StoreControlText(dialog, IDC_OPT_APPENDSIGN, SECTION_OPTIONS, KEY_APPEND_KEY_SIGN, text);
    choice->appendSignMode = AppendSignModeFromName(text, choice->appendSignMode);
    StoreControlText(dialog, IDC_OPT_SHOWFRAMES, SECTION_OPTIONS, KEY_SHOW_KEY_FRAMES, text);
    choice->showFramesMode = ShowFramesModeFromName(text, choice->showFramesMode);
    StoreControlText(dialog, IDC_OPT_STARTSTOPKEY, SECTION_OPTIONS, KEY_STARTSTOP_HOTKEY, text);
    choice->startStopHotKey = HotKeyFromName(text, choice->startStopHotKey);
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, (OptionsChoice *)lParam); return 0;
    case WM_COMMAND: return OnDialogCommand(dialog, wParam, OnOK);
    case WM_DESTROY: SaveWindowPlacement(dialog, KEY_OPTIONS_DIALOG); return 0;
    default: return 0;
    }
}
