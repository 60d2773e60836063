// The keystrokes that type a timecode: pure, so the exact sequence is tested without a keyboard
// and for keyboard layouts this machine does not have.
#pragma once

#include <stdint.h>

struct KeyStroke {
    uint8_t key;  // virtual-key code
    bool up;
};

// The key and modifiers that give a character in a keyboard layout.
struct KeyChord {
    uint8_t key;
    bool shift, control, alt;
};

// VkKeyScanExA's answer for a character in the layout of the window that receives the keys:
// low byte the key, high byte the shift state; -1 when the layout has no key for it.
typedef int16_t (*KeyScanLookup)(char ch, void *context);

enum {
    TYPED_TEXT_SIZE = 16,  // "HH:MM:SS:FF\r\n" and the terminator
    // Every character a chord of three modifiers: 8 strokes each.
    MAX_TIMECODE_KEYSTROKES = 8 * (TYPED_TEXT_SIZE - 1),
    VK_LINE_FEED = 0x0A,  // follows VK_RETURN for a line break; no key has this code
};

// The text typed for timecode text tc (sign at 0, HH:MM:SS:FF at 1 to 11): HH:MM:SS, then ':'
// (';' when tc is a drop-frame timecode, HH:MM:SS;FF) and the frames as the show-frames mode says, then the append sign ("\r\n" for a line break).
// The sign is never typed. Returns the length.
int TimecodeTypedText(const char *tc, int showFramesMode, int appendSignMode,
                      char text[TYPED_TEXT_SIZE]);

// The chord for ch from the layout's answer scan. Where the layout has no key for it: a digit
// its main-keyboard digit key, ':' Shift and the period key, blank, tab and return their keys.
KeyChord ChordFromScan(char ch, int16_t scan);

// Fills strokes with the chords that type text in the layout that lookup answers for: modifiers
// down, key down, key up, modifiers up, character by character. A line feed is a tap of
// VK_LINE_FEED whatever the layout says. Returns the count.
int TextKeystrokes(const char *text, KeyScanLookup lookup, void *context,
                   KeyStroke strokes[MAX_TIMECODE_KEYSTROKES]);

// TimecodeTypedText and TextKeystrokes in one.
int TimecodeKeystrokes(const char *tc, int showFramesMode, int appendSignMode,
                       KeyScanLookup lookup, void *context,
                       KeyStroke strokes[MAX_TIMECODE_KEYSTROKES]);
