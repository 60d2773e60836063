// The pedal reader: finds a known USB pedal (at start and whenever a device arrives), reads its
// input reports on a thread of its own while any program is in front, and posts each change of
// the buttons held to one window. The user-interface thread never waits for the pedal.
#pragma once

#include <windows.h>

#include "pedal/pedal.h"

// Posted to the window given to StartPedalReader: wParam is the buttons held (PEDAL_LEFT ...),
// lParam PEDAL_UNPLUGGED when the pedal went away (wParam is then 0), otherwise 0.
#define WM_PEDAL_BUTTONS 2390
#define PEDAL_UNPLUGGED 1

// Tests only: a device to read instead of the system's HID devices, as
// "VVVV:PPPP,LENGTH,PATH" (vendor and product in hexadecimal, the report length with its number
// byte, the path CreateFile opens: a named pipe the test writes reports into).
#define PEDAL_TEST_DEVICE_VARIABLE "VANTOREL_TEST_PEDAL"

// Reads the pedal the Device text names ("auto", "-", "VVVV:PPPP=layout"), replacing the
// reader running. Nothing is read for "-".
void StartPedalReader(HWND window, const char *deviceText);
// No report is posted after this returns.
void StopPedalReader(void);
// What the Pedal dialog shows: the pedal read (empty for none) and the buttons held now.
void PedalReaderStatus(char name[PEDAL_MODEL_NAME_SIZE], int *held);
