#include "dialogs/dialogs.h"

INT_PTR OnDialogCommand(HWND dialog, WPARAM command, void (*onOK)(HWND dialog))
{
    if (command == IDOK) {
        if (onOK)
            onOK(dialog);
        EndDialog(dialog, 1);
        return 1;
    }
    if (command == IDCANCEL) {
        EndDialog(dialog, 0);
        return 0;
    }
    return 1;
}
