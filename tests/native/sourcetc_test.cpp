// The source timecode reader on files ffmpeg writes with -timecode (tools/make-timecode-clips,
// run here unless SOURCE_TIMECODE_CLIPS names a folder that holds them), on a QuickTime file
// whose timecode track the test gives three samples, and on cut and damaged copies of each.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "sourcetc/sourcetc.h"
#include "tests/support/quicktime_timecode.h"

namespace {

struct MemoryFile {
    const std::string *bytes;
    uint64_t bytesRead;
};

bool ReadMemory(void *context, uint64_t offset, void *buffer, uint32_t size)
{
    MemoryFile *file = (MemoryFile *)context;
    if (offset > file->bytes->size() || size > file->bytes->size() - offset)
        return false;
    memcpy(buffer, file->bytes->data() + offset, size);
    file->bytesRead += size;
    return true;
}

// The reader's answer, and how much of the file it read.
uint64_t Parse(const std::string &bytes, SourceTimecode *result)
{
    MemoryFile file = {&bytes, 0};
    ReadSourceTimecode(ReadMemory, &file, bytes.size(), result);
    return file.bytesRead;
}

std::string ClipFolder()
{
    static std::string folder;
    if (!folder.empty())
        return folder;
    const char *given = getenv("SOURCE_TIMECODE_CLIPS");
    if (given && given[0]) {
        folder = given;
        return folder;
    }
    char made[] = "/tmp/sourcetc-clips-XXXXXX";
    if (!mkdtemp(made))
        return "";
    std::string command = std::string(VANTOREL_SOURCE_DIR "/tools/make-timecode-clips ") + made;
    if (system(command.c_str()) != 0)
        return "";
    folder = made;
    return folder;
}

std::string ReadClip(const std::string &name)
{
    std::ifstream in(ClipFolder() + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A reader's answer is either nothing or a timecode the player can follow.
void ExpectNoneOrFollowable(const SourceTimecode &tc, const std::string &what)
{
    if (tc.stretchCount == 0)
        return;
    int base = tc.format.base;
    EXPECT_TRUE(base == 24 || base == 25 || base == 30 || base == 50 || base == 60) << what;
    EXPECT_TRUE(!tc.format.dropFrame || base == 30 || base == 60) << what;
    EXPECT_LE(tc.stretchCount, SOURCE_TIMECODE_STRETCHES_MOST) << what;
    EXPECT_GT(SourceTimecodeFrameRate(&tc), base * 0.98) << what;
}

bool SameTimecode(const SourceTimecode &a, const SourceTimecode &b)
{
    return a.stretchCount == b.stretchCount && a.format.base == b.format.base &&
           a.format.dropFrame == b.format.dropFrame && a.rateNumerator == b.rateNumerator &&
           a.rateDenominator == b.rateDenominator &&
           memcmp(a.stretches, b.stretches, sizeof a.stretches[0] * a.stretchCount) == 0;
}

struct RateCase {
    const char *name;
    const char *start;
    int base;
    bool dropFrame;
    double rate;
};

const RateCase Rates[] = {
    {"25", "10:00:00:00", 25, false, 25.0},
    {"2997df", "01:00:00;00", 30, true, 30000.0 / 1001},
    {"23976", "00:59:59:00", 24, false, 24000.0 / 1001},
    {"50", "23:59:59:49", 50, false, 50.0},
    {"5994df", "01:09:59;56", 60, true, 60000.0 / 1001},
};
const char *const Containers[] = {"mov", "mp4", "mxf", "ts", "mpg"};

TEST(SourceTimecode, ReadsEveryContainerAtEveryRate)
{
    ASSERT_FALSE(ClipFolder().empty()) << "tools/make-timecode-clips failed";
    for (const RateCase &rate : Rates) {
        for (const char *container : Containers) {
            std::string name = std::string(rate.name) + "." + container;
            std::string bytes = ReadClip(name);
            ASSERT_FALSE(bytes.empty()) << name;
            SourceTimecode tc;
            uint64_t read = Parse(bytes, &tc);
            ASSERT_EQ(tc.stretchCount, 1) << name;
            EXPECT_EQ(tc.format.base, rate.base) << name;
            EXPECT_EQ(tc.format.dropFrame, rate.dropFrame) << name;
            EXPECT_NEAR(SourceTimecodeFrameRate(&tc), rate.rate, 1e-6) << name;
            EXPECT_EQ(tc.stretches[0].firstFrame, 0) << name;
            char shown[TIMECODE_BUFFER_SIZE];
            FormatTimecode(shown, SourceTimecodeOfFrame(&tc, 0), tc.format);
            EXPECT_STREQ(shown + 1, rate.start) << name;
            // QuickTime's media data is walked over, never read.
            if (name.find(".mov") != std::string::npos || name.find(".mp4") != std::string::npos) {
                EXPECT_LT(read, 4096u) << name << " of " << bytes.size() << " bytes";
            }
        }
    }
}

// A recording with breaks: the 29.97 drop-frame file's 90 frames as three stretches of 30
// (1001 ticks a frame in the track's 30000), each with its own start.
TEST(SourceTimecode, FollowsEachSampleOfATimecodeTrack)
{
    TimecodeFormat df = {30, true};
    int32_t starts[3] = {ParseTimecode("01:00:00;00", df), ParseTimecode("01:10:00;00", df),
                         ParseTimecode("02:00:59;28", df)};
    std::vector<TimecodeSample> samples;
    for (int32_t start : starts)
        samples.push_back(TimecodeSample{(uint32_t)start, 30 * 1001});
    std::string bytes = WithTimecodeSamples(ReadClip("2997df.mov"), samples);
    ASSERT_FALSE(bytes.empty());
    SourceTimecode tc;
    Parse(bytes, &tc);
    ASSERT_EQ(tc.stretchCount, 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(tc.stretches[i].firstFrame, 30 * i) << i;
        EXPECT_EQ(tc.stretches[i].frames, 30) << i;
        EXPECT_EQ(tc.stretches[i].timecode, starts[i]) << i;
    }
    // frame, the timecode it shows
    const struct { int32_t frame; const char *shown; } cases[] = {
        {0, "01:00:00;00"}, {29, "01:00:00;29"}, {30, "01:10:00;00"}, {59, "01:10:00;29"},
        {60, "02:00:59;28"}, {62, "02:01:00;02"}, {89, "02:01:00;29"},
    };
    for (const auto &c : cases) {
        char shown[TIMECODE_BUFFER_SIZE];
        int32_t timecode = SourceTimecodeOfFrame(&tc, c.frame);
        FormatTimecode(shown, timecode, df);
        EXPECT_STREQ(shown + 1, c.shown) << c.frame;
        EXPECT_EQ(FrameOfSourceTimecode(&tc, timecode), c.frame) << c.shown;
    }
    // Between two stretches: from the one before it, as a single start would count.
    EXPECT_EQ(FrameOfSourceTimecode(&tc, starts[1] + 100), 130);
    EXPECT_EQ(FrameOfSourceTimecode(&tc, starts[0] - 5), -5);
}

// Files of a timecode track alone, for what ffmpeg does not write.
TEST(SourceTimecode, RefusesTimecodeTracksItCannotFollow)
{
    std::vector<TimecodeSample> one = {{1000, 25 * 10}};
    const struct { uint32_t flags, timeScale, frameDuration; uint8_t fps; bool read; } cases[] = {
        {0, 25, 1, 25, true},
        {1, 30000, 1001, 30, true},
        {0, 30000, 1001, 30, true},   // 29.97 counted without drop-frame
        {1, 25, 1, 25, false},        // drop-frame has no meaning at 25
        {0, 25, 1, 7, false},         // no base of ours
        {0, 25, 1, 0, false},
        {0, 25, 0, 25, false},        // no rate
        {0, 0, 1, 25, false},
        {0, 30, 1, 25, false},        // a rate of another base
        {8, 25, 1, 25, false},        // counts seconds, not frames
    };
    for (const auto &c : cases) {
        SourceTimecode tc;
        Parse(TimecodeOnlyFile(c.flags, c.timeScale, c.frameDuration, c.fps, one), &tc);
        EXPECT_EQ(tc.stretchCount, c.read ? 1 : 0)
            << c.flags << " " << c.timeScale << "/" << c.frameDuration << " " << (int)c.fps;
    }
}

TEST(SourceTimecode, KeepsTheFirstSamplesOfAVeryLongList)
{
    std::vector<TimecodeSample> many;
    for (uint32_t i = 0; i < SOURCE_TIMECODE_STRETCHES_MOST + 44; i++)
        many.push_back(TimecodeSample{i * 1000, 50});  // two seconds of 25 frames each
    SourceTimecode tc;
    Parse(TimecodeOnlyFile(0, 25, 1, 25, many), &tc);
    ASSERT_EQ(tc.stretchCount, SOURCE_TIMECODE_STRETCHES_MOST);
    const SourceTimecodeStretch &last = tc.stretches[SOURCE_TIMECODE_STRETCHES_MOST - 1];
    EXPECT_EQ(last.timecode, (SOURCE_TIMECODE_STRETCHES_MOST - 1) * 1000);
    EXPECT_EQ(last.frames, 45 * 50);  // its own and the 44 left out
}

// Cut copies give the whole answer or none, never a wrong one; damaged copies give none or a
// timecode the player can follow; none reads past the budget.
TEST(SourceTimecode, CutAndDamagedCopiesGiveNoneOrTheTruth)
{
    for (const RateCase &rate : Rates) {
        for (const char *container : Containers) {
            std::string name = std::string(rate.name) + "." + container;
            std::string bytes = ReadClip(name);
            ASSERT_FALSE(bytes.empty()) << name;
            SourceTimecode whole, tc;
            Parse(bytes, &whole);
            size_t cuts[] = {0, 1, 7, 16, 100, 188 * 2, bytes.size() / 3, bytes.size() / 2,
                             bytes.size() - 1};
            for (size_t cut : cuts) {
                Parse(bytes.substr(0, cut), &tc);
                EXPECT_TRUE(tc.stretchCount == 0 || SameTimecode(tc, whole)) << name << " " << cut;
            }
            uint32_t state = 0x5EED1234;
            for (int i = 0; i < 300; i++) {
                std::string damaged = bytes;
                for (int flips = 0; flips < 1 + i % 4; flips++) {
                    state ^= state << 13, state ^= state >> 17, state ^= state << 5;
                    // Most of the damage where the reader looks: the first 8 KiB and the end.
                    size_t at = state % 2 ? state / 2 % 8192 : bytes.size() - 1 - state / 2 % 4096;
                    damaged[at % bytes.size()] ^= (char)(state >> 24 | 1);
                }
                uint64_t read = Parse(damaged, &tc);
                ExpectNoneOrFollowable(tc, name);
                EXPECT_LE(read, (uint64_t)SOURCE_TIMECODE_READ_BUDGET);
            }
        }
    }
    // A QuickTime file's index is written last: without its end there is no timecode.
    SourceTimecode tc;
    std::string mov = ReadClip("25.mov");
    Parse(mov.substr(0, mov.size() - 1), &tc);
    EXPECT_EQ(tc.stretchCount, 0);
}

TEST(SourceTimecode, OtherFilesHaveNone)
{
    const std::string files[] = {
        "", std::string(1, '\0'), "RIFF\0\0\0\0AVI LIST", std::string(100000, '\0'),
        std::string(100000, 'G'), std::string("\x47", 1) + std::string(1000, '\xff'),
        // A box that claims more than the file, and one of size 1 with a 64-bit size of 0.
        std::string("\0\0\0\x20" "ftyp", 8) + std::string("\xff\xff\xff\xff" "moov", 8),
        std::string("\0\0\0\x01" "moov\0\0\0\0\0\0\0\0", 16),
    };
    for (const std::string &file : files) {
        SourceTimecode tc;
        Parse(file, &tc);
        EXPECT_EQ(tc.stretchCount, 0) << file.size();
    }
}

}  // namespace
