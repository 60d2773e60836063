#include "sourcetc/sourcetc.h"

#include <string.h>

#include "sourcetc/container.h"

bool ReadAt(ContainerReader *reader, uint64_t offset, void *buffer, uint32_t size)
{
    if (offset > reader->fileSize || size > reader->fileSize - offset)
        return false;
    if (size > reader->bytesLeft || reader->readsLeft == 0)
        return false;
    reader->bytesLeft -= size;
    reader->readsLeft--;
    return size == 0 || reader->read(reader->context, offset, buffer, size);
}

bool SetSourceFormat(SourceTimecode *result, int base, bool dropFrame, uint32_t rateNumerator,
                     uint32_t rateDenominator)
{
    if (base != 24 && base != 25 && base != 30 && base != 50 && base != 60)
        return false;
    if (dropFrame && base != 30 && base != 60)
        return false;
    if (rateNumerator == 0 || rateDenominator == 0 || rateNumerator > INT32_MAX ||
        rateDenominator > INT32_MAX)
        return false;
    // 23.976 counts at 24, 29.97 at 30; a rate further off than that belongs to another base.
    double rate = (double)rateNumerator / rateDenominator;
    if (rate < base * 0.99 || rate > base * 1.01)
        return false;
    result->format = TimecodeFormat{base, dropFrame};
    result->rateNumerator = (int32_t)rateNumerator;
    result->rateDenominator = (int32_t)rateDenominator;
    return true;
}

enum {
    KIND_BYTES = 16,
    TRANSPORT_PACKET = 188,
    TRANSPORT_SYNC = 0x47,
};

static bool IsQuickTimeBox(const uint8_t *type)
{
    static const char *const types[] = {"ftyp", "moov", "mdat", "wide", "free", "skip", "pnot"};
    for (const char *known : types)
        if (memcmp(type, known, 4) == 0)
            return true;
    return false;
}

static bool IsMxfPartition(const uint8_t *key)
{
    static const uint8_t partition[] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x05, 0x01, 0x01,
                                        0x0d, 0x01, 0x02, 0x01, 0x01};
    return memcmp(key, partition, sizeof partition) == 0;
}

static bool IsTransportStream(ContainerReader *reader, const uint8_t *first)
{
    if (first[0] != TRANSPORT_SYNC)
        return false;
    uint8_t sync[1];
    for (int packet = 1; packet <= 2; packet++) {
        if (!ReadAt(reader, (uint64_t)packet * TRANSPORT_PACKET, sync, 1) ||
            sync[0] != TRANSPORT_SYNC)
            return false;
    }
    return true;
}

static bool ReadByKind(ContainerReader *reader, SourceTimecode *result)
{
    uint8_t first[KIND_BYTES];
    if (!ReadAt(reader, 0, first, sizeof first))
        return false;
    if (IsQuickTimeBox(first + 4))
        return ReadQuickTimeTimecode(reader, result);
    if (IsMxfPartition(first))
        return ReadMxfTimecode(reader, result);
    bool startCode = first[0] == 0 && first[1] == 0 && first[2] == 1;
    if (IsTransportStream(reader, first) || (startCode && (first[3] == 0xBA || first[3] == 0xB3)))
        return ReadMpegTimecode(reader, result);
    return false;
}

bool ReadSourceTimecode(ContainerRead read, void *context, uint64_t fileSize,
                        SourceTimecode *result)
{
    ContainerReader reader = {read, context, fileSize, SOURCE_TIMECODE_READ_BUDGET,
                              SOURCE_TIMECODE_READS_MOST};
    result->stretchCount = 0;
    if (!ReadByKind(&reader, result) || result->stretchCount <= 0) {
        result->stretchCount = 0;
        return false;
    }
    return true;
}

// The last stretch that begins at or before the frame; the first for frames before it.
static const SourceTimecodeStretch &StretchOfFrame(const SourceTimecode *source, int32_t frame)
{
    int found = 0;
    for (int i = 1; i < source->stretchCount; i++)
        if (source->stretches[i].firstFrame <= frame)
            found = i;
    return source->stretches[found];
}

int32_t SourceTimecodeOfFrame(const SourceTimecode *source, int32_t frame)
{
    if (source->stretchCount <= 0)
        return frame;
    const SourceTimecodeStretch &stretch = StretchOfFrame(source, frame);
    return (int32_t)((int64_t)stretch.timecode + frame - stretch.firstFrame);
}

int32_t FrameOfSourceTimecode(const SourceTimecode *source, int32_t timecode)
{
    if (source->stretchCount <= 0)
        return timecode;
    int found = -1;
    for (int i = 0; i < source->stretchCount && found < 0; i++) {
        const SourceTimecodeStretch &s = source->stretches[i];
        if (timecode >= s.timecode && (int64_t)timecode < (int64_t)s.timecode + s.frames)
            found = i;
    }
    bool held = found >= 0;
    for (int i = 0; i < source->stretchCount && !held; i++)
        if (source->stretches[i].timecode <= timecode)
            found = i;  // held by none: the last one that begins before it
    const SourceTimecodeStretch &stretch = source->stretches[found < 0 ? 0 : found];
    int64_t frame = (int64_t)stretch.firstFrame + timecode - stretch.timecode;
    return frame < INT32_MIN ? INT32_MIN : frame > INT32_MAX ? INT32_MAX : (int32_t)frame;
}

double SourceTimecodeFrameRate(const SourceTimecode *source)
{
    if (source->rateDenominator <= 0)
        return 0;
    return (double)source->rateNumerator / source->rateDenominator;
}
