// A tiny pixel canvas for the program's bitmaps and icons, and the writers of the two file
// formats windres embeds: 24-bit BMP and ICO (4-bit and 24-bit images with an AND mask).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Canvas {
    Canvas(int width, int height, Rgb background);

    int width, height;
    std::vector<Rgb> pixels;       // row 0 at the top
    std::vector<bool> transparent;  // icons only: pixels the AND mask lets through

    Rgb &At(int x, int y) { return pixels[y * width + x]; }
    const Rgb &At(int x, int y) const { return pixels[y * width + x]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    void Set(int x, int y, Rgb colour);
    // Inclusive corners, as the pixel descriptions give them.
    void Fill(int left, int top, int right, int bottom, Rgb colour);
    void Outline(int left, int top, int right, int bottom, Rgb colour);
    void MakeTransparent(int x, int y);
};

// One image of an icon file: 4 bits a pixel (the 16 standard colours) or 24 bits a pixel.
struct IconImage {
    Canvas canvas;
    int bitsPerPixel;
};

bool WriteBmp24(const std::string &path, const Canvas &canvas);
bool WriteIco(const std::string &path, const std::vector<IconImage> &images);

// The 16 colours of a 4-bit icon and the index nearest to a colour.
extern const Rgb kStandardColours[16];
int NearestStandardColour(Rgb colour);
