#include "canvas.h"

#include <cstdio>

namespace {

const int kBmpFileHeaderSize = 14;
const int kInfoHeaderSize = 40;
const int kIconDirSize = 6;
const int kIconDirEntrySize = 16;
const uint16_t kBmpMagic = 0x4D42;  // "BM"
const uint16_t kIconType = 1;

class Bytes {
public:
    void U8(uint8_t v) { data.push_back(v); }
    void U16(uint16_t v)
    {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Pad4(size_t rowStart)
    {
        while ((data.size() - rowStart) % 4)
            U8(0);
    }
    std::vector<uint8_t> data;
};

int RowBytes(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

// BITMAPINFOHEADER; an icon image declares twice its height (colour rows, then mask rows).
void InfoHeader(Bytes &out, int width, int declaredHeight, int bitsPerPixel, uint32_t imageSize,
                uint32_t coloursUsed)
{
    out.U32(kInfoHeaderSize);
    out.U32(width);
    out.U32(declaredHeight);
    out.U16(1);  // planes
    out.U16(bitsPerPixel);
    out.U32(0);  // BI_RGB
    out.U32(imageSize);
    out.U32(2835);  // 72 dpi
    out.U32(2835);
    out.U32(coloursUsed);
    out.U32(0);
}

// Bottom-up rows of 24-bit pixels, blue first, each row padded to four bytes.
void Pixels24(Bytes &out, const Canvas &c)
{
    for (int y = c.height - 1; y >= 0; --y) {
        size_t rowStart = out.data.size();
        for (int x = 0; x < c.width; ++x) {
            const Rgb &p = c.At(x, y);
            out.U8(p.b);
            out.U8(p.g);
            out.U8(p.r);
        }
        out.Pad4(rowStart);
    }
}

void Pixels4(Bytes &out, const Canvas &c)
{
    for (int y = c.height - 1; y >= 0; --y) {
        size_t rowStart = out.data.size();
        for (int x = 0; x < c.width; x += 2) {
            int high = NearestStandardColour(c.At(x, y));
            int low = x + 1 < c.width ? NearestStandardColour(c.At(x + 1, y)) : 0;
            out.U8((uint8_t)(high << 4 | low));
        }
        out.Pad4(rowStart);
    }
}

// AND mask, one bit a pixel, set where the background shows through.
void Mask(Bytes &out, const Canvas &c)
{
    for (int y = c.height - 1; y >= 0; --y) {
        size_t rowStart = out.data.size();
        for (int x = 0; x < c.width; x += 8) {
            uint8_t bits = 0;
            for (int i = 0; i < 8 && x + i < c.width; ++i)
                if (c.transparent[y * c.width + x + i])
                    bits |= 0x80 >> i;
            out.U8(bits);
        }
        out.Pad4(rowStart);
    }
}

std::vector<uint8_t> IconImageBytes(const IconImage &image)
{
    const Canvas &c = image.canvas;
    Bytes out;
    bool fourBit = image.bitsPerPixel == 4;
    uint32_t size = RowBytes(c.width, image.bitsPerPixel) * c.height + RowBytes(c.width, 1) * c.height;
    InfoHeader(out, c.width, c.height * 2, image.bitsPerPixel, size, fourBit ? 16 : 0);
    if (fourBit) {
        for (const Rgb &colour : kStandardColours) {
            out.U8(colour.b);
            out.U8(colour.g);
            out.U8(colour.r);
            out.U8(0);
        }
        Pixels4(out, c);
    } else {
        Pixels24(out, c);
    }
    Mask(out, c);
    return out.data;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &data)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

const Rgb kStandardColours[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

int NearestStandardColour(Rgb colour)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        long dr = colour.r - kStandardColours[i].r;
        long dg = colour.g - kStandardColours[i].g;
        long db = colour.b - kStandardColours[i].b;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

Canvas::Canvas(int w, int h, Rgb background)
    : width(w), height(h), pixels(w * h, background), transparent(w * h, false)
{
}

void Canvas::Set(int x, int y, Rgb colour)
{
    if (!Inside(x, y))
        return;
    At(x, y) = colour;
    transparent[y * width + x] = false;
}

void Canvas::Fill(int left, int top, int right, int bottom, Rgb colour)
{
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            Set(x, y, colour);
}

void Canvas::Outline(int left, int top, int right, int bottom, Rgb colour)
{
    Fill(left, top, right, top, colour);
    Fill(left, bottom, right, bottom, colour);
    Fill(left, top, left, bottom, colour);
    Fill(right, top, right, bottom, colour);
}

void Canvas::MakeTransparent(int x, int y)
{
    if (!Inside(x, y))
        return;
    At(x, y) = Rgb{0, 0, 0};  // the XOR part of a transparent pixel stays black
    transparent[y * width + x] = true;
}

bool WriteBmp24(const std::string &path, const Canvas &canvas)
{
    Bytes pixels;
    Pixels24(pixels, canvas);
    Bytes out;
    uint32_t offset = kBmpFileHeaderSize + kInfoHeaderSize;
    out.U16(kBmpMagic);
    out.U32(offset + (uint32_t)pixels.data.size());
    out.U32(0);
    out.U32(offset);
    InfoHeader(out, canvas.width, canvas.height, 24, (uint32_t)pixels.data.size(), 0);
    out.data.insert(out.data.end(), pixels.data.begin(), pixels.data.end());
    return WriteFile(path, out.data);
}

bool WriteIco(const std::string &path, const std::vector<IconImage> &images)
{
    std::vector<std::vector<uint8_t>> bodies;
    for (const IconImage &image : images)
        bodies.push_back(IconImageBytes(image));

    Bytes out;
    out.U16(0);
    out.U16(kIconType);
    out.U16((uint16_t)images.size());
    uint32_t offset = kIconDirSize + kIconDirEntrySize * (uint32_t)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage &image = images[i];
        out.U8((uint8_t)image.canvas.width);  // 256 would be written as 0; ours are smaller
        out.U8((uint8_t)image.canvas.height);
        out.U8(image.bitsPerPixel == 4 ? 16 : 0);
        out.U8(0);
        out.U16(1);
        out.U16((uint16_t)image.bitsPerPixel);
        out.U32((uint32_t)bodies[i].size());
        out.U32(offset);
        offset += (uint32_t)bodies[i].size();
    }
    for (const std::vector<uint8_t> &body : bodies)
        out.data.insert(out.data.end(), body.begin(), body.end());
    return WriteFile(path, out.data);
}
