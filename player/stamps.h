// The [Stamp] settings in force: the form the TC hot key types, how much earlier it names, and
// the key that goes back from a stamp in another program to its place.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "player/keystrokes.h"
#include "timecode/stamp.h"

struct StampValues {
    char templateText[STAMP_TEMPLATE_SIZE];  // empty: the designed form
    double lagSeconds;                       // 0 to 10
    int locateHotKey;                        // virtual-key code, 0 = none
    double frameRate;                        // the current file's frame-rate setting
};
extern StampValues Stamps;

// From the [Stamp] section; at every opening and after the Stamps dialog.
void ReadStampSettings(void);
// The clock of the current file: its numbering, rate and offset.
StampClock CurrentStampClock(void);
// The text the TC hot key types now, UTF-16: the designed form (ShowKeyFrames, AppendKeySign)
// without a template, the template's otherwise; LagSeconds earlier either way. Returns the length.
int StampTypedText(uint16_t text[TYPED_STAMP_SIZE]);
// The locate key: reads the selection, or the caret's line up to the caret, of the program in
// front and goes to the stamp found there.
void LocateFromStamp(HWND window);
// Goes to a media frame, held to the media's frames; paused stays paused, playing plays on.
void LocateMediaFrame(HWND window, int32_t frame);
