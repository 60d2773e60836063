#include "pedal/pedal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char *const PedalActionNames[PEDAL_ACTION_COUNT] = {
    "-",           "HoldToPlay",  "PlayPause",    "Rewind", "FastForward",
    "JumpBack",    "JumpForward", "TypeTimecode", "Slower", "Faster",
};

// The pedals we know. A pedal sold under another name is read with one of these layouts by
// naming it in Device. The Olympus RS-27/28/31 (vendor 07B4) are left out: no source we trust
// confirms their report layout.
const PedalLayout PedalLayouts[] = {
    {"infinity", 0, {0x01, 0x02, 0x04}},  // VEC/Infinity: left 1, middle 2, right 4
    {"philips", 0, {0x01, 0x02, 0x04}},   // Philips: rewind, play, forward
};
const int PedalLayoutCount = sizeof PedalLayouts / sizeof PedalLayouts[0];

const PedalModel PedalModels[] = {
    {0x05F3, 0x00FF, "infinity", "VEC Infinity IN-USB"},
    {0x0911, 0x1844, "philips", "Philips ACC2310/2320"},
    {0x0911, 0x091A, "philips", "Philips ACC2330"},
};
const int PedalModelCount = sizeof PedalModels / sizeof PedalModels[0];

int PedalActionFromName(const char *name, int current)
{
    for (int action = 0; action < PEDAL_ACTION_COUNT; action++)
        if (strcmp(name, PedalActionNames[action]) == 0)
            return action;
    return current;
}

static int LayoutIndex(const char *name)
{
    for (int i = 0; i < PedalLayoutCount; i++)
        if (strcmp(name, PedalLayouts[i].name) == 0)
            return i;
    return -1;
}

// Four hexadecimal digits, either case; -1 otherwise.
static long HexId(const char *text)
{
    long value = 0;
    for (int i = 0; i < 4; i++) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

PedalDeviceChoice PedalDeviceFromText(const char *text)
{
    PedalDeviceChoice choice = {PEDAL_DEVICE_AUTO, 0, 0, -1};
    if (strcmp(text, "-") == 0) {
        choice.kind = PEDAL_DEVICE_OFF;
        return choice;
    }
    // "VVVV:PPPP=layout"
    long vendor = HexId(text);
    long product = vendor >= 0 && text[4] == ':' ? HexId(text + 5) : -1;
    int layout = product >= 0 && text[9] == '=' ? LayoutIndex(text + 10) : -1;
    if (layout < 0)
        return choice;
    choice.kind = PEDAL_DEVICE_GIVEN;
    choice.vendor = (uint16_t)vendor;
    choice.product = (uint16_t)product;
    choice.layout = layout;
    return choice;
}

int PedalLayoutOfDevice(const PedalDeviceChoice &choice, uint16_t vendor, uint16_t product,
                        char *name)
{
    if (choice.kind == PEDAL_DEVICE_GIVEN) {
        if (vendor != choice.vendor || product != choice.product)
            return -1;
        snprintf(name, PEDAL_MODEL_NAME_SIZE, "%04X:%04X (%s)", vendor, product,
                 PedalLayouts[choice.layout].name);
        return choice.layout;
    }
    if (choice.kind == PEDAL_DEVICE_OFF)
        return -1;
    for (int i = 0; i < PedalModelCount; i++) {
        const PedalModel &model = PedalModels[i];
        if (model.vendor == vendor && model.product == product) {
            snprintf(name, PEDAL_MODEL_NAME_SIZE, "%s", model.name);
            return LayoutIndex(model.layout);
        }
    }
    return -1;
}

int PedalButtonsOfReport(const PedalLayout &layout, const uint8_t *report, int length,
                         int reportLength)
{
    if (length != reportLength || 1 + layout.byteIndex >= length)
        return -1;
    uint8_t data = report[1 + layout.byteIndex];
    int held = 0;
    for (int button = 0; button < PEDAL_BUTTON_COUNT; button++)
        if (data & layout.bits[button])
            held |= 1 << button;
    return held;
}

void ResetPedalHold(PedalHold *hold)
{
    hold->held = 0;
    hold->windSource = -1;
    hold->windPlaysOn = false;
}

namespace {

// One change worked through, with what the player does as the commands would leave it.
struct Change {
    PedalHold *hold;
    const int *actions;
    bool playing, winding;
    int *out;
    int count;

    void Do(int command)
    {
        if (count < PEDAL_COMMANDS_MOST)
            out[count++] = command;
    }
    bool OtherHoldsToPlay(int source) const
    {
        for (int other = 0; other < PEDAL_SOURCE_COUNT; other++)
            if (other != source && (hold->held & (1 << other)) &&
                actions[other] == PEDAL_HOLD_TO_PLAY)
                return true;
        return false;
    }
    void Press(int source);
    void Release(int source);
};

void Change::Press(int source)
{
    int action = actions[source];
    switch (action) {
    case PEDAL_HOLD_TO_PLAY:
        hold->windSource = -1;  // a hold plays, whatever wind went on
        if (!playing)
            Do(PEDAL_DO_PLAY);
        playing = true;
        winding = false;
        break;
    case PEDAL_PLAY_PAUSE:
        hold->windSource = -1;
        Do(PEDAL_DO_TOGGLE);
        playing = !playing;
        winding = false;
        break;
    case PEDAL_REWIND:
    case PEDAL_FAST_FORWARD:
        // A wind taking over from another keeps what that one will do when it ends.
        if (!(hold->windSource >= 0 && winding))
            hold->windPlaysOn = playing;
        hold->windSource = source;
        Do(action == PEDAL_REWIND ? PEDAL_DO_REWIND : PEDAL_DO_FORWARD);
        playing = false;
        winding = true;
        break;
    case PEDAL_JUMP_BACK:
    case PEDAL_JUMP_FORWARD:
        Do(action == PEDAL_JUMP_BACK ? PEDAL_DO_JUMP_BACK : PEDAL_DO_JUMP_FORWARD);
        winding = false;  // a jump ends a wind where it lands
        break;
    case PEDAL_TYPE_TIMECODE: Do(PEDAL_DO_TYPE_TIMECODE); break;
    case PEDAL_SLOWER: Do(PEDAL_DO_SLOWER); break;
    case PEDAL_FASTER: Do(PEDAL_DO_FASTER); break;
    default: break;
    }
}

void Change::Release(int source)
{
    switch (actions[source]) {
    case PEDAL_HOLD_TO_PLAY:
        if (OtherHoldsToPlay(source))
            break;
        if (hold->windSource >= 0 && winding)
            hold->windPlaysOn = false;  // the wind begun meanwhile ends paused
        else if (playing) {
            Do(PEDAL_DO_PAUSE);
            playing = false;
        }
        break;
    case PEDAL_REWIND:
    case PEDAL_FAST_FORWARD:
        if (hold->windSource != source)
            break;
        hold->windSource = -1;
        if (!winding)
            break;  // something else ended the wind already
        Do(hold->windPlaysOn ? PEDAL_DO_PLAY_ON : PEDAL_DO_PAUSE);
        playing = hold->windPlaysOn;
        winding = false;
        break;
    default: break;
    }
}

}  // namespace

int PedalChange(PedalHold *hold, int held, const int actions[PEDAL_SOURCE_COUNT], bool playing,
                bool winding, int out[PEDAL_COMMANDS_MOST])
{
    Change change = {hold, actions, playing, winding, out, 0};
    int released = hold->held & ~held;
    int pressed = held & ~hold->held;
    for (int source = 0; source < PEDAL_SOURCE_COUNT; source++) {
        if (released & (1 << source)) {
            hold->held &= ~(1 << source);
            change.Release(source);
        }
    }
    for (int source = 0; source < PEDAL_SOURCE_COUNT; source++) {
        if (pressed & (1 << source)) {
            hold->held |= 1 << source;
            change.Press(source);
        }
    }
    return change.count;
}
