// The Decoder dialog: which of the engine's decoders opens the loaded file.
#include "dialogs/dialogs.h"

#include <string.h>

#include "platform/osgrim.h"
#include "platform/quorvel.h"
#include "player/player.h"
#include "resources/resource.h"
#include "settings/settings.h"

#define NO_DECODER "-"  // the engine's own choice

static void OnInitDialog(HWND dialog)
{
    RestoreWindowPosition(dialog, KEY_DECODER_DIALOG);
    SetWindowTextA(dialog, "Decoder");
    HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
    QuorvelListFilter(list);
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)NO_DECODER);
}

// Without a selection the buffer keeps the decoder of the loaded file (or the last OK's choice).
static void OnOK(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_DEC_LIST);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) {
        // The engine lists names of at most 63 characters; a longer item is never copied.
        char name[256] = "";
        if (SendMessageA(list, LB_GETTEXTLEN, (WPARAM)selected, 0) < (LRESULT)sizeof name) {
            SendMessageA(list, LB_GETTEXT, (WPARAM)selected, (LPARAM)name);
            lstrcpynA(Player.decoderName, name, sizeof Player.decoderName);
        }
    }
    if (strcmp(Player.decoderName, NO_DECODER) == 0)
        Player.decoderName[0] = '\0';
    if (Player.currentFile[0])
        WriteSetting(SECTION_DECODER, Player.currentFile, Player.decoderName);
}

INT_PTR CALLBACK DecoderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (OsgrimSmallDialogProc(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return 0;
    case WM_COMMAND: return OnDialogCommand(dialog, wParam, OnOK);
    case WM_DESTROY: SaveWindowPlacement(dialog, KEY_DECODER_DIALOG); return 0;
    default: return 0;
    }
}
