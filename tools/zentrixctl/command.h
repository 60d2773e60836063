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

// "HH:MM:SS:FF" (each field one or two digits) as the packed timecode the player takes. Each
// separator may be ':' or ';': a drop-frame timecode as the player shows it (01:00:00;02) is
// packed alike, and the player numbers it by the file's own frame rate.
bool PackedFromText(const char *text, uint32_t *packed);
// The packed timecode as "HH:MM:SS:FF"; text holds at least 16 bytes. The answer does not say
// whether the file counts drop-frame, so the frames always follow ':'; the numbers are those the
// player shows.
void TextFromPacked(uint32_t packed, char *text);
