// The timecode the file was recorded with (sourcetc/ reads it from the container): whether it is
// in force, and positions in its numbering. In force while SourceTimecode is on and the user set
// no TC offset for the file itself: an offset the user typed for a file is a decision about that
// file, the "default" offset and the frame-rate list only a guess for files in general.
#include "player/player.h"

#include "settings/settings.h"

static bool ReadFromFile(void *context, uint64_t offset, void *buffer, uint32_t size)
{
    HANDLE file = (HANDLE)context;
    LARGE_INTEGER position;
    position.QuadPart = (LONGLONG)offset;
    if (!SetFilePointerEx(file, position, NULL, FILE_BEGIN))
        return false;
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, NULL) && read == size;
}

// Reading shares the file with everyone, the engine included, which opens it next.
static bool ReadCurrentFileTimecode(SourceTimecode *source)
{
    source->stretchCount = 0;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = Player.currentFileWide[0]
                      ? CreateFileW(Player.currentFileWide, GENERIC_READ, share, NULL,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL)
                      : CreateFileA(Player.currentFile, GENERIC_READ, share, NULL, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool found = GetFileSizeEx(file, &size) &&
                 ReadSourceTimecode(ReadFromFile, file, (uint64_t)size.QuadPart, source);
    CloseHandle(file);
    return found;
}

static bool SourceTimecodeSwitchedOn(void)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_SOURCE_TIMECODE, DEFAULT_SOURCE_TIMECODE, text, sizeof text);
    return lstrcmpA(text, SOURCE_TIMECODE_ON) == 0;
}

static bool FileHasItsOwnOffset(void)
{
    char text[TC_OFFSET_READ_SIZE];
    return ReadSetting(SECTION_TC_OFFSET, Player.currentFile, "", text, sizeof text) != 0;
}

bool UseSourceTimecode(double *frameRate)
{
    Player.sourceTimecodeInUse = false;
    if (!Player.currentFile[0] || !SourceTimecodeSwitchedOn() || FileHasItsOwnOffset() ||
        !ReadCurrentFileTimecode(&Player.sourceTimecode))
        return false;
    const SourceTimecode &source = Player.sourceTimecode;
    Player.sourceTimecodeInUse = true;
    Player.timecodeFormat = source.format;
    Player.timecodeRate = source.format.base;
    Player.tcOffset = source.stretches[0].timecode - source.stretches[0].firstFrame;
    *frameRate = SourceTimecodeFrameRate(&source);
    return true;
}

int32_t TimecodeOfMediaFrame(int32_t frame)
{
    if (Player.sourceTimecodeInUse)
        return SourceTimecodeOfFrame(&Player.sourceTimecode, frame);
    // Wrapping addition: an offset can take a position below zero, never out of 32 bits.
    return (int32_t)((uint32_t)frame + (uint32_t)Player.tcOffset);
}

int32_t MediaFrameOfTimecode(int32_t timecode)
{
    if (Player.sourceTimecodeInUse)
        return FrameOfSourceTimecode(&Player.sourceTimecode, timecode);
    return (int32_t)((uint32_t)timecode - (uint32_t)Player.tcOffset);
}
