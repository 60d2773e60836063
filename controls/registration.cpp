// Registration of the two control classes, and the controls' process-wide state.
#include "controls/controls.h"
#include "controls/controls_state.h"

ControlsGlobals Controls = {NULL, 0};

namespace {

// No background brush: both controls paint their whole area themselves.
void RegisterControlClass(HINSTANCE instance, const char *name, UINT style, WNDPROC procedure,
                          int extraBytes)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

}  // namespace

BOOL RegisterControlClasses(HINSTANCE instance)
{
    Controls.instance = instance;
    RegisterControlClass(instance, TRACKER_CLASS, CS_GLOBALCLASS | CS_DBLCLKS, TrackerProc,
                         TRACKER_EXTRA_BYTES);
    RegisterControlClass(instance, TCDISPLAY_CLASS, CS_GLOBALCLASS, TCDisplayProc,
                         TCDISPLAY_EXTRA_BYTES);
    return TRUE;
}

BOOL UnregisterControlClasses(HINSTANCE instance)
{
    UnregisterClassA(TRACKER_CLASS, instance);
    UnregisterClassA(TCDISPLAY_CLASS, instance);
    return TRUE;
}
