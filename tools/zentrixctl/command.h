// zentrixctl's command words, turned into a remote request for the running player.
#pragma once

#include <stdint.h>

enum CtlOutput {
    CTL_PRINT_NOTHING,
    CTL_PRINT_TIMECODE,  // the answer is a packed timecode
    CTL_PRINT_NUMBER,    // the answer is a signed number
};

struct CtlCommand {
    uint32_t request;    // WM_REMOTE_CONTROL's wParam
    int32_t parameter;   // its lParam
    CtlOutput output;
};

// The words after the program name. false with a one-line reason for a bad argument.
bool ParseCtlCommand(int count, const char *const *words, CtlCommand *command, const char **error);

// "HH:MM:SS:FF" (each field one or two digits) as the packed timecode the player takes.
bool PackedFromText(const char *text, uint32_t *packed);
// The packed timecode as "HH:MM:SS:FF"; text holds at least 16 bytes.
void TextFromPacked(uint32_t packed, char *text);
