// A look at the file before DirectShow gets it. An empty file, or an MP4/MOV whose movie box
// (the index without which nothing plays) is missing, cannot be played anywhere; Wine's
// GStreamer parser can even wait for ever on such a truncated MP4.
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

}  // namespace

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
    CloseHandle(file);
    return reason;
}
