// The two system-wide hot keys: start/stop toggles playback, the TC hot key types the timecode
// into whatever window has the keyboard focus.
#include "player/player.h"

#include "player/keystrokes.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

// The separator is looked up in the keyboard layout of the window that receives the keys: Shift
// and the period key give ':' only on layouts such as German; on US and many others they give
// '>', so the user would read "01>02>03>04".
static HKL ForegroundLayout(void)
{
    DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), NULL);
    return GetKeyboardLayout(thread);
}

// Drop-frame timecodes have ';' before the frames; a layout without that key types ':' there.
static SeparatorChord DropFrameSeparator(HKL layout, SeparatorChord colon)
{
    SHORT scan = VkKeyScanExA(';', layout);
    if (scan == -1 || (scan & 0xFF) == 0xFF)
        return colon;
    return SeparatorChordFromScan(scan);
}

static void TypeTimecode(void)
{
    int32_t frames = UnpackTimecode(Player.currentTimecode, Player.timecodeFormat);
    char tc[TIMECODE_BUFFER_SIZE] = {0};
    FormatTimecode(tc, frames, Player.timecodeFormat);
    HKL layout = ForegroundLayout();
    SeparatorChord colon = SeparatorChordFromScan(VkKeyScanExA(':', layout));
    KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
    int count = TimecodeKeystrokes(tc, Player.showFramesMode, Player.appendSignMode, colon,
                                   DropFrameSeparator(layout, colon), strokes);
    for (int i = 0; i < count; i++)
        keybd_event(strokes[i].key, 0, strokes[i].up ? KEYEVENTF_KEYUP : 0, 0);
}

void OnKeyHookHotKey(HWND window, WPARAM key)
{
    if (key == 0)
        return;  // a disabled hot key has the code 0; no key has it
    if ((int)key == Player.startStopHotKey)
        SendMessageA(window, WM_COMMAND, IDC_PLAY, 0);
    if ((int)key == Player.tcHotKey)
        TypeTimecode();
}
