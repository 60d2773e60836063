#include "player/seek.h"

int32_t FramesForSeconds(double seconds, int rate)
{
    double frames = seconds * rate;
    return (int32_t)(frames < 0 ? frames - 0.5 : frames + 0.5);
}

int32_t ResumeFrame(int32_t pausedFrame, int32_t rewindFrames)
{
    int64_t frame = (int64_t)pausedFrame - rewindFrames;
    return frame < 0 ? 0 : (int32_t)frame;
}

int SliderValueOfFrame(int32_t frame, int32_t length)
{
    const int64_t FULL = 100;
    if (length <= 1 || frame <= 0)
        return 0;
    if (frame >= length - 1)
        return (int)FULL;
    return (int)(((int64_t)frame * FULL + (length - 1) / 2) / (length - 1));
}

int32_t JumpFrame(int32_t frame, int32_t delta, int32_t length)
{
    int64_t target = (int64_t)frame + delta;
    int64_t last = length > 0 ? (int64_t)length - 1 : INT32_MAX;
    if (target > last)
        target = last;
    return target < 0 ? 0 : (int32_t)target;
}
