// USB foot pedals: the known models and their report layouts (data, one line a model), the
// [Pedal] values, the decoding of an input report into the buttons held, and what pressing and
// releasing the buttons does to the player. Pure code, no platform call: it also builds with the
// host compiler.
#pragma once

#include <stdint.h>

enum {
    PEDAL_BUTTON_COUNT = 3,       // left, middle, right
    PEDAL_LEFT = 1,               // the buttons held, as a mask
    PEDAL_MIDDLE = 2,
    PEDAL_RIGHT = 4,
    PEDAL_BUTTONS = 7,
    PEDAL_HOLD_KEY = 8,           // the hold-to-play key, held beside the pedal's buttons
    PEDAL_SOURCE_COUNT = 4,       // the three buttons and the key
    PEDAL_REPORT_MOST = 64,       // the longest input report read
    PEDAL_MODEL_NAME_SIZE = 48,   // the longest name shown, terminator included
    PEDAL_DEVICE_READ_SIZE = 32,  // Device: "VVVV:PPPP=layout", 31 characters
    PEDAL_COMMANDS_MOST = 8,      // commands one change of the buttons gives at most
};

// What a button does; the [Pedal] names are PedalActionNames, indexed by these.
enum PedalAction {
    PEDAL_NONE = 0,
    PEDAL_HOLD_TO_PLAY,
    PEDAL_PLAY_PAUSE,
    PEDAL_REWIND,
    PEDAL_FAST_FORWARD,
    PEDAL_JUMP_BACK,
    PEDAL_JUMP_FORWARD,
    PEDAL_TYPE_TIMECODE,
    PEDAL_SLOWER,
    PEDAL_FASTER,
    PEDAL_ACTION_COUNT,
};
extern const char *const PedalActionNames[PEDAL_ACTION_COUNT];
// Exact names only; any other text keeps current.
int PedalActionFromName(const char *name, int current);

// Where a layout finds the buttons: the report's data byte (after the report number, which
// Windows puts first in every report it reads) and the bit of each button.
struct PedalLayout {
    const char *name;  // as written after '=' in Device
    int byteIndex;
    uint8_t bits[PEDAL_BUTTON_COUNT];  // left, middle, right
};
struct PedalModel {
    uint16_t vendor, product;
    const char *layout;
    const char *name;  // shown in the Pedal dialog
};
extern const PedalLayout PedalLayouts[];
extern const int PedalLayoutCount;
extern const PedalModel PedalModels[];
extern const int PedalModelCount;

// The Device value: auto (the first known pedal), off, or one vendor and product read with a
// named layout. A text that is none of them reads as auto, the default.
enum PedalDeviceKind { PEDAL_DEVICE_AUTO, PEDAL_DEVICE_OFF, PEDAL_DEVICE_GIVEN };
struct PedalDeviceChoice {
    PedalDeviceKind kind;
    uint16_t vendor, product;
    int layout;  // index into PedalLayouts; for GIVEN only
};
PedalDeviceChoice PedalDeviceFromText(const char *text);

// The layout a device is read with under the choice, -1 when it is not read; name gets what the
// Pedal dialog shows for it (PEDAL_MODEL_NAME_SIZE characters).
int PedalLayoutOfDevice(const PedalDeviceChoice &choice, uint16_t vendor, uint16_t product,
                        char *name);

// The buttons held in one report as read (the report number first), -1 when its length is not
// the device's report length or the layout's byte lies outside it.
int PedalButtonsOfReport(const PedalLayout &layout, const uint8_t *report, int length,
                         int reportLength);

// What the player is told to do.
enum PedalCommand {
    PEDAL_DO_PLAY = 1,   // resume, from a little earlier where the user paused
    PEDAL_DO_PAUSE,      // pause by the user
    PEDAL_DO_PLAY_ON,    // after a wind: play from where it stopped
    PEDAL_DO_TOGGLE,     // what the play button does
    PEDAL_DO_REWIND,
    PEDAL_DO_FORWARD,
    PEDAL_DO_JUMP_BACK,
    PEDAL_DO_JUMP_FORWARD,
    PEDAL_DO_TYPE_TIMECODE,
    PEDAL_DO_SLOWER,
    PEDAL_DO_FASTER,
};

// The buttons (and the key) held, and the wind they started.
struct PedalHold {
    int held;          // PEDAL_LEFT ... PEDAL_HOLD_KEY
    int windSource;    // the held source whose wind is in force, -1 for none
    bool windPlaysOn;  // the wind began while playing: its release plays on
};
void ResetPedalHold(PedalHold *hold);

// A change of what is held to `held`: releases first, then presses, each source in order (left,
// middle, right, key). actions gives each source's action; playing and winding say what the
// player does now. Commands go to out; their count is returned. A release ends only what its own
// press began: a hold-to-play pauses when no other hold-to-play source is held, a wind ends
// (playing on or pausing as before it) only while it is still the wind in force.
int PedalChange(PedalHold *hold, int held, const int actions[PEDAL_SOURCE_COUNT], bool playing,
                bool winding, int out[PEDAL_COMMANDS_MOST]);
