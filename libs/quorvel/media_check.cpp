// A look at the file before DirectShow gets it. An empty file, an MP4/MOV whose movie box
// (the index without which nothing plays) is missing, or a file named .mp3 without MPEG audio
// frames cannot be played anywhere; Wine's GStreamer parser can even wait for ever on such a
// truncated MP4.
#include <string.h>

#include "engine.h"

namespace {

const int BOX_HEADER = 8;
const int LARGE_SIZE_FIELD = 8;

unsigned long BigEndian32(const unsigned char *p)
{
    return ((unsigned long)p[0] << 24) | ((unsigned long)p[1] << 16) | ((unsigned long)p[2] << 8) | p[3];
}

bool ReadAt(HANDLE file, LONGLONG offset, unsigned char *buffer, DWORD size)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD read = 0;
    return SetFilePointerEx(file, at, NULL, FILE_BEGIN) && ReadFile(file, buffer, size, &read, NULL) &&
           read == size;
}

// An ISO media file (its first box is "ftyp") must hold a complete "moov" box.
bool MovieBoxMissing(HANDLE file, LONGLONG fileSize)
{
    unsigned char header[BOX_HEADER + LARGE_SIZE_FIELD];
    if (!ReadAt(file, 0, header, BOX_HEADER) || memcmp(header + 4, "ftyp", 4) != 0)
        return false;  // not an ISO media file: DirectShow decides
    for (LONGLONG offset = 0; offset + BOX_HEADER <= fileSize;) {
        if (!ReadAt(file, offset, header, BOX_HEADER))
            return true;
        LONGLONG size = BigEndian32(header);
        if (size == 1) {
            if (!ReadAt(file, offset + BOX_HEADER, header + BOX_HEADER, LARGE_SIZE_FIELD))
                return true;
            size = ((LONGLONG)BigEndian32(header + BOX_HEADER) << 32) | BigEndian32(header + 12);
        } else if (size == 0) {
            size = fileSize - offset;  // the last box runs to the end of the file
        }
        if (size < BOX_HEADER || offset + size > fileSize)
            return true;  // cut off inside a box
        if (memcmp(header + 4, "moov", 4) == 0)
            return false;
        offset += size;
    }
    return true;
}

const unsigned char EBML_MAGIC[] = {0x1A, 0x45, 0xDF, 0xA3};
const unsigned char SEGMENT_INFO_ID[] = {0x15, 0x49, 0xA9, 0x66};
const unsigned char TRACKS_ID[] = {0x16, 0x54, 0xAE, 0x6B};
const unsigned char DURATION_ID[] = {0x44, 0x89};
const DWORD HEADER_BYTES = 65536;

const unsigned char SEEK_ID_PREFIX[] = {0x53, 0xAB, 0x84};  // a SeekID of four bytes

// An element's ID, skipping where the seek head names it (a SeekID holding the same bytes).
const unsigned char *Find(const unsigned char *from, const unsigned char *end,
                          const unsigned char *what, size_t size)
{
    const size_t prefix = sizeof SEEK_ID_PREFIX;
    for (const unsigned char *p = from; p + size <= end; p++) {
        bool named = p - from >= (ptrdiff_t)prefix && memcmp(p - prefix, SEEK_ID_PREFIX, prefix) == 0;
        if (memcmp(p, what, size) == 0 && !named)
            return p;
    }
    return NULL;
}

// MPEG audio: the bit rates in kbit/s by bit-rate index for MPEG-1 layers I, II, III and for
// MPEG-2/2.5 layer I and layers II/III; the sample rates by index for MPEG-1.
const int BIT_RATES[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
const int SAMPLE_RATES[3] = {44100, 48000, 32000};
const int MPEG_VERSION_1 = 3, MPEG_VERSION_RESERVED = 1;   // the header's version bits
const int LAYER_I = 3, LAYER_RESERVED = 0;                 // its layer bits
const int FRAMES_IN_A_ROW = 3;       // random bytes chain two headers now and then, never three
const DWORD MP3_LOOK_BYTES = 65536;  // a frame must start this near the file's start (or its tag)
const int ID3_HEADER = 10;

// The length of the MPEG audio frame whose header is at p, 0 when it is no frame header.
int MpegFrameLength(const unsigned char *p)
{
    int version = (p[1] >> 3) & 3, layer = (p[1] >> 1) & 3;
    int bitRateIndex = p[2] >> 4, sampleRateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0 || version == MPEG_VERSION_RESERVED ||
        layer == LAYER_RESERVED || sampleRateIndex == 3 || bitRateIndex == 0 || bitRateIndex == 15)
        return 0;
    bool mpeg1 = version == MPEG_VERSION_1;
    int table = mpeg1 ? 3 - layer : (layer == LAYER_I ? 3 : 4);
    long bitRate = BIT_RATES[table][bitRateIndex] * 1000L;
    long sampleRate = SAMPLE_RATES[sampleRateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    if (layer == LAYER_I)
        return (int)((12 * bitRate / sampleRate + padding) * 4);
    bool halfFrames = !mpeg1 && layer == 1;  // layer III of MPEG-2 and 2.5: 576 samples a frame
    return (int)((halfFrames ? 72 : 144) * bitRate / sampleRate + padding);
}

// The header bits that stay the same from frame to frame: sync, version, layer, sample rate.
bool SameStream(const unsigned char *a, const unsigned char *b)
{
    return a[1] == b[1] && (a[2] & 0x0C) == (b[2] & 0x0C);
}

bool FramesInARowAt(const unsigned char *bytes, size_t size, size_t at)
{
    size_t offset = at;
    for (int n = 0; n < FRAMES_IN_A_ROW; n++) {
        if (offset + 4 > size)
            return n >= 2 && offset == size;  // a tiny file: two frames that end it
        int length = MpegFrameLength(bytes + offset);
        if (length == 0 || (n > 0 && !SameStream(bytes + at, bytes + offset)))
            return false;
        offset += length;
    }
    return true;
}

// The size of an ID3v2 tag at the start, 0 for none.
size_t Id3TagSize(const unsigned char *bytes, size_t size)
{
    if (size < ID3_HEADER || memcmp(bytes, "ID3", 3) != 0)
        return 0;
    size_t body = (size_t)(bytes[6] & 0x7F) << 21 | (size_t)(bytes[7] & 0x7F) << 14 |
                  (size_t)(bytes[8] & 0x7F) << 7 | (bytes[9] & 0x7F);
    bool footer = (bytes[5] & 0x10) != 0;
    return ID3_HEADER + body + (footer ? ID3_HEADER : 0);
}

bool NamedMp3(const WCHAR *path)
{
    int length = lstrlenW(path);
    return length >= 4 && lstrcmpiW(path + length - 4, L".mp3") == 0;
}

bool Mp3FramesMissing(HANDLE file, LONGLONG fileSize)
{
    static unsigned char head[ID3_HEADER];
    if (!ReadAt(file, 0, head, fileSize < ID3_HEADER ? (DWORD)fileSize : ID3_HEADER))
        return true;
    LONGLONG start = Id3TagSize(head, fileSize < ID3_HEADER ? (size_t)fileSize : ID3_HEADER);
    if (start >= fileSize)
        return true;
    static unsigned char bytes[MP3_LOOK_BYTES];
    LONGLONG left = fileSize - start;
    DWORD size = left < MP3_LOOK_BYTES ? (DWORD)left : MP3_LOOK_BYTES;
    return !ReadAt(file, start, bytes, size) || !Mp3FramesFound(bytes, size);
}

}  // namespace

bool Mp3FramesFound(const unsigned char *bytes, size_t size)
{
    for (size_t at = 0; at + 4 <= size; at++)
        if (bytes[at] == 0xFF && FramesInARowAt(bytes, size, at))
            return true;
    return false;
}

bool DurationUnknown(const WCHAR *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    static unsigned char header[HEADER_BYTES];
    DWORD got = 0;
    bool read = ReadFile(file, header, sizeof header, &got, NULL) != 0;
    CloseHandle(file);
    if (!read || got < sizeof EBML_MAGIC || memcmp(header, EBML_MAGIC, sizeof EBML_MAGIC) != 0)
        return false;  // only Matroska and WebM are written without one
    // The Duration element belongs to the segment information, which comes before the tracks.
    const unsigned char *end = header + got;
    const unsigned char *info = Find(header, end, SEGMENT_INFO_ID, sizeof SEGMENT_INFO_ID);
    if (!info)
        return true;
    const unsigned char *tracks = Find(info, end, TRACKS_ID, sizeof TRACKS_ID);
    return !Find(info, tracks ? tracks : end, DURATION_ID, sizeof DURATION_ID);
}

const char *UnplayableFileReason(const WCHAR *path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED ? "access denied" : "file not found";
    LARGE_INTEGER size = {};
    const char *reason = NULL;
    if (!GetFileSizeEx(file, &size) || size.QuadPart == 0)
        reason = "the file is empty";
    else if (MovieBoxMissing(file, size.QuadPart))
        reason = "the file is damaged or incomplete";
    else if (NamedMp3(path) && Mp3FramesMissing(file, size.QuadPart))
        reason = "no MP3 sound in it";
    CloseHandle(file);
    return reason;
}
