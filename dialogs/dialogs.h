// The Options, Playback, Decoder and About dialogs, modal over the Player window.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "timecode/timecode.h"

#define WM_APP_REVEAL 1592  // the About dialog posts it to itself: start the reveal once visible

enum {
    DECODER_NAME_SIZE = 64,  // 63 characters and the terminator
    TC_OFFSET_TEXT_SIZE = 32,  // an offset text as the Options dialog reads it back
};

// The Options dialog's creation parameter: the opener's values going in; after OK (result 1)
// what the user chose, for the opener to apply. The settings file is written by the dialog.
struct OptionsChoice {
    const char *currentFile;  // the loaded file, empty for none: whose per-file keys are shown
    double frameRate;         // out: for the engine
    int timecodeRate;         // out
    TimecodeFormat timecodeFormat;  // out: how its timecodes are numbered
    int32_t tcOffset;         // out: frames
    int tcHotKey;             // in and out: each kept as it was when its text names nothing
    int startStopHotKey;
    int showFramesMode;
    int appendSignMode;
    // In: the file's start timecode while its own timecode is in force (shown "from the file"),
    // NULL otherwise. OK then leaves the file without a TC offset of its own unless the offset
    // shown was changed, so that the file's timecode stays in force.
    const char *sourceTimecodeStart;
    char offsetShown[TC_OFFSET_TEXT_SIZE];  // the dialog's own: the offset text it showed
};

// The Decoder dialog's creation parameter: after OK (result 1) the decoder chosen, empty for
// the engine's own choice; kept as it came when nothing was selected.
struct DecoderChoice {
    const char *currentFile;  // the loaded file, empty for none
    char decoderName[DECODER_NAME_SIZE];
};

// The Playback dialog's creation parameter: the hot keys a jump or speed key may not be, and
// after OK (result 1) the keys and the speed chosen. The settings are written by the dialog.
struct PlaybackChoice {
    int tcHotKey;           // in
    int startStopHotKey;    // in
    int jumpBackHotKey;     // in and out: kept as it was when its text names nothing
    int jumpForwardHotKey;
    int slowerHotKey;
    int fasterHotKey;
    int speedPercent;       // in and out: shown, and after OK the speed entered, held to its range
    bool sourceTimecode;    // out: SourceTimecode as OK stored it
};

// The Stamps dialog's creation parameter, all going in: what the live example is made from, and
// the hot keys the locate key may not be. OK (result 1) writes the [Stamp] section; the opener
// reads it back.
struct StampsChoice {
    int32_t mediaFrame;       // the current position
    TimecodeFormat format;    // the current file's numbering, rate and TC offset
    double frameRate;
    int32_t offsetFrames;
    int showFramesMode;       // the designed form's options, for the empty template's example
    int appendSignMode;
    int takenKeys[6];         // TC, start/stop, jump and speed keys; 0 for none
};
INT_PTR CALLBACK StampsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The Options, Playback and Decoder dialogs take a pointer to their choice; the About dialog
// takes the font of its title line, which it borrows.
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PlaybackDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DecoderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The About dialog's credit text, revealed one character per step.
extern const char AboutCreditText[];

// WM_COMMAND of the three dialogs, matched on the whole wParam: OK runs onOK (which may be NULL)
// and ends the dialog with 1; Cancel (also the Esc key) ends it with 0 and returns 0; every other
// command, the controls' notifications included, is taken and returns 1.
INT_PTR OnDialogCommand(HWND dialog, WPARAM command, void (*onOK)(HWND dialog));

// The Pedal dialog's creation parameter: the hold-to-play key, shown. OK (result 1) writes the
// [Pedal] section; the opener reads it back.
struct PedalChoice {
    int holdToPlayKey;  // in
};
INT_PTR CALLBACK PedalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
