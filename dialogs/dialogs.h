// The Options, Decoder and About dialogs, modal over the Player window.
#pragma once

#include <windows.h>

#define WM_APP_REVEAL 1592  // the About dialog posts it to itself: start the reveal once visible

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DecoderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The About dialog's credit text, revealed one character per step.
extern const char AboutCreditText[];

// WM_COMMAND of the three dialogs, matched on the whole wParam: OK runs onOK (which may be NULL)
// and ends the dialog with 1; Cancel (also the Esc key) ends it with 0 and returns 0; every other
// command, the controls' notifications included, is taken and returns 1.
INT_PTR OnDialogCommand(HWND dialog, WPARAM command, void (*onOK)(HWND dialog));
