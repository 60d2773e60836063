// QuickTime files with a timecode track of the test's own: the samples of an ffmpeg file's
// `tmcd` track replaced by others (a recording with breaks), or a file of nothing but a timecode
// track for tests that never play it. Pure C++, header only: the native and the Windows tests
// share it.
#pragma once

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

struct TimecodeSample {
    uint32_t frameNumber;  // the timecode of the stretch's first frame, as a frame number
    uint32_t duration;     // in the track's media time scale
};

namespace quicktime_timecode {

inline std::string Be32(uint32_t v)
{
    char b[4] = {(char)(v >> 24), (char)(v >> 16), (char)(v >> 8), (char)v};
    return std::string(b, 4);
}

inline std::string Box(const char *type, const std::string &body)
{
    return Be32((uint32_t)(body.size() + 8)) + std::string(type, 4) + body;
}

inline uint32_t Read32(const std::string &s, size_t at)
{
    const uint8_t *p = (const uint8_t *)s.data() + at;
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// The sample tables of samples, each in a chunk of its own at dataOffset + 4 * index.
inline std::string SampleTables(const std::vector<TimecodeSample> &samples, uint32_t dataOffset)
{
    uint32_t count = (uint32_t)samples.size();
    std::string stts = Be32(0) + Be32(count), stco = Be32(0) + Be32(count);
    for (uint32_t i = 0; i < count; i++) {
        stts += Be32(1) + Be32(samples[i].duration);
        stco += Be32(dataOffset + 4 * i);
    }
    return Box("stts", stts) + Box("stsc", Be32(0) + Be32(1) + Be32(1) + Be32(1) + Be32(1)) +
           Box("stsz", Be32(0) + Be32(4) + Be32(count)) + Box("stco", stco);
}

inline bool IsContainer(const std::string &type)
{
    return type == "moov" || type == "trak" || type == "mdia" || type == "minf" || type == "stbl";
}

// The box at `at` rewritten: containers with their children rewritten, the tables of the stbl
// that describes tmcd samples replaced.
inline std::string Rewrite(const std::string &file, size_t at, size_t end,
                           const std::vector<TimecodeSample> &samples, uint32_t dataOffset)
{
    std::string out;
    bool timecodeTable = false;
    for (size_t child = at; child + 8 <= end;) {
        size_t size = Read32(file, child);
        std::string type = file.substr(child + 4, 4);
        if (size < 8 || child + size > end)
            break;
        if (type == "stsd" && file.compare(child + 20, 4, "tmcd") == 0)
            timecodeTable = true;
        child += size;
    }
    for (size_t child = at; child + 8 <= end;) {
        size_t size = Read32(file, child);
        std::string type = file.substr(child + 4, 4);
        if (size < 8 || child + size > end)
            break;
        if (IsContainer(type)) {
            out += Box(type.c_str(), Rewrite(file, child + 8, child + size, samples, dataOffset));
        } else if (timecodeTable && (type == "stts" || type == "stsc" || type == "stsz" ||
                                     type == "stco" || type == "co64")) {
            if (type == "stts")
                out += SampleTables(samples, dataOffset);
        } else {
            out += file.substr(child, size);
        }
        child += size;
    }
    return out;
}

}  // namespace quicktime_timecode

// An ffmpeg QuickTime file (its moov last, as ffmpeg writes it) with its tmcd track's samples
// replaced: the new frame numbers follow the file. Empty when the file is not of that shape.
inline std::string WithTimecodeSamples(const std::string &file,
                                       const std::vector<TimecodeSample> &samples)
{
    using namespace quicktime_timecode;
    size_t moov = std::string::npos;
    for (size_t at = 0; at + 8 <= file.size();) {
        size_t size = Read32(file, at);
        if (size < 8 || at + size > file.size())
            return "";
        if (file.compare(at + 4, 4, "moov") == 0)
            moov = at;
        at += size;
    }
    if (moov == std::string::npos || moov + Read32(file, moov) != file.size())
        return "";
    // The moov's size does not depend on the offsets in it: measured once, then written.
    size_t moovSize = Rewrite(file, moov, file.size(), samples, 0).size();
    std::string out = file.substr(0, moov) +
                      Rewrite(file, moov, file.size(), samples, (uint32_t)(moov + moovSize));
    for (const TimecodeSample &sample : samples)
        out += Be32(sample.frameNumber);
    return out;
}

// A file of a timecode track alone: flags 1 for drop-frame, the rate timeScale / frameDuration
// (also the media's time scale), framesPerSecond the field of that name.
inline std::string TimecodeOnlyFile(uint32_t flags, uint32_t timeScale, uint32_t frameDuration,
                                    uint8_t framesPerSecond,
                                    const std::vector<TimecodeSample> &samples)
{
    using namespace quicktime_timecode;
    // Reserved, the data reference index 1, reserved, then the timecode's own fields.
    std::string entry = std::string(6, '\0') + std::string("\0\1", 2) + Be32(0) + Be32(flags) +
                        Be32(timeScale) + Be32(frameDuration) +
                        std::string(1, (char)framesPerSecond) + std::string(1, '\0');
    std::string stsd = Be32(0) + Be32(1) + Box("tmcd", entry);
    std::string hdlr = Be32(0) + "mhlr" + "tmcd" + std::string(12, '\0') + std::string(1, '\0');
    std::string mdhd = Be32(0) + Be32(0) + Be32(0) + Be32(timeScale) + Be32(0) + Be32(0);
    std::string ftyp = Box("ftyp", std::string("qt  ") + Be32(0) + "qt  ");
    auto moovWith = [&](uint32_t dataOffset) {
        std::string stbl = Box("stsd", stsd) + SampleTables(samples, dataOffset);
        std::string mdia = Box("mdhd", mdhd) + Box("hdlr", hdlr) + Box("minf", Box("stbl", stbl));
        return Box("moov", Box("trak", Box("mdia", mdia)));
    };
    uint32_t dataOffset = (uint32_t)(ftyp.size() + moovWith(0).size());
    std::string out = ftyp + moovWith(dataOffset);
    for (const TimecodeSample &sample : samples)
        out += Be32(sample.frameNumber);
    return out;
}
