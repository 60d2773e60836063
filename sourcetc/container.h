// What the three container readers share: reads within the budget, big-endian numbers, and the
// checks of a timecode format and rate found in a file.
#pragma once

#include <stdint.h>

#include "sourcetc/sourcetc.h"

struct ContainerReader {
    ContainerRead read;
    void *context;
    uint64_t fileSize;
    uint32_t bytesLeft;  // of the budget
    uint32_t readsLeft;
};

// Reads size bytes at offset when the file holds them and the budget allows.
bool ReadAt(ContainerReader *reader, uint64_t offset, void *buffer, uint32_t size);

inline uint16_t Big16(const uint8_t *p) { return (uint16_t)(p[0] << 8 | p[1]); }
inline uint32_t Big32(const uint8_t *p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
inline uint64_t Big64(const uint8_t *p) { return (uint64_t)Big32(p) << 32 | Big32(p + 4); }

// A base the timecode arithmetic has (24, 25, 30, 50, 60), with drop-frame only at 30 and 60,
// and a positive rate within a percent of the base: the source timecode's format and rate in
// result, true; anything else is not a timecode we can follow.
bool SetSourceFormat(SourceTimecode *result, int base, bool dropFrame, uint32_t rateNumerator,
                     uint32_t rateDenominator);

bool ReadQuickTimeTimecode(ContainerReader *reader, SourceTimecode *result);
bool ReadMxfTimecode(ContainerReader *reader, SourceTimecode *result);
bool ReadMpegTimecode(ContainerReader *reader, SourceTimecode *result);
