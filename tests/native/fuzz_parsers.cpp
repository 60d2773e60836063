// Every parser of outside text, fed the same bytes: the first byte picks the parser and the rate.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "settings/values.h"
#include "timecode/timecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const int rates[8] = {24, 25, 30, 0, 50, -1, 23, 60};
    int rate = rates[(data[0] >> 3) & 7];
    std::string text((const char *)data + 1, size - 1);
    text = text.c_str();  // the settings file never hands over a NUL inside a value

    switch (data[0] & 7) {
    case 0: {
        int32_t n = ParseTimecode(text.c_str(), rate);
        char tc[TIMECODE_BUFFER_SIZE];
        FormatTimecode(tc, n, rate);
        if (strlen(tc) != TIMECODE_TEXT_LENGTH)
            abort();
        break;
    }
    case 1: {
        char buffer[TIMECODE_BUFFER_SIZE];
        strncpy(buffer, text.c_str(), sizeof buffer - 1);
        buffer[sizeof buffer - 1] = '\0';
        bool valid = NormalizeTimecode(buffer, rate);
        if (strlen(buffer) != TIMECODE_TEXT_LENGTH || (valid && !ValidateTimecode(buffer, rate)))
            abort();
        break;
    }
    case 2:
        ValidateTimecode(text.c_str(), rate);
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
        break;
    default: {
        double v = DecimalFromText(text.c_str());
        if (v != v || v > 1e301 || v < -1e301)
            abort();
        TimecodeRateFromFrameRate(v);
        uint32_t packed = 0;
        memcpy(&packed, data, size < 4 ? size : 4);
        char tc[TIMECODE_BUFFER_SIZE];
        FormatTimecode(tc, UnpackTimecode(packed, rate), rate);
        PackTimecode((int32_t)packed, rate);
        break;
    }
    }
    return 0;
}
