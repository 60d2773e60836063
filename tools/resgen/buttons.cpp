// The transport buttons' bitmaps and the Tracker's groove and knob.
//
// A button bitmap is four images of 16 rows stacked from top to bottom, one per look of the
// skinned button; each has a one-pixel frame around a flat face and the button's symbol:
//   image 1  the symbol in dark grey (normal)
//   image 2  the symbol one pixel right and down (pressed), blue or dark grey per button
//   image 3  the symbol in place, blue or dark grey per button (checked / hot)
//   image 4  the symbol in place in mid grey (disabled)
#include "bitmaps.h"

#include <cstdlib>

namespace {

const Rgb kFrame = {127, 127, 127};
const Rgb kFace = {207, 207, 207};
const Rgb kDarkGrey = {38, 38, 38};
const Rgb kBlue = {66, 154, 252};
const Rgb kDisabledGrey = {123, 123, 123};

const int kImageHeight = 16;
const int kImagesPerButton = 4;
const int kPlayWidth = 64;
const int kSmallButtonWidth = 24;

// Symbols are drawn at an image's top-left corner (ox, oy) in image coordinates.
typedef void (*SymbolFn)(Canvas &c, int ox, int oy, Rgb colour);

// Right-pointing triangle, columns 30-35, rows 2-12: column 30 is the full height, each column
// to the right one row shorter at both ends, the tip at column 35, row 7.
void PlaySymbol(Canvas &c, int ox, int oy, Rgb colour)
{
    for (int step = 0; step <= 5; ++step)
        c.Fill(ox + 30 + step, oy + 2 + step, ox + 30 + step, oy + 12 - step, colour);
}

// Filled rectangle, columns 7-17, rows 5-10.
void StopSymbol(Canvas &c, int ox, int oy, Rgb colour)
{
    c.Fill(ox + 7, oy + 5, ox + 17, oy + 10, colour);
}

// A chevron of strokes two pixels wide whose tip is at row 7; the arms reach rows 3 and 11
// four columns away from the tip. direction -1 points left, +1 right; tip is the outermost
// column of the tip.
void Chevron(Canvas &c, int ox, int oy, int tip, int direction, Rgb colour)
{
    const int tipRow = 7;
    for (int row = 3; row <= 11; ++row) {
        int away = std::abs(row - tipRow);
        int x = tip - direction * away;
        c.Set(ox + x, oy + row, colour);
        c.Set(ox + x - direction, oy + row, colour);
    }
}

// Two left-pointing chevrons, columns 7-15, rows 3-11.
void RewindSymbol(Canvas &c, int ox, int oy, Rgb colour)
{
    Chevron(c, ox, oy, 7, -1, colour);
    Chevron(c, ox, oy, 10, -1, colour);
}

// Two right-pointing chevrons, columns 8-17, rows 3-11.
void ForwardSymbol(Canvas &c, int ox, int oy, Rgb colour)
{
    Chevron(c, ox, oy, 13, +1, colour);
    Chevron(c, ox, oy, 17, +1, colour);
}

// Upward triangle, columns 7-16, rows 5-9: two pixels at the top, one more at each side per row.
void EjectSymbol(Canvas &c, int ox, int oy, Rgb colour)
{
    for (int step = 0; step <= 4; ++step)
        c.Fill(ox + 11 - step, oy + 5 + step, ox + 12 + step, oy + 5 + step, colour);
}

struct ButtonLook {
    const char *name;
    int width;
    SymbolFn symbol;
    Rgb pressed;  // image 2
    Rgb checked;  // image 3
};

const ButtonLook kButtons[] = {
    {"B_PLAY", kPlayWidth, PlaySymbol, kDarkGrey, kBlue},
    {"B_STOP", kSmallButtonWidth, StopSymbol, kBlue, kBlue},
    {"B_REW", kSmallButtonWidth, RewindSymbol, kBlue, kBlue},
    {"B_FF", kSmallButtonWidth, ForwardSymbol, kBlue, kBlue},
    {"B_EJECT", kSmallButtonWidth, EjectSymbol, kDarkGrey, kDarkGrey},
};

Canvas ButtonBitmap(const ButtonLook &look)
{
    Canvas c(look.width, kImageHeight * kImagesPerButton, kFace);
    for (int image = 0; image < kImagesPerButton; ++image) {
        int top = image * kImageHeight;
        c.Outline(0, top, look.width - 1, top + kImageHeight - 1, kFrame);
    }
    look.symbol(c, 0, 0 * kImageHeight, kDarkGrey);
    look.symbol(c, 1, 1 * kImageHeight + 1, look.pressed);
    look.symbol(c, 0, 2 * kImageHeight, look.checked);
    look.symbol(c, 0, 3 * kImageHeight, kDisabledGrey);
    return c;
}

// Groove: frame and face as the buttons, a channel in rows 5-10 from column 5 to column 20.
// The Tracker draws columns 0-7 as its left end, stretches 8-15 and draws 18-25 as its right end.
Canvas TrackBitmap()
{
    const Rgb kGrooveOutline = {192, 192, 192};
    const Rgb kGrooveInside = {219, 219, 219};
    Canvas c(26, 16, kFace);
    c.Outline(0, 0, 25, 15, kFrame);
    c.Fill(5, 5, 20, 10, kGrooveInside);
    c.Outline(5, 5, 20, 10, kGrooveOutline);
    return c;
}

// One 10 x 12 knob at column left: a rounded rectangle outlined in dark grey, its four corner
// pixels in the light grey of the panel around it.
void Knob(Canvas &c, int left, Rgb face)
{
    const Rgb kKnobOutline = {72, 72, 72};
    const Rgb kCorner = {192, 192, 192};
    const int right = left + 9, bottom = 11;
    c.Fill(left, 0, right, bottom, kKnobOutline);
    c.Fill(left + 1, 2, right - 1, bottom - 2, face);   // rows 2-9: 1 outline, 8 face, 1 outline
    c.Fill(left + 2, 1, right - 2, 1, face);            // row 1: 2 outline, 6 face, 2 outline
    c.Fill(left + 2, bottom - 1, right - 2, bottom - 1, face);
    c.Set(left, 0, kCorner);
    c.Set(right, 0, kCorner);
    c.Set(left, bottom, kCorner);
    c.Set(right, bottom, kCorner);
}

// Normal knob in columns 0-9, the knob of a focused Tracker in columns 10-19.
Canvas KnobBitmap()
{
    Canvas c(20, 12, kFace);
    Knob(c, 0, Rgb{185, 185, 185});
    Knob(c, 10, kBlue);
    return c;
}

}  // namespace

bool WriteButtonAndTrackerBitmaps(const std::string &folder)
{
    bool ok = true;
    for (const ButtonLook &look : kButtons)
        ok = WriteBmp24(folder + "/" + look.name + ".bmp", ButtonBitmap(look)) && ok;
    ok = WriteBmp24(folder + "/HPARAMETER.bmp", TrackBitmap()) && ok;
    ok = WriteBmp24(folder + "/HPARAMETERKNOP.bmp", KnobBitmap()) && ok;
    return ok;
}
