// The frame number a test clip carries in its picture, read back from what is on screen: 16
// blocks across the top sixth, white for a set bit, bit 0 on the left, over a mid-grey picture.
#pragma once

#include <windows.h>

#include <vector>

struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    int Luma(int x, int y) const
    {
        COLORREF p = pixels[(size_t)y * width + x];
        return (GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3;
    }
};

// The pixels of rect (in dc's coordinates) of a device context: a window's, or the screen's.
Capture CaptureRect(HDC dc, const RECT &rect);
// The number in a captured picture, -1 when it shows no numbered picture.
int FrameInPicture(const Capture &capture);
