// QuickTime and MP4: the `tmcd` track. Its sample description holds the drop-frame flag, the
// rate (a time scale and a frame duration) and the frames-per-second field; each of its samples
// is a 4-byte frame number, the timecode of the first frame of a stretch recorded without a
// break, and lasts as long as that stretch. Only box headers and the few small tables needed are
// read; the media data is walked over, never read.
#include <string.h>

#include "sourcetc/container.h"

enum {
    BOX_HEADER = 8,
    BOX_LARGE_HEADER = 16,
    BOX_CHILDREN_MOST = 512,  // boxes looked at in one parent
    TMCD_ENTRY_BYTES = 33,    // of the sample description, up to the frames-per-second field
    TMCD_DROP_FRAME = 0x1,
    TMCD_COUNTER = 0x8,       // samples count seconds or minutes, not frames: not followed
    TABLE_ENTRIES_MOST = 4096,
};

struct Box {
    uint64_t body;  // first byte after the header
    uint64_t end;
};

// The box at offset, which must end within the parent's end.
static bool ReadBox(ContainerReader *reader, uint64_t offset, uint64_t limit, Box *box,
                    uint8_t type[4])
{
    uint8_t header[BOX_LARGE_HEADER];
    if (limit - offset < BOX_HEADER || !ReadAt(reader, offset, header, BOX_HEADER))
        return false;
    memcpy(type, header + 4, 4);
    uint64_t size = Big32(header);
    uint64_t headerSize = BOX_HEADER;
    if (size == 1) {
        if (limit - offset < BOX_LARGE_HEADER ||
            !ReadAt(reader, offset + BOX_HEADER, header + BOX_HEADER, 8))
            return false;
        size = Big64(header + BOX_HEADER);
        headerSize = BOX_LARGE_HEADER;
    } else if (size == 0) {
        size = limit - offset;  // to the end of its parent
    }
    if (size < headerSize || size > limit - offset)
        return false;
    box->body = offset + headerSize;
    box->end = offset + size;
    return true;
}

// The index-th child of the given type; false when there are not that many or the parent is
// damaged before it.
static bool FindChild(ContainerReader *reader, const Box &parent, const char *wanted, Box *child,
                      int index = 0)
{
    uint64_t offset = parent.body;
    for (int i = 0; i < BOX_CHILDREN_MOST && offset < parent.end; i++) {
        uint8_t type[4];
        if (!ReadBox(reader, offset, parent.end, child, type))
            return false;
        if (memcmp(type, wanted, 4) == 0 && index-- == 0)
            return true;
        offset = child->end;
    }
    return false;
}

static bool FindPath(ContainerReader *reader, Box box, const char *const *path, int depth,
                     Box *found)
{
    for (int i = 0; i < depth; i++) {
        Box child;
        if (!FindChild(reader, box, path[i], &child))
            return false;
        box = child;
    }
    *found = box;
    return true;
}

static bool ReadBody(ContainerReader *reader, const Box &box, uint64_t at, void *buffer,
                     uint32_t size)
{
    return box.end - box.body >= at + size && ReadAt(reader, box.body + at, buffer, size);
}

static bool ReadBody32(ContainerReader *reader, const Box &box, uint64_t at, uint32_t *value)
{
    uint8_t bytes[4];
    if (!ReadBody(reader, box, at, bytes, 4))
        return false;
    *value = Big32(bytes);
    return true;
}

static bool IsTimecodeTrack(ContainerReader *reader, const Box &mdia)
{
    Box hdlr;
    uint8_t handler[4];
    return FindChild(reader, mdia, "hdlr", &hdlr) && ReadBody(reader, hdlr, 8, handler, 4) &&
           memcmp(handler, "tmcd", 4) == 0;
}

static bool MediaTimeScale(ContainerReader *reader, const Box &mdia, uint32_t *timeScale)
{
    Box mdhd;
    uint8_t version;
    if (!FindChild(reader, mdia, "mdhd", &mdhd) || !ReadBody(reader, mdhd, 0, &version, 1))
        return false;
    return ReadBody32(reader, mdhd, version == 1 ? 20 : 12, timeScale) && *timeScale > 0;
}

// The sample description: format, and the sample rate as frames of frameDuration in timeScale.
struct TimecodeEntry {
    uint32_t timeScale;
    uint32_t frameDuration;
};

static bool ReadTimecodeEntry(ContainerReader *reader, const Box &stbl, SourceTimecode *result,
                              TimecodeEntry *entry)
{
    Box stsd;
    uint8_t bytes[TMCD_ENTRY_BYTES];
    if (!FindChild(reader, stbl, "stsd", &stsd) || !ReadBody(reader, stsd, 8, bytes, sizeof bytes))
        return false;
    if (memcmp(bytes + 4, "tmcd", 4) != 0 || Big32(bytes) < sizeof bytes)
        return false;
    uint32_t flags = Big32(bytes + 20);
    entry->timeScale = Big32(bytes + 24);
    entry->frameDuration = Big32(bytes + 28);
    if (flags & TMCD_COUNTER)
        return false;
    return SetSourceFormat(result, bytes[32], flags & TMCD_DROP_FRAME, entry->timeScale,
                           entry->frameDuration);
}

// Where each sample lies: the chunk offsets, the samples of each chunk and the sizes.
struct SampleTables {
    Box stsc, stsz, chunks;
    bool wideOffsets;  // co64 rather than stco
    uint32_t commonSize;  // stsz's size for every sample, 0 when each has its own
};

static bool FindSampleTables(ContainerReader *reader, const Box &stbl, SampleTables *tables)
{
    tables->wideOffsets = !FindChild(reader, stbl, "stco", &tables->chunks);
    if (tables->wideOffsets && !FindChild(reader, stbl, "co64", &tables->chunks))
        return false;
    return FindChild(reader, stbl, "stsc", &tables->stsc) &&
           FindChild(reader, stbl, "stsz", &tables->stsz) &&
           ReadBody32(reader, tables->stsz, 4, &tables->commonSize);
}

static bool ChunkOffset(ContainerReader *reader, const SampleTables &tables, uint32_t chunk,
                        uint64_t *offset)
{
    if (!tables.wideOffsets) {
        uint32_t narrow;
        if (!ReadBody32(reader, tables.chunks, 8 + (uint64_t)chunk * 4, &narrow))
            return false;
        *offset = narrow;
        return true;
    }
    uint8_t bytes[8];
    if (!ReadBody(reader, tables.chunks, 8 + (uint64_t)chunk * 8, bytes, 8))
        return false;
    *offset = Big64(bytes);
    return true;
}

static bool SampleSize(ContainerReader *reader, const SampleTables &tables, uint32_t sample,
                       uint32_t *size)
{
    if (tables.commonSize) {
        *size = tables.commonSize;
        return true;
    }
    return ReadBody32(reader, tables.stsz, 12 + (uint64_t)sample * 4, size);
}

// Reads the frame numbers of the first count samples into the stretches, walking the chunks.
static bool ReadSampleValues(ContainerReader *reader, const SampleTables &tables, int count,
                             SourceTimecode *result)
{
    uint32_t runs;
    if (!ReadBody32(reader, tables.stsc, 4, &runs) || runs == 0)
        return false;
    uint32_t run = 0, chunk = 0, sample = 0;
    while ((int)sample < count) {
        // Each run: first chunk (from 1), samples per chunk, description index.
        uint32_t firstChunk, perChunk, nextFirst = UINT32_MAX;
        if (!ReadBody32(reader, tables.stsc, 8 + (uint64_t)run * 12, &firstChunk) ||
            !ReadBody32(reader, tables.stsc, 12 + (uint64_t)run * 12, &perChunk) ||
            firstChunk != chunk + 1 || perChunk == 0)
            return false;
        if (run + 1 < runs && !ReadBody32(reader, tables.stsc, 8 + (uint64_t)(run + 1) * 12,
                                          &nextFirst))
            return false;
        for (; chunk + 1 < nextFirst && (int)sample < count; chunk++) {
            uint64_t offset;
            if (!ChunkOffset(reader, tables, chunk, &offset))
                return false;
            for (uint32_t i = 0; i < perChunk && (int)sample < count; i++, sample++) {
                uint32_t size;
                uint8_t value[4];
                if (!SampleSize(reader, tables, sample, &size) || size < 4 ||
                    !ReadAt(reader, offset, value, 4))
                    return false;
                result->stretches[sample].timecode = (int32_t)Big32(value);
                offset += size;
            }
        }
        if (++run >= runs && (int)sample < count)
            return false;
    }
    return true;
}

// Ticks of the media time scale as frames of the timecode's rate, to the nearest.
static int32_t FramesOfTicks(uint64_t ticks, uint32_t mediaTimeScale, const TimecodeEntry &entry)
{
    double frames = (double)ticks * entry.timeScale / ((double)mediaTimeScale * entry.frameDuration);
    return frames >= INT32_MAX ? INT32_MAX : (int32_t)(frames + 0.5);
}

// Where each stretch begins and how long it lasts, from the sample durations; samples past the
// ones kept lengthen the last stretch.
static bool ReadSampleTimes(ContainerReader *reader, const Box &stbl, uint32_t mediaTimeScale,
                            const TimecodeEntry &entry, SourceTimecode *result)
{
    Box stts;
    uint32_t runs;
    if (!FindChild(reader, stbl, "stts", &stts) || !ReadBody32(reader, stts, 4, &runs))
        return false;
    uint64_t ticks = 0;
    int count = 0;
    for (uint32_t run = 0; run < runs && run < TABLE_ENTRIES_MOST; run++) {
        uint32_t samples, duration;
        if (!ReadBody32(reader, stts, 8 + (uint64_t)run * 8, &samples) ||
            !ReadBody32(reader, stts, 12 + (uint64_t)run * 8, &duration))
            return false;
        uint32_t i = 0;
        for (; i < samples && count < SOURCE_TIMECODE_STRETCHES_MOST; i++) {
            result->stretches[count++].firstFrame = FramesOfTicks(ticks, mediaTimeScale, entry);
            ticks += duration;
        }
        ticks += (uint64_t)duration * (samples - i);  // samples past the last one kept
    }
    if (count == 0)
        return false;
    result->stretchCount = count;
    for (int i = 0; i < count; i++) {
        int32_t end = i + 1 < count ? result->stretches[i + 1].firstFrame
                                    : FramesOfTicks(ticks, mediaTimeScale, entry);
        result->stretches[i].frames = end - result->stretches[i].firstFrame;
    }
    return true;
}

static bool ReadTimecodeTrack(ContainerReader *reader, const Box &mdia, SourceTimecode *result)
{
    static const char *const stblPath[] = {"minf", "stbl"};
    Box stbl;
    uint32_t mediaTimeScale;
    TimecodeEntry entry;
    SampleTables tables;
    if (!MediaTimeScale(reader, mdia, &mediaTimeScale) ||
        !FindPath(reader, mdia, stblPath, 2, &stbl) ||
        !ReadTimecodeEntry(reader, stbl, result, &entry) ||
        !ReadSampleTimes(reader, stbl, mediaTimeScale, entry, result) ||
        !FindSampleTables(reader, stbl, &tables))
        return false;
    return ReadSampleValues(reader, tables, result->stretchCount, result);
}

bool ReadQuickTimeTimecode(ContainerReader *reader, SourceTimecode *result)
{
    Box file = {0, reader->fileSize};
    Box moov;
    if (!FindChild(reader, file, "moov", &moov))
        return false;
    // The first track whose handler is tmcd.
    Box trak, mdia;
    for (int i = 0; FindChild(reader, moov, "trak", &trak, i); i++) {
        if (FindChild(reader, trak, "mdia", &mdia) && IsTimecodeTrack(reader, mdia))
            return ReadTimecodeTrack(reader, mdia, result);
    }
    return false;
}
