// The Tracker's geometry: where the knob of a value stands and which value a pointer position
// means, for a client width W whose usable track runs from x = 5 to x = W - 5. Pure functions,
// computed in floating point and truncated toward zero; results are the 16-bit words the
// control stores.
#pragma once

#include <cstdint>

const int kTrackerMargin = 5;  // the knob's half width: the track's first and last usable x

// trunc((value - minimum) * (W - 10) / (maximum - minimum)) + 5; an empty range puts the knob
// at 5.
int16_t TrackerKnobPosition(int value, int minimum, int maximum, int width);

// The pointer x limited to 5..W - 5 (the upper limit first, so a track narrower than 10 pixels
// gives 5).
int TrackerClampPointer(int x, int width);

// trunc((x - 5) * (maximum - minimum) / (W - 10) + 0.5) + minimum for x clamped into the track,
// i.e. rounded half up; a usable track of 0 pixels or less gives the minimum.
int16_t TrackerValueAt(int x, int minimum, int maximum, int width);

// Below the minimum gives the minimum; then above the maximum gives the maximum.
int16_t TrackerClampValue(int value, int minimum, int maximum);

// Leading white space, an optional sign, decimal digits up to the first non-digit; no digits
// read as 0. The result keeps the low 16 bits of the number.
int16_t ParseDecimalWord(const char *text);
