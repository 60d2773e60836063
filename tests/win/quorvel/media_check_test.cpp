// Which files say nothing of their duration: Matroska and WebM written as a live stream.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine.h"

namespace {

const std::string EBML = "\x1A\x45\xDF\xA3\x84" "webm";
const std::string SEGMENT = "\x18\x53\x80\x67\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF";
const std::string INFO_ID = "\x15\x49\xA9\x66";
const std::string TRACKS_ID = "\x16\x54\xAE\x6B";
const std::string DURATION = std::string("\x44\x89\x88") + std::string(8, '\x40');
const std::string TIMESCALE = "\x2A\xD7\xB1\x83\x0F\x42\x40";
// The seek head names the segment information and the tracks: their IDs stand in it too.
const std::string SEEK_HEAD = "\x11\x4D\x9B\x74\x9A"
                              "\x4D\xBB\x8B\x53\xAB\x84" + INFO_ID + "\x53\xAC\x81\x40"
                              "\x4D\xBB\x8B\x53\xAB\x84" + TRACKS_ID + "\x53\xAC\x81\x60";

std::wstring WriteTemp(const std::string &bytes)
{
    WCHAR folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"vmc", 0, path);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return path;
}

TEST(MediaCheck, DurationUnknownOnlyForMatroskaWithoutOne)
{
    struct {
        const char *what;
        std::string bytes;
        bool unknown;
    } cases[] = {
        {"with a duration", EBML + SEGMENT + SEEK_HEAD + INFO_ID + "\x8E" + TIMESCALE + DURATION +
                                TRACKS_ID + "\x80", false},
        {"live: none", EBML + SEGMENT + SEEK_HEAD + INFO_ID + "\x83" + TIMESCALE + TRACKS_ID + "\x80",
         true},
        // The duration's ID after the tracks is some other element's bytes.
        {"none before the tracks", EBML + SEGMENT + INFO_ID + "\x83" + TIMESCALE + TRACKS_ID +
                                       "\x8B" + DURATION, true},
        {"no segment information", EBML + SEGMENT + SEEK_HEAD, true},
        {"MP4", std::string("\0\0\0\x18" "ftypisom", 12) + std::string(100, '\0'), false},
        {"empty", "", false},
    };
    for (const auto &c : cases) {
        std::wstring path = WriteTemp(c.bytes);
        EXPECT_EQ(DurationUnknown(path.c_str()), c.unknown) << c.what;
        DeleteFileW(path.c_str());
    }
    EXPECT_FALSE(DurationUnknown(L"C:\\no such folder\\x.webm"));
}

}  // namespace
