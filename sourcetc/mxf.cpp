// MXF as cameras and ffmpeg write it (OP1a): the timecode component of the material package,
// found in the header metadata by following its strong references: the package's tracks, each
// track's sequence, the sequence's components. A source package's timecode (the tape's) is not
// the one shown. Only the header partition's sets are read, up to the first essence.
#include <string.h>

#include "sourcetc/container.h"

enum {
    KEY_BYTES = 16,
    UID_BYTES = 16,
    SETS_MOST = 512,
    SET_BYTES_MOST = 64 * 1024,     // a larger set is not one of ours, and is walked over
    REFERENCES_MOST = 32,           // tracks of a package, components of a sequence
    KLV_MOST = 4096,
    // Byte 14 of a set's key names it.
    SET_MATERIAL_PACKAGE = 0x36,
    SET_TRACK = 0x3b,
    SET_SEQUENCE = 0x0f,
    SET_TIMECODE = 0x14,
    // Local tags.
    TAG_INSTANCE_UID = 0x3c0a,
    TAG_TRACKS = 0x4403,
    TAG_SEQUENCE = 0x4803,
    TAG_EDIT_RATE = 0x4b01,
    TAG_COMPONENTS = 0x1001,
    TAG_START = 0x1501,
    TAG_BASE = 0x1502,
    TAG_DROP_FRAME = 0x1503,
};

struct Set {
    uint8_t kind;
    uint8_t uid[UID_BYTES];
    uint8_t references[REFERENCES_MOST][UID_BYTES];  // tracks, components, or the sequence
    int referenceCount;
    uint32_t rateNumerator, rateDenominator;  // a track's edit rate
    int64_t start;                            // a timecode component's
    int base;
    bool dropFrame;
};

struct Metadata {
    Set sets[SETS_MOST];
    int count;
};

// The sets with local tags of two bytes and lengths of two bytes (key byte 5 is 0x53).
static bool IsLocalSet(const uint8_t *key)
{
    static const uint8_t prefix[] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x53};
    static const uint8_t structural[] = {0x0d, 0x01, 0x01, 0x01, 0x01, 0x01};
    return memcmp(key, prefix, sizeof prefix) == 0 && memcmp(key + 8, structural, 6) == 0;
}

static bool IsEssence(const uint8_t *key)
{
    static const uint8_t essence[] = {0x06, 0x0e, 0x2b, 0x34, 0x01, 0x02, 0x01, 0x01,
                                      0x0d, 0x01, 0x03, 0x01};
    return memcmp(key, essence, sizeof essence) == 0;
}

// A BER length after the key; its own size in bytes goes to lengthSize.
static bool ReadLength(ContainerReader *reader, uint64_t offset, uint64_t *length,
                       uint32_t *lengthSize)
{
    uint8_t bytes[9];
    if (!ReadAt(reader, offset, bytes, 1))
        return false;
    if (bytes[0] < 0x80) {
        *length = bytes[0];
        *lengthSize = 1;
        return true;
    }
    uint32_t count = bytes[0] & 0x7f;
    if (count == 0 || count > 8 || !ReadAt(reader, offset + 1, bytes + 1, count))
        return false;
    *length = 0;
    for (uint32_t i = 1; i <= count; i++)
        *length = *length << 8 | bytes[i];
    *lengthSize = 1 + count;
    return true;
}

// A batch: a count, an item size, the items; UIDs only.
static void ReadBatch(const uint8_t *value, uint32_t size, Set *set)
{
    if (size < 8 || Big32(value + 4) != UID_BYTES)
        return;
    uint32_t count = Big32(value);
    for (uint32_t i = 0; i < count && 8 + (i + 1) * UID_BYTES <= size &&
                         set->referenceCount < REFERENCES_MOST; i++)
        memcpy(set->references[set->referenceCount++], value + 8 + i * UID_BYTES, UID_BYTES);
}

static void ReadItem(uint16_t tag, const uint8_t *value, uint32_t size, Set *set)
{
    if (tag == TAG_INSTANCE_UID && size == UID_BYTES) {
        memcpy(set->uid, value, UID_BYTES);
    } else if (tag == TAG_TRACKS || tag == TAG_COMPONENTS) {
        ReadBatch(value, size, set);
    } else if (tag == TAG_SEQUENCE && size == UID_BYTES && set->referenceCount == 0) {
        memcpy(set->references[set->referenceCount++], value, UID_BYTES);
    } else if (tag == TAG_EDIT_RATE && size == 8) {
        set->rateNumerator = Big32(value);
        set->rateDenominator = Big32(value + 4);
    } else if (tag == TAG_START && size == 8) {
        set->start = (int64_t)Big64(value);
    } else if (tag == TAG_BASE && size == 2) {
        set->base = Big16(value);
    } else if (tag == TAG_DROP_FRAME && size == 1) {
        set->dropFrame = value[0] != 0;
    }
}

static void ReadSet(const uint8_t *key, const uint8_t *value, uint32_t size, Metadata *metadata)
{
    uint8_t kind = key[14];
    if (kind != SET_MATERIAL_PACKAGE && kind != SET_TRACK && kind != SET_SEQUENCE &&
        kind != SET_TIMECODE)
        return;
    if (metadata->count == SETS_MOST)
        return;
    Set *set = &metadata->sets[metadata->count++];
    memset(set, 0, sizeof *set);
    set->kind = kind;
    for (uint32_t at = 0; size - at >= 4;) {
        uint16_t tag = Big16(value + at), length = Big16(value + at + 2);
        if (length > size - at - 4)
            break;
        ReadItem(tag, value + at + 4, length, set);
        at += 4 + length;
    }
}

// The header metadata's sets, from the start of the file to the first essence.
static bool ReadMetadata(ContainerReader *reader, Metadata *metadata, uint8_t *buffer)
{
    uint64_t offset = 0;
    for (int i = 0; i < KLV_MOST && offset < reader->fileSize; i++) {
        uint8_t key[KEY_BYTES];
        uint64_t length;
        uint32_t lengthSize;
        if (!ReadAt(reader, offset, key, KEY_BYTES) ||
            !ReadLength(reader, offset + KEY_BYTES, &length, &lengthSize))
            break;
        if (IsEssence(key))
            break;
        uint64_t value = offset + KEY_BYTES + lengthSize;
        if (length > reader->fileSize - value)
            break;
        if (IsLocalSet(key) && length <= SET_BYTES_MOST) {
            if (!ReadAt(reader, value, buffer, (uint32_t)length))
                break;
            ReadSet(key, buffer, (uint32_t)length, metadata);
        }
        offset = value + length;
    }
    return metadata->count > 0;
}

static const Set *FindSet(const Metadata *metadata, const uint8_t *uid, uint8_t kind)
{
    for (int i = 0; i < metadata->count; i++)
        if (metadata->sets[i].kind == kind && memcmp(metadata->sets[i].uid, uid, UID_BYTES) == 0)
            return &metadata->sets[i];
    return NULL;
}

// A track's timecode component: its sequence's, or the sequence itself being one.
static const Set *TimecodeOfTrack(const Metadata *metadata, const Set *track)
{
    if (track->referenceCount != 1)
        return NULL;
    const Set *direct = FindSet(metadata, track->references[0], SET_TIMECODE);
    if (direct)
        return direct;
    const Set *sequence = FindSet(metadata, track->references[0], SET_SEQUENCE);
    for (int i = 0; sequence && i < sequence->referenceCount; i++) {
        const Set *component = FindSet(metadata, sequence->references[i], SET_TIMECODE);
        if (component)
            return component;
    }
    return NULL;
}

static bool UseMaterialTimecode(const Metadata *metadata, SourceTimecode *result)
{
    for (int p = 0; p < metadata->count; p++) {
        const Set &package = metadata->sets[p];
        if (package.kind != SET_MATERIAL_PACKAGE)
            continue;
        for (int t = 0; t < package.referenceCount; t++) {
            const Set *track = FindSet(metadata, package.references[t], SET_TRACK);
            const Set *timecode = track ? TimecodeOfTrack(metadata, track) : NULL;
            if (!timecode || timecode->start < 0 || timecode->start > INT32_MAX)
                continue;
            if (!SetSourceFormat(result, timecode->base, timecode->dropFrame,
                                 track->rateNumerator, track->rateDenominator))
                return false;
            result->stretches[0] = SourceTimecodeStretch{0, INT32_MAX, (int32_t)timecode->start};
            result->stretchCount = 1;
            return true;
        }
    }
    return false;
}

bool ReadMxfTimecode(ContainerReader *reader, SourceTimecode *result)
{
    // About 300 KB: off the stack of a window procedure's thread.
    static Metadata metadata;
    static uint8_t buffer[SET_BYTES_MOST];
    metadata.count = 0;
    return ReadMetadata(reader, &metadata, buffer) && UseMaterialTimecode(&metadata, result);
}
