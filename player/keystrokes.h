// The keystrokes that type a timecode: pure, so the exact sequence is tested without a keyboard
// and for keyboard layouts this machine does not have.
#pragma once

#include <stdint.h>

struct KeyStroke {
    uint8_t key;  // virtual-key code; 0 for a character typed as itself
    bool up;
    uint16_t character;  // with key 0: the UTF-16 unit sent as KEYEVENTF_UNICODE
};

// The key and modifiers that give a character in a keyboard layout.
struct KeyChord {
    uint8_t key;
    bool shift, control, alt;
};

// VkKeyScanExW's answer for a character in the layout of the window that receives the keys:
// low byte the key, high byte the shift state; -1 when the layout has no key for it.
typedef int16_t (*KeyScanLookup)(uint16_t ch, void *context);

enum {
    TYPED_TEXT_SIZE = 16,  // "HH:MM:SS:FF\r\n" and the terminator
    TYPED_STAMP_SIZE = 128,  // the longest stamp of a template and the terminator
    // Every character a chord of three modifiers: 8 strokes each.
    MAX_TIMECODE_KEYSTROKES = 8 * (TYPED_STAMP_SIZE - 1),
    VK_LINE_FEED = 0x0A,  // follows VK_RETURN for a line break; no key has this code
};

// The text typed for timecode text tc (sign at 0, HH:MM:SS:FF at 1 to 11): HH:MM:SS, then ':'
// (';' when tc is a drop-frame timecode, HH:MM:SS;FF) and the frames as the show-frames mode says, then the append sign ("\r\n" for a line break).
// The sign is never typed. Returns the length.
int TimecodeTypedText(const char *tc, int showFramesMode, int appendSignMode,
                      char text[TYPED_TEXT_SIZE]);

// Whether ch goes as the character itself (KEYEVENTF_UNICODE) rather than as a chord: where the
// layout has no key for it, or only with AltGr (Ctrl + Alt), which Office and browsers swallow
// when it is synthesized. Blank, tab and return always have their keys.
bool TypedAsCharacter(uint16_t ch, int16_t scan);

// The chord for ch from the layout's answer scan. Where the layout has no key for it: a digit
// its main-keyboard digit key, ':' Shift and the period key, blank, tab and return their keys.
KeyChord ChordFromScan(uint16_t ch, int16_t scan);

// Fills strokes with what types text (UTF-16) in the layout that lookup answers for: a chord
// (modifiers down, key down, key up, modifiers up) where the layout has the character without
// AltGr, else the character itself down and up. A line feed is a tap of VK_LINE_FEED whatever
// the layout says. Returns the count.
int TextKeystrokes(const uint16_t *text, KeyScanLookup lookup, void *context,
                   KeyStroke strokes[MAX_TIMECODE_KEYSTROKES]);

// TimecodeTypedText and TextKeystrokes in one.
int TimecodeKeystrokes(const char *tc, int showFramesMode, int appendSignMode,
                       KeyScanLookup lookup, void *context,
                       KeyStroke strokes[MAX_TIMECODE_KEYSTROKES]);
