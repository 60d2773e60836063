// Where a resume or a jump goes: frame arithmetic of the media's frame numbers, no platform call.
#pragma once

#include <stdint.h>

// Seconds as frames at the frame-numbering rate, to the nearest frame.
int32_t FramesForSeconds(double seconds, int rate);
// A resume that starts earlier never starts before the first frame.
int32_t ResumeFrame(int32_t pausedFrame, int32_t rewindFrames);
// frame + delta kept within the first and the last frame of a media length frames long; a length
// of 0 or less (no file, or one not measured yet) limits only the first.
int32_t JumpFrame(int32_t frame, int32_t delta, int32_t length);
// The slider's value, 0 to 100, for a frame of a media length frames long: the nearest of the
// values whose frame (the engine's inverse, (length - 1) * value / 100) is that frame's.
int SliderValueOfFrame(int32_t frame, int32_t length);
