// Writes the bitmap the skin tests give their OG_BMBUTTON: 16 x 64 pixels, 24-bit, four images
// of 16 x 16 stacked from top to bottom, each one solid colour, so a test can tell from a single
// pixel which image a button shows.
#include <cstdint>
#include <cstdio>

namespace {

const int kWidth = 16;
const int kImageHeight = 16;
const int kImages = 4;
const int kHeight = kImageHeight * kImages;
// Top to bottom: normal, pressed, active, greyed. Kept equal to the colours in skin_test.h.
const uint8_t kColours[kImages][3] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}, {128, 128, 128}};

void Put16(FILE *out, uint16_t value)
{
    fputc(value & 0xFF, out);
    fputc(value >> 8, out);
}

void Put32(FILE *out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_test_bitmap OUT.bmp\n");
        return 2;
    }
    FILE *out = fopen(argv[1], "wb");
    if (!out) return 1;
    const uint32_t rowBytes = kWidth * 3;  // 48: already a multiple of 4
    const uint32_t headers = 14 + 40;
    fputc('B', out);
    fputc('M', out);
    Put32(out, headers + rowBytes * kHeight);
    Put32(out, 0);
    Put32(out, headers);
    Put32(out, 40);        // BITMAPINFOHEADER
    Put32(out, kWidth);
    Put32(out, kHeight);   // positive: rows are stored bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);         // BI_RGB
    Put32(out, rowBytes * kHeight);
    Put32(out, 2835);      // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int row = kHeight - 1; row >= 0; --row) {
        const uint8_t *rgb = kColours[row / kImageHeight];
        for (int x = 0; x < kWidth; ++x) {
            fputc(rgb[2], out);  // stored blue, green, red
            fputc(rgb[1], out);
            fputc(rgb[0], out);
        }
    }
    return fclose(out) == 0 ? 0 : 1;
}
