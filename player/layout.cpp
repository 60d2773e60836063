#include "player/layout.h"

#include "resources/resource.h"

static int AtLeastZero(int n)
{
    return n < 0 ? 0 : n;
}

void LayoutPlayerControls(int w, int h, ControlPlace places[LAYOUT_CONTROL_COUNT])
{
    int y0 = h - CONTROL_ROW_HEIGHT;
    const ControlPlace layout[LAYOUT_CONTROL_COUNT] = {
        {IDC_VIDEO, 0, VIDEO_TOP, AtLeastZero(w), AtLeastZero(h - VIDEO_TOP - VIDEO_BOTTOM_MARGIN), true},
        {IDC_PLAY, 2, y0, 0, 0, false},
        {IDC_STOP, 68, y0, 0, 0, false},
        {IDC_REWIND, 94, y0, 0, 0, false},
        {IDC_FORWARD, 120, y0, 0, 0, false},
        {IDC_TRACKER, 148, y0, AtLeastZero(w - 270), 16, true},
        {IDC_TCDISPLAY, w - 118, y0, 88, 16, true},
        {IDC_MENU, w - 27, y0, 0, 0, false},
    };
    for (int i = 0; i < LAYOUT_CONTROL_COUNT; i++)
        places[i] = layout[i];
}
