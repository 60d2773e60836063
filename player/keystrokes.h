// The keystrokes that type a timecode: pure, so the exact sequence is tested without a keyboard.
#pragma once

#include <stdint.h>

struct KeyStroke {
    uint8_t key;  // virtual-key code
    bool up;
};

// The key and modifiers that give ':' in a keyboard layout.
struct SeparatorChord {
    uint8_t key;
    bool shift, control, alt;
};

enum {
    MAX_TIMECODE_KEYSTROKES = 48,
    VK_LINE_FEED = 0x0A,  // follows VK_RETURN for a line break; no key has this code
};

// The chord for ':' from VkKeyScanEx's answer for that layout (low byte the key, high byte the
// shift state; -1 when the layout has no key for it). Without a key: Shift and the period key.
SeparatorChord SeparatorChordFromScan(int16_t vkScan);

// Fills strokes with the taps for timecode text tc (sign at 0, HH:MM:SS:FF at 1 to 11): the
// digits as the main keyboard's digit keys, the separator chord between the fields, the frames
// as the show-frames mode says, then the append sign. A drop-frame text (HH:MM:SS;FF) has the
// drop-frame chord, the one for ';', before its frames. The sign is never typed. Returns the count.
int TimecodeKeystrokes(const char *tc, int showFramesMode, int appendSignMode,
                       SeparatorChord separator, SeparatorChord dropFrameSeparator,
                       KeyStroke strokes[MAX_TIMECODE_KEYSTROKES]);
