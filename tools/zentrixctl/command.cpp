#include "tools/zentrixctl/command.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/remote.h"

static bool IsSeparator(char c)
{
    return c == ':' || c == ';';
}

bool PackedFromText(const char *text, uint32_t *packed)
{
    static const unsigned limits[4] = {23, 59, 59, 99};
    uint32_t result = 0;
    const char *p = text;
    for (int field = 0; field < 4; field++) {
        unsigned value = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9' && digits < 3) {
            value = value * 10 + (unsigned)(*p++ - '0');
            digits++;
        }
        if (digits == 0 || digits > 2 || value > limits[field])
            return false;
        result = (result << 8) | value;
        if (field < 3 && !IsSeparator(*p++))
            return false;
    }
    if (*p != '\0')
        return false;
    *packed = result;
    return true;
}

void TextFromPacked(uint32_t packed, char *text)
{
    snprintf(text, 16, "%02u:%02u:%02u:%02u", (unsigned)(packed >> 24), (unsigned)(packed >> 16) & 0xFF,
             (unsigned)(packed >> 8) & 0xFF, (unsigned)packed & 0xFF);
}

// A whole decimal number: a frame count, a percent.
static bool FrameCountFromText(const char *text, int32_t *count)
{
    char *end;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return false;
    *count = (int32_t)value;
    return true;
}

bool ParseCtlCommand(int count, const char *const *words, CtlCommand *command, const char **error)
{
    static const struct {
        const char *word;
        uint32_t request;
        CtlOutput output;
    } plain[] = {
        {"play", REMOTE_PLAY, CTL_PRINT_NOTHING},
        {"pause", REMOTE_PAUSE, CTL_PRINT_NOTHING},
        {"stop", REMOTE_STOP, CTL_PRINT_NOTHING},
        {"rewind", REMOTE_REWIND, CTL_PRINT_NOTHING},
        {"forward", REMOTE_FORWARD, CTL_PRINT_NOTHING},
        {"query", REMOTE_QUERY_TIMECODE, CTL_PRINT_TIMECODE},
        {"length", (uint32_t)REMOTE_QUERY_LENGTH, CTL_PRINT_NUMBER},
    };
    *error = "usage: zentrixctl play|pause|stop|rewind|forward|step N|locate HH:MM:SS:FF|query|length"
             "|speed [PERCENT] (drop-frame: HH:MM:SS;FF)";
    if (count < 1)
        return false;
    const char *word = words[0];
    for (const auto &p : plain) {
        if (strcmp(word, p.word) == 0) {
            if (count != 1)
                return false;
            *command = CtlCommand{p.request, 0, p.output};
            return true;
        }
    }
    if (strcmp(word, "step") == 0) {
        int32_t frames;
        if (count != 2 || !FrameCountFromText(words[1], &frames)) {
            *error = "zentrixctl: step takes a whole number of frames, such as 1, -1 or 25";
            return false;
        }
        *command = CtlCommand{REMOTE_STEP, frames, CTL_PRINT_NOTHING};
        return true;
    }
    if (strcmp(word, "locate") == 0) {
        uint32_t packed;
        if (count != 2 || !PackedFromText(words[1], &packed)) {
            *error = "zentrixctl: locate takes a timecode HH:MM:SS:FF or, drop-frame, "
                     "HH:MM:SS;FF, such as 01:02:03:04";
            return false;
        }
        *command = CtlCommand{REMOTE_LOCATE, (int32_t)packed, CTL_PRINT_NOTHING};
        return true;
    }
    if (strcmp(word, "speed") == 0) {
        // Without a percent it asks; the player's answer is the speed in percent.
        if (count == 1) {
            *command = CtlCommand{REMOTE_QUERY_SPEED, 0, CTL_PRINT_NUMBER};
            return true;
        }
        int32_t percent;
        if (count != 2 || !FrameCountFromText(words[1], &percent) || percent < SPEED_SLOWEST ||
            percent > SPEED_FASTEST) {
            *error = "zentrixctl: speed takes a whole percent from 50 to 200, such as 75";
            return false;
        }
        *command = CtlCommand{REMOTE_SET_SPEED, percent, CTL_PRINT_NOTHING};
        return true;
    }
    return false;
}
