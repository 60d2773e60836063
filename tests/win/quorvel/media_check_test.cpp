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

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame, 418 with the padding bit.
const std::string MP3_HEADER = "\xFF\xFB\x90\x00", MP3_PADDED = "\xFF\xFB\x92\x00";
// MPEG-2 layer III, 64 kbit/s, 22.05 kHz: 72 * 64000 / 22050 = 208 bytes.
const std::string MPEG2_HEADER = "\xF3\x80\x00";

std::string Frame(const std::string &header, size_t length)
{
    return header + std::string(length - header.size(), '\0');
}

std::string Frames(int count)
{
    std::string bytes;
    for (int i = 0; i < count; i++)
        bytes += Frame(MP3_HEADER, 417);
    return bytes;
}

// The same noise on every run.
std::string Noise(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (char &b : bytes) {
        seed = seed * 1103515245 + 12345;
        b = (char)(seed >> 16);
    }
    return bytes;
}

TEST(MediaCheck, Mp3NeedsMpegAudioFramesInARow)
{
    const std::string ID3 = std::string("ID3\x04\x00\x00\x00\x00\x01\x00", 10) + std::string(128, 'x');
    struct {
        const char *what;
        std::string bytes;
        bool found;
    } cases[] = {
        {"three frames", Frames(3), true},
        {"after a stretch of junk", Noise(1000, 1) + Frames(4), true},
        {"a padded frame between", Frames(1) + Frame(MP3_PADDED, 418) + Frames(2), true},
        {"MPEG-2 at a lower rate", Frame(std::string("\xFF") + MPEG2_HEADER, 208) +
                                       Frame(std::string("\xFF") + MPEG2_HEADER, 208) +
                                       Frame(std::string("\xFF") + MPEG2_HEADER, 208), true},
        // A tiny file: all of it is frames.
        {"two frames that end the file", Frames(2), true},
        {"one header alone", MP3_HEADER + std::string(100, '\0'), false},
        {"two frames cut off", Frames(2).substr(0, 600), false},
        {"a frame that does not lead to the next", Frames(1) + std::string(10, '\0') + Frames(1), false},
        {"sample rate changes", Frames(1) + Frame("\xFF\xFB\x94\x00", 384) + Frames(1), false},
        {"the reserved bit rate", Frame("\xFF\xFB\xF0\x00", 417) + Frames(2) + std::string(10, '\0'),
         false},
        {"random bytes", Noise(65536, 7), false},
        {"other random bytes", Noise(65536, 12345), false},
        {"text", std::string(5000, 'a'), false},
        {"an ID3 tag only", ID3, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.found, Mp3FramesFound((const unsigned char *)c.bytes.data(), c.bytes.size()))
            << c.what;
}

TEST(MediaCheck, AFileNamedMp3WithoutFramesCannotBePlayed)
{
    struct {
        const char *what;
        std::string bytes;
        bool unplayable;
    } cases[] = {
        {"frames", Frames(10), false},
        // A tag of 100000 bytes (a cover picture; its size synch-safe, seven bits a byte), then
        // the frames: further in than the look for frames goes, which starts after the tag.
        {"a large ID3 tag, then frames",
         std::string("ID3\x04\x00\x00\x00\x06\x0D\x20", 10) + std::string(100000, '\0') + Frames(3),
         false},
        {"random bytes", Noise(60000, 3), true},
        {"frames too far into the file", std::string(70000, '\0') + Frames(5), true},
    };
    for (const auto &c : cases) {
        std::wstring path = WriteTemp(c.bytes) + L".mp3";
        MoveFileW(path.substr(0, path.size() - 4).c_str(), path.c_str());
        EXPECT_EQ(UnplayableFileReason(path.c_str()) != NULL, c.unplayable) << c.what;
        DeleteFileW(path.c_str());
    }
    // Only a file named .mp3 is looked at: other names are DirectShow's to judge.
    std::wstring other = WriteTemp(Noise(60000, 3));
    EXPECT_EQ(UnplayableFileReason(other.c_str()), (const char *)NULL);
    DeleteFileW(other.c_str());
}

}  // namespace
