// Process-wide state of the custom controls, used from the user-interface thread only.
#pragma once

#include <windows.h>

struct ControlsGlobals {
    // Module the Tracker loads its bitmaps from; set by RegisterControlClasses.
    HINSTANCE instance;
    // 1 from a left-button press on any Tracker to the next left-button release on a Tracker;
    // mouse moves act only while it is set.
    int dragging;
};

extern ControlsGlobals Controls;
