// The two system-wide hot keys: start/stop toggles playback, the TC hot key types the timecode
// into whatever window has the keyboard focus.
#include "player/player.h"

#include "platform/zentrixkey.h"
#include "player/keystrokes.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

UINT(WINAPI *TypingSendInput)(UINT count, INPUT *inputs, int size) = SendInput;

// The hot keys in force stay ours: the key hook keeps them from the program in front.
void KeepHotKeys(void)
{
    DWORD keys[] = {(DWORD)Player.tcHotKey, (DWORD)Player.startStopHotKey};
    SetKeyHookKeys(keys, sizeof keys / sizeof keys[0]);
}

// Every character is looked up in the keyboard layout of the window that receives the keys:
// Shift and the period key give ':' only on layouts such as German (US gives "01>02>03>04"),
// and French AZERTY has its digits on Shift.
static int16_t ScanInLayout(char ch, void *layout)
{
    return VkKeyScanExA(ch, (HKL)layout);
}

static HKL ForegroundLayout(void)
{
    return GetKeyboardLayout(GetWindowThreadProcessId(GetForegroundWindow(), NULL));
}

// One SendInput for the whole timecode, so that no key of the user's lands inside it. The extra
// information marks the keys as ours for the key hook.
static void SendKeystrokes(const KeyStroke *strokes, int count, HKL layout)
{
    INPUT inputs[MAX_TIMECODE_KEYSTROKES] = {};
    for (int i = 0; i < count; i++) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = strokes[i].key;
        inputs[i].ki.wScan = (WORD)MapVirtualKeyExA(strokes[i].key, MAPVK_VK_TO_VSC, layout);
        inputs[i].ki.dwFlags = strokes[i].up ? KEYEVENTF_KEYUP : 0;
        inputs[i].ki.dwExtraInfo = KEYHOOK_OWN_INPUT;
    }
    if (count > 0)
        TypingSendInput((UINT)count, inputs, sizeof(INPUT));
}

static void TypeTimecode(void)
{
    int32_t frames = UnpackTimecode(Player.currentTimecode, Player.timecodeRate);
    char tc[TIMECODE_BUFFER_SIZE] = {0};
    FormatTimecode(tc, frames, Player.timecodeRate);
    HKL layout = ForegroundLayout();
    KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
    int count = TimecodeKeystrokes(tc, Player.showFramesMode, Player.appendSignMode,
                                   ScanInLayout, layout, strokes);
    SendKeystrokes(strokes, count, layout);
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
