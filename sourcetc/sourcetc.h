// The timecode a camera or recorder wrote into a file: a QuickTime or MP4 `tmcd` track, the
// timecode of an MXF file's material package, the first GOP header of an MPEG-2 program or
// transport stream. Our own reading of the containers, pure code without any platform call: it
// also builds with the host compiler (sanitizers, fuzzing). It reads through a callback, at most
// what it needs and never more than a fixed budget, so that a hostile or damaged file costs a
// few milliseconds and gives "no source timecode".
#pragma once

#include <stdint.h>

#include "timecode/timecode.h"

enum {
    SOURCE_TIMECODE_STRETCHES_MOST = 256,  // tmcd samples kept; later ones extend the last
    SOURCE_TIMECODE_READ_BUDGET = 8 << 20,  // bytes read from one file at the most
    SOURCE_TIMECODE_READS_MOST = 4096,      // and read calls
};

// A stretch of the file recorded without a break: its first frame in the file, counted from 0 at
// the source timecode's rate, how many frames it holds, and the timecode of its first frame (as
// a frame number of its format: drop-frame numbers count real frames).
struct SourceTimecodeStretch {
    int32_t firstFrame;
    int32_t frames;
    int32_t timecode;
};

struct SourceTimecode {
    int stretchCount;           // 0: the file has no source timecode we can read
    TimecodeFormat format;      // base 24, 25, 30, 50 or 60; drop-frame only at 30 and 60
    int32_t rateNumerator;      // the frame rate it counts at, 30000/1001 for 29.97
    int32_t rateDenominator;
    SourceTimecodeStretch stretches[SOURCE_TIMECODE_STRETCHES_MOST];
};

// Reads size bytes at offset into buffer; false when the file has not that many there.
typedef bool (*ContainerRead)(void *context, uint64_t offset, void *buffer, uint32_t size);

// Fills result from the file, whose kind is told from its first bytes; false (and a count of 0)
// for a file of another kind, without a timecode, damaged, or beyond the budget. One file at a
// time: the larger work areas (MXF sets, MPEG windows) are static, off the caller's stack.
bool ReadSourceTimecode(ContainerRead read, void *context, uint64_t fileSize,
                        SourceTimecode *result);

// The timecode frame number of a frame of the file: its stretch's timecode plus the frames since
// the stretch began. Frames before the first stretch count from the first, after the last from
// the last.
int32_t SourceTimecodeOfFrame(const SourceTimecode *source, int32_t frame);
// The file's frame that shows a timecode frame number: in the stretch that holds it; a timecode
// no stretch holds counts from the last stretch that begins before it, or from the first.
int32_t FrameOfSourceTimecode(const SourceTimecode *source, int32_t timecode);
// The frame rate as a decimal number (29.97002997...).
double SourceTimecodeFrameRate(const SourceTimecode *source);
