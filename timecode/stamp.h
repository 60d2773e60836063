// Stamps: the text a position is typed as when the user has a template of their own, and the
// position a stamp in someone's document stands for. Pure code, no platform call: it also builds
// with the host compiler.
//
// A template is text with fields in braces: {HH} {MM} {SS} {FF} the timecode's hours, minutes,
// seconds and frames as the display shows them (drop-frame numbering and the TC offset included),
// {TC} the whole timecode as displayed, {T} tenths and {mmm} milliseconds of a second, {TAB} a
// tab and {NL} a line break. Anything else is typed as it stands.
//
// Tenths and milliseconds are a clock, not frames: a template that has either is a clock stamp,
// whose hours, minutes, seconds and fraction are the media time of the frame (the frame number
// at the media's exact rate, 30000/1001 for 29.97) plus the TC offset read as a time of day. The
// timecode of a 29.97 file runs 3.6 seconds an hour behind its media time, and subtitle and
// transcription tools that read milliseconds mean media time; a drop-frame timecode stays within
// a frame or two of it. Frames counted as tenths (frame 12 at 25 fps is .4, at 29.97 .4 too) would
// make the same stamp mean different moments at different rates.
#pragma once

#include <stdint.h>

#include "timecode/timecode.h"

enum {
    STAMP_TEMPLATE_SIZE = 64,  // 63 characters and the terminator
    STAMP_TEXT_SIZE = 128,     // the longest template with every field at its widest
    STAMP_PRESET_COUNT = 6,
};

// How positions of the current file become stamps: what the display uses, and the media's rate.
struct StampClock {
    TimecodeFormat format;
    double frameRate;      // the file's frame-rate setting, as the engine counts frames
    int32_t offsetFrames;  // the TC offset
};

// The known forms, the designed one (the empty template) first. Names as users know them.
struct StampPreset {
    const char *name;
    const char *templateText;
};
extern const StampPreset StampPresets[STAMP_PRESET_COUNT];

// The media frame a stamp names when typed lagSeconds after the moment: never before frame 0.
int32_t LaggedFrame(int32_t mediaFrame, double lagSeconds, double frameRate);

// The text of a template for media frame mediaFrame, cut to size - 1 characters; a line break
// is "\r\n". Returns the length.
int FormatStamp(const char *templateText, int32_t mediaFrame, StampClock clock, char *text,
                int size);

// The forms a stamp is recognised in: templateText (the one in force; may be empty), the
// designed form with and without frames, and every preset; brackets and other signs around a
// stamp's first and last field are not needed. The first stamp of text (first true) or the last
// one starting before position end (first false); true and the media frame it names, which is
// below 0 only for a stamp before the offset. Text without a stamp gives false.
bool FindStamp(const char *text, int end, bool first, const char *templateText, StampClock clock,
               int32_t *mediaFrame);
