#include "player/keystrokes.h"

#include "settings/keys.h"

enum {
    KEY_SHIFT = 0x10,       // VK_SHIFT
    KEY_CONTROL = 0x11,     // VK_CONTROL
    KEY_ALT = 0x12,         // VK_MENU
    KEY_TAB = 0x09,
    KEY_RETURN = 0x0D,
    KEY_SPACE = 0x20,
    KEY_OEM_PERIOD = 0xBE,
    SCAN_SHIFT = 1, SCAN_CONTROL = 2, SCAN_ALT = 4,  // high byte of VkKeyScanEx's answer
    FRAMES_SEPARATOR_POSITION = 9,  // ':', or ';' in a drop-frame timecode text
};

SeparatorChord SeparatorChordFromScan(int16_t vkScan)
{
    SeparatorChord chord = {KEY_OEM_PERIOD, true, false, false};
    if (vkScan == -1 || (vkScan & 0xFF) == 0xFF)
        return chord;
    int state = (vkScan >> 8) & 0xFF;
    chord.key = (uint8_t)(vkScan & 0xFF);
    chord.shift = state & SCAN_SHIFT;
    chord.control = state & SCAN_CONTROL;
    chord.alt = state & SCAN_ALT;
    return chord;
}

struct StrokeList {
    KeyStroke *strokes;
    int count;
};

static void Add(StrokeList *list, uint8_t key, bool up)
{
    if (list->count < MAX_TIMECODE_KEYSTROKES)
        list->strokes[list->count++] = KeyStroke{key, up};
}

static void Tap(StrokeList *list, uint8_t key)
{
    Add(list, key, false);
    Add(list, key, true);
}

// Modifiers down, the key, modifiers up in reverse order: one chord.
static void Chord(StrokeList *list, SeparatorChord chord)
{
    if (chord.shift)
        Add(list, KEY_SHIFT, false);
    if (chord.control)
        Add(list, KEY_CONTROL, false);
    if (chord.alt)
        Add(list, KEY_ALT, false);
    Tap(list, chord.key);
    if (chord.alt)
        Add(list, KEY_ALT, true);
    if (chord.control)
        Add(list, KEY_CONTROL, true);
    if (chord.shift)
        Add(list, KEY_SHIFT, true);
}

// The digit characters '0' to '9' are the digit keys VK_0 to VK_9 themselves.
static void TapDigits(StrokeList *list, const char *tc, int position)
{
    Tap(list, (uint8_t)tc[position]);
    Tap(list, (uint8_t)tc[position + 1]);
}

int TimecodeKeystrokes(const char *tc, int showFramesMode, int appendSignMode,
                       SeparatorChord separator, SeparatorChord dropFrameSeparator,
                       KeyStroke strokes[MAX_TIMECODE_KEYSTROKES])
{
    StrokeList list = {strokes, 0};
    TapDigits(&list, tc, 1);
    Chord(&list, separator);
    TapDigits(&list, tc, 4);
    Chord(&list, separator);
    TapDigits(&list, tc, 7);
    if (showFramesMode != SHOW_FRAMES_NO) {
        Chord(&list, tc[FRAMES_SEPARATOR_POSITION] == ';' ? dropFrameSeparator : separator);
        if (showFramesMode == SHOW_FRAMES_ZERO) {
            Tap(&list, '0');
            Tap(&list, '0');
        } else {
            TapDigits(&list, tc, 10);
        }
    }
    switch (appendSignMode) {
    case APPEND_SPACE:
        Tap(&list, KEY_SPACE);
        break;
    case APPEND_TAB:
        Tap(&list, KEY_TAB);
        break;
    case APPEND_CRLF:
        Tap(&list, KEY_RETURN);
        Tap(&list, VK_LINE_FEED);
        break;
    default:  // APPEND_NOT
        break;
    }
    return list.count;
}
