// MPEG-1 and MPEG-2 video in a program or transport stream: the timecode of the first group of
// pictures, with the rate of the sequence header before it. A program stream's packets are read
// as they come (a GOP header follows its sequence header within one packet as encoders write
// them); a transport stream's video packets are unwrapped first, since a GOP header may lie
// across two of them.
#include <string.h>

#include "sourcetc/container.h"

enum {
    SCAN_BYTES_MOST = 2 << 20,  // of the stream, before giving up
    CHUNK_BYTES = 64 * 1024,
    TRANSPORT_PACKET = 188,
    TRANSPORT_SYNC = 0x47,
    NO_PID = -1,
    SEQUENCE_HEADER = 0xB3,
    GOP_HEADER = 0xB8,
};

// The sequence header's frame_rate_code: numerator and denominator.
static const uint32_t FrameRates[][2] = {
    {0, 0}, {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}, {50, 1}, {60000, 1001},
    {60, 1},
};

// Looks for the sequence header and then the GOP header in the video stream, fed in pieces
// through a window: a start code needs 8 bytes, and the last 7 bytes of a window, which may begin
// one that the next piece ends, are carried over to the next.
struct GopScan {
    uint8_t window[CHUNK_BYTES];
    uint32_t length;
    uint32_t rateNumerator, rateDenominator;  // 0 until a sequence header was seen
    bool found;
    uint32_t timeCode;   // the GOP header's 25 bits
};

enum { START_CODE_BYTES = 8 };

static void ScanHeaderAt(const uint8_t *p, GopScan *scan)
{
    if (p[3] == SEQUENCE_HEADER) {
        int code = p[7] & 0x0F;
        if (code > 0 && code < (int)(sizeof FrameRates / sizeof FrameRates[0])) {
            scan->rateNumerator = FrameRates[code][0];
            scan->rateDenominator = FrameRates[code][1];
        }
    } else if (p[3] == GOP_HEADER && scan->rateNumerator) {
        scan->timeCode = Big32(p + 4) >> 7;
        scan->found = true;
    }
}

static void ScanWindow(GopScan *scan)
{
    uint32_t i = 0;
    for (; i + START_CODE_BYTES <= scan->length && !scan->found; i++) {
        const uint8_t *p = scan->window + i;
        if (p[0] == 0 && p[1] == 0 && p[2] == 1)
            ScanHeaderAt(p, scan);
    }
    memmove(scan->window, scan->window + i, scan->length - i);
    scan->length -= i;
}

static void StartScan(GopScan *scan)
{
    scan->length = 0;
    scan->rateNumerator = scan->rateDenominator = 0;
    scan->found = false;
}

static void ScanPiece(const uint8_t *data, uint32_t size, GopScan *scan)
{
    while (size > 0 && !scan->found) {
        uint32_t room = (uint32_t)sizeof scan->window - scan->length;
        uint32_t taken = size < room ? size : room;
        memcpy(scan->window + scan->length, data, taken);
        scan->length += taken;
        data += taken;
        size -= taken;
        ScanWindow(scan);
    }
}

static bool UseGop(const GopScan &scan, SourceTimecode *result)
{
    if (!scan.found)
        return false;
    bool dropFrame = scan.timeCode >> 24 & 1;
    uint32_t hours = scan.timeCode >> 19 & 0x1F, minutes = scan.timeCode >> 13 & 0x3F;
    uint32_t marker = scan.timeCode >> 12 & 1;
    uint32_t seconds = scan.timeCode >> 6 & 0x3F, pictures = scan.timeCode & 0x3F;
    int base = (int)((scan.rateNumerator + scan.rateDenominator / 2) / scan.rateDenominator);
    if (!marker || hours > 23 || minutes > 59 || seconds > 59 || pictures >= (uint32_t)base)
        return false;
    if (!SetSourceFormat(result, base, dropFrame, scan.rateNumerator, scan.rateDenominator))
        return false;
    uint32_t packed = hours << 24 | minutes << 16 | seconds << 8 | pictures;
    result->stretches[0] = SourceTimecodeStretch{0, INT32_MAX, UnpackTimecode(packed, result->format)};
    result->stretchCount = 1;
    return true;
}

static bool ReadProgramStream(ContainerReader *reader, SourceTimecode *result)
{
    static uint8_t chunk[CHUNK_BYTES];
    static GopScan scan;
    StartScan(&scan);
    for (uint64_t offset = 0; offset < SCAN_BYTES_MOST && offset < reader->fileSize && !scan.found;
         offset += CHUNK_BYTES) {
        uint64_t left = reader->fileSize - offset;
        uint32_t size = left < CHUNK_BYTES ? (uint32_t)left : (uint32_t)CHUNK_BYTES;
        if (!ReadAt(reader, offset, chunk, size))
            return false;
        ScanPiece(chunk, size, &scan);
    }
    return UseGop(scan, result);
}

// The payload of a transport packet: after the header and the adaptation field.
static bool PacketPayload(const uint8_t *packet, uint32_t *start)
{
    int control = packet[3] >> 4 & 3;
    if (packet[0] != TRANSPORT_SYNC || !(control & 1))
        return false;
    *start = 4;
    if (control & 2)
        *start += 1 + packet[4];
    return *start < TRANSPORT_PACKET;
}

// The first PES packet of a video stream (stream id 0xE0 to 0xEF) chooses the PID; that PID's
// payloads are scanned from there, PES headers and all.
static bool ReadTransportStream(ContainerReader *reader, SourceTimecode *result)
{
    static uint8_t chunk[CHUNK_BYTES / TRANSPORT_PACKET * TRANSPORT_PACKET];
    static GopScan scan;
    StartScan(&scan);
    int videoPid = NO_PID;
    for (uint64_t offset = 0; offset < SCAN_BYTES_MOST && !scan.found; offset += sizeof chunk) {
        uint64_t left = reader->fileSize > offset ? reader->fileSize - offset : 0;
        uint32_t size = left < sizeof chunk ? (uint32_t)(left - left % TRANSPORT_PACKET)
                                            : (uint32_t)sizeof chunk;
        if (size == 0 || !ReadAt(reader, offset, chunk, size))
            break;
        for (uint32_t at = 0; at < size && !scan.found; at += TRANSPORT_PACKET) {
            const uint8_t *packet = chunk + at;
            uint32_t payload;
            if (!PacketPayload(packet, &payload))
                continue;
            int pid = (packet[1] & 0x1F) << 8 | packet[2];
            bool unitStart = packet[1] & 0x40;
            const uint8_t *p = packet + payload;
            if (videoPid == NO_PID && unitStart && TRANSPORT_PACKET - payload >= 4 && p[0] == 0 &&
                p[1] == 0 && p[2] == 1 && (p[3] & 0xF0) == 0xE0)
                videoPid = pid;
            if (pid == videoPid)
                ScanPiece(p, TRANSPORT_PACKET - payload, &scan);
        }
    }
    return UseGop(scan, result);
}

bool ReadMpegTimecode(ContainerReader *reader, SourceTimecode *result)
{
    uint8_t first;
    if (!ReadAt(reader, 0, &first, 1))
        return false;
    return first == TRANSPORT_SYNC ? ReadTransportStream(reader, result)
                                   : ReadProgramStream(reader, result);
}
