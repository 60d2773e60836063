// Where the Player window puts its controls for a client size. Pure: no window is touched.
#pragma once

struct ControlPlace {
    int id;
    int x, y, width, height;
    bool sized;  // moved and sized (repainted); otherwise moved only, keeping its size
};

#include "platform/quorvel.h"  // the video band the engine fills

enum {
    LAYOUT_CONTROL_COUNT = 8,
    CONTROL_ROW_HEIGHT = 18,  // the row's top is this far above the bottom
    VIDEO_TOP = QUORVEL_VIDEO_TOP,
    VIDEO_BOTTOM_MARGIN = QUORVEL_VIDEO_BOTTOM_MARGIN,
    MIN_TRACK_WIDTH = 340,
    MIN_TRACK_HEIGHT = 90,
};

// The controls in the order they are placed; widths and heights below zero are taken as zero
// (a minimised window has a client area of 0 x 0).
void LayoutPlayerControls(int clientWidth, int clientHeight,
                          ControlPlace places[LAYOUT_CONTROL_COUNT]);
