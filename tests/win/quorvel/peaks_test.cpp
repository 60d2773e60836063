// The waveform's peaks: samples of every layout a decoder gives folded into the right buckets,
// and the buckets each pixel column shows.
#include <gtest/gtest.h>

#include <vector>

#include "peaks.h"

namespace {

const PcmLayout MONO16 = {1, 2}, STEREO16 = {2, 2}, MONO8 = {1, 1}, MONO24 = {1, 3},
                STEREO32 = {2, 4};

std::vector<BYTE> Samples16(std::initializer_list<short> values)
{
    std::vector<BYTE> bytes;
    for (short v : values) {
        bytes.push_back((BYTE)(v & 0xFF));
        bytes.push_back((BYTE)((v >> 8) & 0xFF));
    }
    return bytes;
}

TEST(Peaks, BucketsSpreadEvenlyAndTheEndStaysInTheLastOne)
{
    const LONGLONG TOTAL = 4096;  // two positions a bucket
    struct {
        LONGLONG position, total;
        int bucket;
    } cases[] = {{0, TOTAL, 0}, {1, TOTAL, 0}, {2, TOTAL, 1}, {4095, TOTAL, 2047},
                 // A decoder gives a little more than the duration promised: encoder padding.
                 {4096, TOTAL, 2047}, {100000, TOTAL, 2047},
                 {-1, TOTAL, 0}, {5, 0, 0}, {5, -3, 0},
                 // Hours of sound at 48 kHz: no overflow in position times buckets.
                 {48000LL * 3600 * 3 - 1, 48000LL * 3600 * 3, 2047},
                 {48000LL * 3600 * 3 / 2, 48000LL * 3600 * 3, 1024}};
    for (auto c : cases)
        EXPECT_EQ(c.bucket, BucketOf(c.position, c.total)) << c.position << " of " << c.total;
}

TEST(Peaks, EachLayoutIsReadAtSixteenBits)
{
    struct {
        const char *what;
        std::vector<BYTE> bytes;
        PcmLayout layout;
        short low, high;
        LONG positions;
    } cases[] = {
        {"16-bit mono", Samples16({100, -200, 50}), MONO16, -200, 100, 3},
        {"16-bit extremes", Samples16({32767, -32768}), MONO16, -32768, 32767, 2},
        // Both channels count: a sound in one channel only still shows.
        {"16-bit stereo", Samples16({0, 3000, -7, 0}), STEREO16, -7, 3000, 2},
        {"8-bit is unsigned around 128", {128, 255, 0}, MONO8, -32768, 127 * 256, 3},
        {"24-bit: its top two bytes", {0x11, 0x34, 0x12, 0xFF, 0x00, 0x80}, MONO24, -32768, 0x1234, 2},
        {"32-bit stereo", {0, 0, 0xFF, 0x7F, 0, 0, 0, 0xC0}, STEREO32, -16384, 32767, 1},
        // A sample cut off at the end of a buffer is left out, not read past the buffer.
        {"16-bit with a stray byte", {0x10, 0x00, 0xFF}, MONO16, 16, 16, 1},
        {"stereo with half a position", Samples16({5, -5, 9}), STEREO16, -5, 5, 1},
    };
    for (auto &c : cases) {
        Peaks peaks;
        ClearPeaks(&peaks);
        const LONGLONG LONG_SOUND = 1000000;  // every case's few positions in bucket 0
        LONG positions =
            AddPeaks(c.bytes.data(), (LONG)c.bytes.size(), c.layout, 0, LONG_SOUND, &peaks);
        EXPECT_EQ(c.positions, positions) << c.what;
        EXPECT_EQ(c.low, peaks.minima[0]) << c.what;
        EXPECT_EQ(c.high, peaks.maxima[0]) << c.what;
        EXPECT_TRUE(BucketEmpty(peaks, 1)) << c.what;
    }
}

TEST(Peaks, BuffersFoldIntoTheBucketsOfTheirPositions)
{
    const LONGLONG TOTAL = WAVEFORM_BUCKETS * 2;  // two positions a bucket
    Peaks peaks;
    ClearPeaks(&peaks);
    for (int b = 0; b < WAVEFORM_BUCKETS; b++)
        EXPECT_TRUE(BucketEmpty(peaks, b)) << b;

    // A buffer straddling buckets 1 and 2, then one that adds to bucket 2 and starts 3.
    std::vector<BYTE> first = Samples16({-10, 20, 30, -40});
    std::vector<BYTE> second = Samples16({7, -300, 5});
    AddPeaks(first.data(), (LONG)first.size(), MONO16, 1, TOTAL, &peaks);
    AddPeaks(second.data(), (LONG)second.size(), MONO16, 5, TOTAL, &peaks);
    struct {
        int bucket;
        short low, high;
    } expected[] = {{0, -10, -10}, {1, 20, 30}, {2, -40, 7}, {3, -300, 5}};
    for (auto x : expected) {
        EXPECT_EQ(x.low, peaks.minima[x.bucket]) << "bucket " << x.bucket;
        EXPECT_EQ(x.high, peaks.maxima[x.bucket]) << "bucket " << x.bucket;
    }
    EXPECT_TRUE(BucketEmpty(peaks, 4));

    EXPECT_EQ(0, AddPeaks(NULL, 4, MONO16, 0, TOTAL, &peaks));
    EXPECT_EQ(0, AddPeaks(first.data(), 0, MONO16, 0, TOTAL, &peaks));
    EXPECT_EQ(0, AddPeaks(first.data(), 4, PcmLayout{0, 2}, 0, TOTAL, &peaks));
    EXPECT_EQ(0, AddPeaks(first.data(), 4, PcmLayout{1, 8}, 0, TOTAL, &peaks));
}

// Every bucket is shown in exactly one column when the band is narrower than the buckets, and
// every column shows a bucket when it is wider.
TEST(Peaks, ColumnsCoverEveryBucketOnce)
{
    const int widths[] = {1, 7, 480, 1000, 2047, 2048, 2049, 4000};
    for (int width : widths) {
        int next = 0;
        for (int x = 0; x < width; x++) {
            int from, to;
            ColumnBuckets(x, width, &from, &to);
            ASSERT_LT(from, to) << "width " << width << ", column " << x;
            ASSERT_GE(from, 0);
            ASSERT_LE(to, WAVEFORM_BUCKETS);
            if (width <= WAVEFORM_BUCKETS) {
                ASSERT_EQ(next, from) << "width " << width << ", column " << x;
                next = to;
            }
        }
        if (width <= WAVEFORM_BUCKETS) {
            EXPECT_EQ(WAVEFORM_BUCKETS, next) << "width " << width;
        }
    }
}

}  // namespace
