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
    NO_KEY = 0xFF,
};

static const char SEPARATOR = ':';
static const char DROP_FRAME_SEPARATOR = ';';

int TimecodeTypedText(const char *tc, int showFramesMode, int appendSignMode,
                      char text[TYPED_TEXT_SIZE])
{
    int length = 0;
    for (int i = 1; i <= 8; i++)  // HH:MM:SS
        text[length++] = i % 3 == 0 ? SEPARATOR : tc[i];
    if (showFramesMode != SHOW_FRAMES_NO) {
        bool zero = showFramesMode == SHOW_FRAMES_ZERO;
        // ';' before the frames of a drop-frame timecode, ':' otherwise: as the text has it.
        text[length++] = tc[9] == DROP_FRAME_SEPARATOR ? DROP_FRAME_SEPARATOR : SEPARATOR;
        text[length++] = zero ? '0' : tc[10];
        text[length++] = zero ? '0' : tc[11];
    }
    switch (appendSignMode) {
    case APPEND_SPACE: text[length++] = ' '; break;
    case APPEND_TAB: text[length++] = '\t'; break;
    case APPEND_CRLF:
        text[length++] = '\r';
        text[length++] = '\n';
        break;
    default: break;  // APPEND_NOT
    }
    text[length] = '\0';
    return length;
}

// What the keys gave before layouts were asked: right on US keyboards for the digits, the blank,
// tab and return; Shift + period is ':' on German ones at least.
static KeyChord FallbackChord(uint16_t ch)
{
    switch (ch) {
    case ':': return KeyChord{KEY_OEM_PERIOD, true, false, false};
    case ' ': return KeyChord{KEY_SPACE, false, false, false};
    case '\t': return KeyChord{KEY_TAB, false, false, false};
    case '\r': return KeyChord{KEY_RETURN, false, false, false};
    default: return KeyChord{(uint8_t)ch, false, false, false};  // '0' to '9' are VK_0 to VK_9
    }
}

static bool NoKey(int16_t scan)
{
    return scan == -1 || (scan & 0xFF) == NO_KEY;
}

KeyChord ChordFromScan(uint16_t ch, int16_t scan)
{
    if (NoKey(scan))
        return FallbackChord(ch);
    int state = (scan >> 8) & 0xFF;
    KeyChord chord = {(uint8_t)(scan & 0xFF), false, false, false};
    chord.shift = state & SCAN_SHIFT;
    chord.control = state & SCAN_CONTROL;
    chord.alt = state & SCAN_ALT;
    return chord;
}

bool TypedAsCharacter(uint16_t ch, int16_t scan)
{
    if (ch == ' ' || ch == '\t' || ch == '\r')
        return false;
    int state = (scan >> 8) & 0xFF;
    bool altGr = (state & SCAN_CONTROL) && (state & SCAN_ALT);
    return NoKey(scan) || altGr;
}

struct StrokeList {
    KeyStroke *strokes;
    int count;
};

static void Add(StrokeList *list, uint8_t key, bool up, uint16_t character = 0)
{
    if (list->count < MAX_TIMECODE_KEYSTROKES)
        list->strokes[list->count++] = KeyStroke{key, up, character};
}

// Modifiers down, the key, modifiers up in reverse order: one chord.
static void Chord(StrokeList *list, KeyChord chord)
{
    if (chord.shift)
        Add(list, KEY_SHIFT, false);
    if (chord.control)
        Add(list, KEY_CONTROL, false);
    if (chord.alt)
        Add(list, KEY_ALT, false);
    Add(list, chord.key, false);
    Add(list, chord.key, true);
    if (chord.alt)
        Add(list, KEY_ALT, true);
    if (chord.control)
        Add(list, KEY_CONTROL, true);
    if (chord.shift)
        Add(list, KEY_SHIFT, true);
}

int TextKeystrokes(const uint16_t *text, KeyScanLookup lookup, void *context,
                   KeyStroke strokes[MAX_TIMECODE_KEYSTROKES])
{
    StrokeList list = {strokes, 0};
    for (const uint16_t *ch = text; *ch; ch++) {
        // Layouts give Ctrl + Return for a line feed, which sends the message in mail programs
        // and breaks the page in word processors: Return has made the line break already, and
        // the code no key has keeps the line-break sign the two taps it always had.
        if (*ch == '\n') {
            Chord(&list, KeyChord{VK_LINE_FEED, false, false, false});
            continue;
        }
        int16_t scan = lookup(*ch, context);
        if (TypedAsCharacter(*ch, scan)) {
            Add(&list, 0, false, *ch);
            Add(&list, 0, true, *ch);
            continue;
        }
        Chord(&list, ChordFromScan(*ch, scan));
    }
    return list.count;
}

int TimecodeKeystrokes(const char *tc, int showFramesMode, int appendSignMode,
                       KeyScanLookup lookup, void *context,
                       KeyStroke strokes[MAX_TIMECODE_KEYSTROKES])
{
    char text[TYPED_TEXT_SIZE];
    int length = TimecodeTypedText(tc, showFramesMode, appendSignMode, text);
    uint16_t wide[TYPED_TEXT_SIZE];
    for (int i = 0; i <= length; i++)
        wide[i] = (unsigned char)text[i];
    return TextKeystrokes(wide, lookup, context, strokes);
}
