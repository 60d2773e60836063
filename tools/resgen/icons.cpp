// The application icons: a small player seen from the front, a screen with a play triangle
// above a timecode readout of amber digits, on a slate-blue case with rounded corners. The same
// design is drawn at every size; the readout shows "12:34" where there is room for digits and
// lit segments where there is not.
#include "bitmaps.h"

namespace {

struct Palette {
    Rgb caseFace, caseEdge, caseLight, screen, play, playLight, readout, digit;
};

const Palette kTrueColours = {
    {58, 72, 96}, {24, 30, 42}, {110, 130, 160}, {0, 0, 0},
    {66, 154, 252}, {200, 230, 255}, {16, 16, 16}, {255, 190, 40},
};

// Picked from the 16 standard colours so that the 4-bit images keep the design's contrast.
const Palette kSixteenColours = {
    {128, 128, 128}, {0, 0, 0}, {192, 192, 192}, {0, 0, 0},
    {0, 255, 255}, {255, 255, 255}, {0, 0, 0}, {255, 255, 0},
};

// Digits three pixels wide and five high, one string per row, '#' lit.
const char *const kDigitRows[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", ".##", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
};

// Where the parts of the design lie at one size (inclusive pixel rectangles).
struct Layout {
    int size;
    int corner;                                             // pixels cut at each case corner
    int screenLeft, screenTop, screenRight, screenBottom;
    int readoutLeft, readoutTop, readoutRight, readoutBottom;
    int digitScale;                                         // 0: lit segments instead of digits
};

const Layout kLayouts[] = {
    {16, 1, 2, 2, 13, 8, 2, 10, 13, 13, 0},
    {32, 2, 3, 3, 28, 17, 3, 20, 28, 28, 1},
    {48, 3, 4, 4, 43, 25, 4, 29, 43, 43, 1},
};

const Layout &LayoutFor(int size)
{
    for (const Layout &l : kLayouts)
        if (l.size == size)
            return l;
    return kLayouts[0];
}

void CaseWithRoundedCorners(Canvas &c, const Layout &l, const Palette &p)
{
    int last = l.size - 1;
    c.Fill(0, 0, last, last, p.caseFace);
    c.Outline(0, 0, last, last, p.caseEdge);
    c.Fill(1, 1, last - 1, 1, p.caseLight);  // light catching the top edge
    for (int i = 0; i < l.corner; ++i) {
        for (int j = 0; j + i < l.corner; ++j) {
            c.MakeTransparent(i, j);
            c.MakeTransparent(last - i, j);
            c.MakeTransparent(i, last - j);
            c.MakeTransparent(last - i, last - j);
        }
    }
}

// A right-pointing triangle centred in the screen, with a lighter upper edge.
void ScreenWithPlay(Canvas &c, const Layout &l, const Palette &p)
{
    c.Fill(l.screenLeft, l.screenTop, l.screenRight, l.screenBottom, p.screen);
    int innerHeight = l.screenBottom - l.screenTop - 1;
    int half = innerHeight / 2 - (l.size > 16 ? 1 : 0);
    int middleY = (l.screenTop + l.screenBottom) / 2;
    int left = (l.screenLeft + l.screenRight) / 2 - half / 2;
    for (int step = 0; step <= half; ++step) {
        c.Fill(left + step, middleY - half + step, left + step, middleY + half - step, p.play);
        c.Set(left + step, middleY - half + step, p.playLight);
    }
}

void Digit(Canvas &c, int digit, int x, int y, int scale, Rgb colour)
{
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
            if (kDigitRows[digit][row][col] == '#')
                c.Fill(x + col * scale, y + row * scale, x + (col + 1) * scale - 1,
                       y + (row + 1) * scale - 1, colour);
}

// "12:34" centred in the readout, or at 16 pixels two pairs of lit segments around a colon.
void Readout(Canvas &c, const Layout &l, const Palette &p)
{
    c.Fill(l.readoutLeft, l.readoutTop, l.readoutRight, l.readoutBottom, p.readout);
    int middleY = (l.readoutTop + l.readoutBottom) / 2;
    if (l.digitScale == 0) {
        const int segments[] = {3, 5, 10, 12};
        for (int x : segments)
            c.Fill(x, middleY - 1, x + 1, middleY, p.digit);
        c.Set(7, middleY - 1, p.digit);
        c.Set(8, middleY, p.digit);
        return;
    }
    const int digits[] = {1, 2, 3, 4};
    int s = l.digitScale;
    int width = 4 * 3 * s + 3 * s + 2 * s + s;  // four digits, three gaps, the colon column
    int x = (l.readoutLeft + l.readoutRight + 1 - width) / 2;
    int y = middleY - (5 * s) / 2;
    for (int i = 0; i < 4; ++i) {
        Digit(c, digits[i], x, y, s, p.digit);
        x += 4 * s;
        if (i == 1) {
            c.Fill(x, y + s, x + s - 1, y + 2 * s - 1, p.digit);
            c.Fill(x, y + 3 * s, x + s - 1, y + 4 * s - 1, p.digit);
            x += 2 * s;
        }
    }
}

Canvas PlayerIcon(int size, int bitsPerPixel)
{
    const Layout &l = LayoutFor(size);
    const Palette &p = bitsPerPixel == 4 ? kSixteenColours : kTrueColours;
    Canvas c(l.size, l.size, p.caseFace);
    CaseWithRoundedCorners(c, l, p);
    ScreenWithPlay(c, l, p);
    Readout(c, l, p);
    return c;
}

}  // namespace

bool WriteIcons(const std::string &folder)
{
    const int kSixteenColourBits = 4, kTrueColourBits = 24;
    std::vector<IconImage> appl;
    const int images[][2] = {{16, kSixteenColourBits}, {32, kSixteenColourBits}, {16, kTrueColourBits},
                             {32, kTrueColourBits},     {48, kTrueColourBits}};
    for (const auto &image : images)
        appl.push_back({PlayerIcon(image[0], image[1]), image[1]});
    std::vector<IconImage> small = {{PlayerIcon(16, kSixteenColourBits), kSixteenColourBits}};
    bool ok = WriteIco(folder + "/APPL.ico", appl);
    return WriteIco(folder + "/APPLSM.ico", small) && ok;
}
