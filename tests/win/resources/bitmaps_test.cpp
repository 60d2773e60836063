// Every bitmap of the program, loaded from the module's resources and checked against its
// description: sizes, frames, faces, and where and in which colour each image's symbol stands.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

const COLORREF kFrame = RGB(127, 127, 127);
const COLORREF kFace = RGB(207, 207, 207);
const COLORREF kDark = RGB(38, 38, 38);
const COLORREF kBlue = RGB(66, 154, 252);
const COLORREF kGrey = RGB(123, 123, 123);
const int kImageHeight = 16;

struct Image {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<COLORREF> colours;
    COLORREF At(int x, int y) const { return colours[y * width + x]; }
};

Image LoadFromResources(const char *name)
{
    Image image;
    HBITMAP bitmap = (HBITMAP)LoadImageA(GetModuleHandleA(NULL), name, IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION);
    if (!bitmap)
        return image;
    DIBSECTION dib;
    GetObjectA(bitmap, sizeof dib, &dib);
    image.width = dib.dsBm.bmWidth;
    image.height = dib.dsBm.bmHeight;
    image.bitsPerPixel = dib.dsBm.bmBitsPixel;

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.width;
    bi.bmiHeader.biHeight = -image.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits(image.width * image.height);
    HDC dc = GetDC(NULL);
    GetDIBits(dc, bitmap, 0, image.height, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    DeleteObject(bitmap);
    for (DWORD v : bits)
        image.colours.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    return image;
}

std::string Hex(COLORREF c)
{
    char text[32];
    snprintf(text, sizeof text, "RGB(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// Every pixel against a function of its position.
void ExpectPixels(const Image &image, const char *name,
                  const std::function<COLORREF(int, int)> &expected)
{
    int wrong = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y) != expected(x, y) && ++wrong <= 5)
                ADD_FAILURE() << name << " at " << x << "," << y << ": " << Hex(image.At(x, y))
                              << ", expected " << Hex(expected(x, y));
    EXPECT_EQ(0, wrong) << name;
}

struct Box {
    int left, top, right, bottom;  // inclusive
    bool operator==(const Box &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Button {
    const char *name;
    int width;
    Box symbol;
    COLORREF colours[4];  // of the symbol in images 1 to 4
};

const Button kButtons[] = {
    {IDB_PLAY, 64, {30, 2, 35, 12}, {kDark, kDark, kBlue, kGrey}},
    {IDB_STOP, 24, {7, 5, 17, 10}, {kDark, kBlue, kBlue, kGrey}},
    {IDB_REW, 24, {7, 3, 15, 11}, {kDark, kBlue, kBlue, kGrey}},
    {IDB_FF, 24, {8, 3, 17, 11}, {kDark, kBlue, kBlue, kGrey}},
    {IDB_EJECT, 24, {7, 5, 16, 9}, {kDark, kDark, kDark, kGrey}},
};

// One 16-row image of a button, in its own coordinates.
struct ImageView {
    const Image &image;
    int top;
    COLORREF At(int x, int y) const { return image.At(x, top + y); }
};

// The first and last column of the symbol in one row, -1 when the row has none.
std::pair<int, int> SymbolSpan(const ImageView &view, int width, int row, COLORREF symbol)
{
    int first = -1, last = -1;
    for (int x = 0; x < width; ++x)
        if (view.At(x, row) == symbol) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

TEST(Bitmaps, ButtonsAreFourFramedImagesWithTheirSymbols)
{
    for (const Button &b : kButtons) {
        Image image = LoadFromResources(b.name);
        ASSERT_EQ(b.width, image.width) << b.name;
        ASSERT_EQ(4 * kImageHeight, image.height) << b.name;
        EXPECT_EQ(24, image.bitsPerPixel) << b.name;
        for (int n = 0; n < 4; ++n) {
            SCOPED_TRACE(std::string(b.name) + " image " + std::to_string(n + 1));
            ImageView view{image, n * kImageHeight};
            int shift = n == 1 ? 1 : 0;  // the pressed image moves the symbol right and down
            COLORREF symbol = b.colours[n];
            Box found = {b.width, kImageHeight, -1, -1};
            for (int y = 0; y < kImageHeight; ++y) {
                for (int x = 0; x < b.width; ++x) {
                    COLORREF c = view.At(x, y);
                    bool border = x == 0 || y == 0 || x == b.width - 1 || y == kImageHeight - 1;
                    if (border) {
                        EXPECT_EQ(kFrame, c) << x << "," << y;
                    } else if (c != kFace) {
                        EXPECT_EQ(symbol, c) << x << "," << y;
                        found = {std::min(found.left, x), std::min(found.top, y),
                                 std::max(found.right, x), std::max(found.bottom, y)};
                    }
                }
            }
            Box expected = {b.symbol.left + shift, b.symbol.top + shift, b.symbol.right + shift,
                            b.symbol.bottom + shift};
            EXPECT_TRUE(expected == found) << "symbol in columns " << found.left << "-" << found.right
                                           << ", rows " << found.top << "-" << found.bottom;
        }
    }
}

// The shapes, checked on the first image: which way each symbol points.
TEST(Bitmaps, SymbolShapes)
{
    Image play = LoadFromResources(IDB_PLAY);
    ASSERT_EQ(64, play.width);
    ImageView playView{play, 0};
    for (int row = 2; row <= 12; ++row)
        EXPECT_EQ(kDark, playView.At(30, row)) << "play's left edge, row " << row;
    EXPECT_EQ(kDark, playView.At(35, 7)) << "play's tip";
    EXPECT_EQ(kFace, playView.At(35, 6));
    EXPECT_EQ(kFace, playView.At(35, 8));

    Image stop = LoadFromResources(IDB_STOP);
    ASSERT_EQ(24, stop.width);
    for (int y = 5; y <= 10; ++y)
        for (int x = 7; x <= 17; ++x)
            EXPECT_EQ(kDark, stop.At(x, y)) << "stop is filled at " << x << "," << y;

    Image rewind = LoadFromResources(IDB_REW), forward = LoadFromResources(IDB_FF);
    ASSERT_EQ(24, rewind.width);
    ASSERT_EQ(24, forward.width);
    ImageView rew{rewind, 0}, ff{forward, 0};
    EXPECT_EQ(7, SymbolSpan(rew, 24, 7, kDark).first) << "rewind points left";
    EXPECT_GT(SymbolSpan(rew, 24, 3, kDark).first, 7);
    EXPECT_GT(SymbolSpan(rew, 24, 11, kDark).first, 7);
    EXPECT_EQ(17, SymbolSpan(ff, 24, 7, kDark).second) << "fast forward points right";
    EXPECT_LT(SymbolSpan(ff, 24, 3, kDark).second, 17);
    EXPECT_LT(SymbolSpan(ff, 24, 11, kDark).second, 17);

    Image eject = LoadFromResources(IDB_EJECT);
    ASSERT_EQ(24, eject.width);
    ImageView ej{eject, 0};
    EXPECT_EQ(std::make_pair(7, 16), SymbolSpan(ej, 24, 9, kDark)) << "eject's base";
    auto top = SymbolSpan(ej, 24, 5, kDark);
    EXPECT_GT(top.first, 7) << "eject points up";
    EXPECT_LT(top.second, 16);
}

TEST(Bitmaps, TrackerGroove)
{
    Image track = LoadFromResources(IDB_TRACK);
    ASSERT_EQ(26, track.width);
    ASSERT_EQ(16, track.height);
    EXPECT_EQ(24, track.bitsPerPixel);
    ExpectPixels(track, IDB_TRACK, [](int x, int y) {
        if (x == 0 || y == 0 || x == 25 || y == 15)
            return kFrame;
        if (x >= 5 && x <= 20 && y >= 5 && y <= 10)
            return x == 5 || x == 20 || y == 5 || y == 10 ? RGB(192, 192, 192) : RGB(219, 219, 219);
        return kFace;
    });
}

TEST(Bitmaps, TrackerKnobs)
{
    Image knob = LoadFromResources(IDB_KNOB);
    ASSERT_EQ(20, knob.width);
    ASSERT_EQ(12, knob.height);
    EXPECT_EQ(24, knob.bitsPerPixel);
    const COLORREF outline = RGB(72, 72, 72), corner = RGB(192, 192, 192);
    ExpectPixels(knob, IDB_KNOB, [&](int x, int y) {
        COLORREF face = x < 10 ? RGB(185, 185, 185) : kBlue;
        int column = x % 10;
        if (y == 0 || y == 11)
            return column == 0 || column == 9 ? corner : outline;
        if (y == 1 || y == 10)
            return column < 2 || column > 7 ? outline : face;
        return column == 0 || column == 9 ? outline : face;
    });
}

}  // namespace
