#include "tests/support/picture.h"

#include <string.h>

namespace {

const int CODE_BITS = 16;
const int GREY_LOW = 80, GREY_HIGH = 180;  // the clip's background below the code
const int WHITE_LEVEL = 128;

}  // namespace

Capture CaptureRect(HDC dc, const RECT &rect)
{
    Capture c;
    c.width = rect.right - rect.left;
    c.height = rect.bottom - rect.top;
    if (c.width <= 0 || c.height <= 0)
        return c;
    c.pixels.resize((size_t)c.width * c.height);
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = c.width;
    bi.bmiHeader.biHeight = -c.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, c.width, c.height, dc, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    memcpy(c.pixels.data(), bits, c.pixels.size() * 4);
    for (COLORREF &p : c.pixels)  // BGRA in memory: make it a COLORREF
        p = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return c;
}

int FrameInPicture(const Capture &c)
{
    if (c.width < 2 * CODE_BITS || c.height < 24)
        return -1;
    int grey = c.Luma(c.width / 40, c.height * 5 / 12);
    if (grey < GREY_LOW || grey > GREY_HIGH)
        return -1;
    int frame = 0;
    int y = c.height / 12;
    for (int bit = 0; bit < CODE_BITS; bit++) {
        int x = (2 * bit + 1) * c.width / (2 * CODE_BITS);
        if (c.Luma(x, y) > WHITE_LEVEL)
            frame |= 1 << bit;
    }
    return frame;
}
