// The Decoder dialog: which of the engine's decoders opens the loaded file.
#include "dialogs/dialogs.h"

#include <string.h>

#include "platform/osgrim.h"
#include "platform/quorvel.h"
#include "resources/resource.h"
#include "settings/settings.h"

#define NO_DECODER "-"  // the engine's own choice

static DecoderChoice *Choice(HWND dialog)
{
    return (DecoderChoice *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static void OnInitDialog(HWND dialog, DecoderChoice *choice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)choice);
    RestoreWindowPosition(dialog, KEY_DECODER_DIALOG);
    SetWindowTextA(dialog, "Decoder");
    HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
    QuorvelListFilter(list);
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)NO_DECODER);
}

// Without a selection the choice keeps the decoder it came with (the loaded file's, or the last
// OK's choice).
static void OnOK(HWND dialog)
{
    DecoderChoice *choice = Choice(dialog);
    HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) {
        // The engine lists names of at most 63 characters; a longer item is never copied.
        char name[256] = "";
        if (SendMessageA(list, LB_GETTEXTLEN, (WPARAM)selected, 0) < (LRESULT)sizeof name) {
            SendMessageA(list, LB_GETTEXT, (WPARAM)selected, (LPARAM)name);
            lstrcpynA(choice->decoderName, name, sizeof choice->decoderName);
        }
    }
    if (strcmp(choice->decoderName, NO_DECODER) == 0)
        choice->decoderName[0] = '\0';
    if (choice->currentFile[0])
        WriteSetting(SECTION_DECODER, choice->currentFile, choice->decoderName);
}

INT_PTR CALLBACK DecoderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog, (DecoderChoice *)lParam); return 0;
    case WM_COMMAND: return OnDialogCommand(dialog, wParam, OnOK);
    case WM_DESTROY: SaveWindowPlacement(dialog, KEY_DECODER_DIALOG); return 0;
    default: return 0;
    }
}
