// Every parser of outside text, and the source timecode reader, fed the same bytes: the first byte
// picks the parser (7: the reader, on the rest as a file) and the timecode format.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "settings/values.h"
#include "sourcetc/sourcetc.h"
#include "timecode/timecode.h"

static bool HasDropFrame(TimecodeFormat format)
{
    return format.dropFrame && (format.base == 30 || format.base == 60);
}

// The text of a frame parses back to the frame of the day it names, and the packed form unpacks
// to that frame's magnitude: the hot key types the text of the unpacked value, which must match
// the display. Returns the frame the text names.
static int32_t CheckTextAndPackedAgree(int32_t n, TimecodeFormat format)
{
    char tc[TIMECODE_BUFFER_SIZE];
    FormatTimecode(tc, n, format);
    if (strlen(tc) != TIMECODE_TEXT_LENGTH || tc[9] != (HasDropFrame(format) ? ';' : ':'))
        abort();
    int32_t shown = ParseTimecode(tc, format);
    if ((n > 0 && shown < 0) || (n < 0 && shown > 0))
        abort();
    uint32_t magnitude = shown < 0 ? 0u - (uint32_t)shown : (uint32_t)shown;
    if ((uint32_t)UnpackTimecode(PackTimecode(n, format), format) != magnitude)
        abort();
    return shown;
}

static bool IsSkippedLabel(uint32_t packed, TimecodeFormat format)
{
    unsigned minutes = (packed >> 24) * 60 + ((packed >> 16) & 0xFF);
    unsigned dropped = HasDropFrame(format) ? (unsigned)format.base / 15 : 0;
    return minutes % 10 != 0 && ((packed >> 8) & 0xFF) == 0 && (packed & 0xFF) < dropped;
}

struct Bytes {
    const uint8_t *data;
    size_t size;
};

static bool ReadBytes(void *context, uint64_t offset, void *buffer, uint32_t size)
{
    const Bytes *bytes = (const Bytes *)context;
    if (offset > bytes->size || size > bytes->size - offset)
        abort();  // the reader asked for bytes past the size it was told
    memcpy(buffer, bytes->data + offset, size);
    return true;
}

// A file's bytes: none or a timecode the player can follow, whose stretches find themselves.
static void CheckSourceTimecode(const uint8_t *data, size_t size)
{
    Bytes bytes = {data, size};
    static SourceTimecode tc;
    bool found = ReadSourceTimecode(ReadBytes, &bytes, size, &tc);
    if (found != (tc.stretchCount > 0) || tc.stretchCount > SOURCE_TIMECODE_STRETCHES_MOST)
        abort();
    if (!found)
        return;
    int base = tc.format.base;
    if ((base != 24 && base != 25 && base != 30 && base != 50 && base != 60) ||
        (tc.format.dropFrame && base != 30 && base != 60) || tc.rateDenominator <= 0)
        abort();
    for (int i = 0; i < tc.stretchCount; i++) {
        const SourceTimecodeStretch &s = tc.stretches[i];
        if (s.frames > 0 && (i == 0 || s.firstFrame > tc.stretches[i - 1].firstFrame) &&
            SourceTimecodeOfFrame(&tc, s.firstFrame) != s.timecode)
            abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const TimecodeFormat formats[8] = {
        {24, false}, {25, false}, {30, false}, {50, false},
        {60, false}, {30, true},  {60, true},  {-1, true},  // the last counts at 25
    };
    TimecodeFormat format = formats[(data[0] >> 3) & 7];
    std::string text((const char *)data + 1, size - 1);
    text = text.c_str();  // the settings file never hands over a NUL inside a value

    if ((data[0] & 7) == 7) {
        CheckSourceTimecode(data + 1, size - 1);  // a file's first bytes, NULs and all
        return 0;
    }
    switch (data[0] & 7) {
    case 0: {
        // Parsed offsets stay within a day, so they format and parse back exactly.
        int32_t n = ParseTimecode(text.c_str(), format);
        if (CheckTextAndPackedAgree(n, format) != n)
            abort();
        break;
    }
    case 1: {
        char buffer[TIMECODE_BUFFER_SIZE];
        strncpy(buffer, text.c_str(), sizeof buffer - 1);
        buffer[sizeof buffer - 1] = '\0';
        bool valid = NormalizeTimecode(buffer, format);
        if (strlen(buffer) != TIMECODE_TEXT_LENGTH || (valid && !ValidateTimecode(buffer, format)))
            abort();
        break;
    }
    case 2:
        ValidateTimecode(text.c_str(), format);
        break;
    case 3: {
        WindowRect r;
        SplitWindowRect(text.c_str(), &r);
        if (r.x < 0 || r.y < 0 || r.width < 32 || r.height < 32)
            abort();
        ClampWindowRectToDesktop(&r, 1280, 1024);
        break;
    }
    case 4:
        HotKeyFromName(text.c_str(), 99);
        WideHotKeyFromName(text.c_str(), 99);
        break;
    case 5: {
        // The rate text names a base the arithmetic has; drop-frame only at 30 and 60; the base
        // is the rounded number wherever that is a base.
        TimecodeFormat f = TimecodeFormatFromRateText(text.c_str());
        int rounded = TimecodeRateFromFrameRate(DecimalFromText(text.c_str()));
        bool isBase = rounded == 24 || rounded == 25 || rounded == 30 || rounded == 50 ||
                      rounded == 60;
        if (f.base != (isBase ? rounded : 25) || (f.dropFrame && f.base != 30 && f.base != 60))
            abort();
        break;
    }
    default: {
        double v = DecimalFromText(text.c_str());
        if (v != v || v > 1e301 || v < -1e301)
            abort();
        TimecodeRateFromFrameRate(v);
        uint32_t packed = 0;
        memcpy(&packed, data + 1, size - 1 < 4 ? size - 1 : 4);
        char tc[TIMECODE_BUFFER_SIZE];
        FormatTimecode(tc, UnpackTimecode(packed, format), format);
        CheckTextAndPackedAgree((int32_t)packed, format);
        // A label of the day packs back to itself, but for one that drop-frame skips.
        unsigned base = format.base == -1 ? 25u : (unsigned)format.base;
        bool inDay = (packed >> 24) < 24 && ((packed >> 16) & 0xFF) < 60 &&
                     ((packed >> 8) & 0xFF) < 60 && (packed & 0xFF) < base;
        if (inDay && !IsSkippedLabel(packed, format) &&
            PackTimecode(UnpackTimecode(packed, format), format) != packed)
            abort();
        break;
    }
    }
    return 0;
}
