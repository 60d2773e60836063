// The value forms of the settings file: hot-key names, option keywords, decimal frame rates and
// window rectangles. Pure code, no platform call: it also builds with the host compiler.
#pragma once

#include "platform/remote.h"  // the speed's range, shared with the remote requests

struct WindowRect {
    int x, y, width, height;
};

enum {
    HOTKEY_NONE = 0,
    HOTKEY_F1 = 112,   // VK_F1
    HOTKEY_F10 = 121,  // VK_F10
    HOTKEY_F24 = 135,  // VK_F24
    WINDOW_RECT_TEXT_MAX = 47,  // longer rectangle texts are cut to this many characters
    WINDOW_RECT_MIN_SIZE = 32,
    REWIND_SECONDS_MAX = 10,
    JUMP_SECONDS_MIN = 1,
    JUMP_SECONDS_MAX = 60,
    JUMP_SECONDS_DEFAULT = 5,
    SECONDS_TEXT_SIZE = 8,  // the longest stored seconds text, "10" or "9.99", and more
    LOOP_SECONDS_MIN = 1,
    LOOP_SECONDS_MAX = 30,
    LOOP_SECONDS_DEFAULT = 5,
    LOOP_SPEED_MIN = 50,
    LOOP_SPEED_MAX = 100,
    LOOP_SPEED_DEFAULT = 75,
};

// The thirteen hot-key names, "-" first, and the option keywords indexed by mode.
extern const char *const HotKeyNames[13];
// The keys added for pedals and macro keypads may also be F13 to F24, which no keyboard has:
// "-" and "F1" to "F24".
extern const char *const WideHotKeyNames[25];
extern const char *const ShowFramesNames[3];
extern const char *const AppendSignNames[4];

// "-" gives 0, "F1" to "F12" give VK_F1 to VK_F12; any other text (lower case included) keeps
// the current code.
int HotKeyFromName(const char *name, int currentCode);
// As HotKeyFromName, and "F13" to "F24" give VK_F13 to VK_F24; exact names only.
int WideHotKeyFromName(const char *name, int currentCode);

// Exact, case-sensitive keyword match; an unknown keyword keeps the current mode.
int ShowFramesModeFromName(const char *name, int currentMode);
int AppendSignModeFromName(const char *name, int currentMode);

// A decimal number from the start of the text: leading blanks, optional sign, digits, "." as the
// decimal point; the rest is ignored. No number gives 0. The result is always finite.
double DecimalFromText(const char *text);

// RewindOnResume: a decimal number of seconds clamped to 0 to 10, kept to hundredths; no
// number gives 0.
double RewindSecondsFromText(const char *text);
// JumpSeconds: whole seconds (a fraction rounds to the nearest) clamped to 1 to 60; a text
// without a number gives the default 5.
int JumpSecondsFromText(const char *text);
// Speed: whole percent (a fraction rounds to the nearest) held to 50 to 200; a text without a
// number gives normal speed, 100.
int SpeedFromText(const char *text);
// LoopSeconds, whole seconds held to 1 to 30, and LoopSpeed, percent held to 50 to 100; a
// text without a number gives the default, 5 and 75.
int LoopSecondsFromText(const char *text);
int LoopSpeedFromText(const char *text);
// The switches of the [Playback] section: "YES" is on, anything else off.
bool SwitchFromText(const char *text);
// A speed held to 50 to 200.
int HeldSpeed(int percent);
// The slower (-1) and faster (+1) keys: one step of 10, stopping at 50 and 200; from a speed
// off the steps (a hand-edited 125) the first step goes to the next multiple of 10.
int SteppedSpeed(int percent, int direction);

// The stored form of a rewind: "0", "2", "2.5", "0.25" (no trailing zeros); text holds
// SECONDS_TEXT_SIZE characters.
void FormatRewindSeconds(double seconds, char *text);

// The fields of a "left,top,width,height" text with the built-in defaults for missing ones and
// the lower clamps (x, y at least 0; width, height at least 32). Empty fields are skipped.
void SplitWindowRect(const char *text, WindowRect *rect);

// Keeps at least 32 pixels of the window's left top corner on a desktop whose rectangle ends at
// right, bottom. Width and height are not limited.
void ClampWindowRectToDesktop(WindowRect *rect, int desktopRight, int desktopBottom);
