// The system-wide hot keys: start/stop toggles playback, the TC hot key types the timecode into
// whatever window has the keyboard focus, the jump keys move the position, the speed keys
// change the speed.
#include "player/player.h"

#include "platform/zentrixkey.h"
#include "player/keystrokes.h"
#include "player/stamps.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

// The program's own keys go past the key hook, which has nothing to watch in them.
UINT WINAPI SendOwnKeys(UINT count, INPUT *inputs, int size)
{
    (void)size;
    return SendKeysPastHook(inputs, count);
}

UINT(WINAPI *TypingSendInput)(UINT count, INPUT *inputs, int size) = SendOwnKeys;

// The hot keys in force stay ours: the key hook keeps them from the program in front.
void KeepHotKeys(void)
{
    DWORD keys[] = {(DWORD)Player.tcHotKey, (DWORD)Player.startStopHotKey,
                    (DWORD)Player.jumpBackHotKey, (DWORD)Player.jumpForwardHotKey,
                    (DWORD)Player.slowerHotKey, (DWORD)Player.fasterHotKey,
                    (DWORD)Player.loopHotKey, (DWORD)Stamps.locateHotKey,
                    (DWORD)HoldToPlayKey()};
    SetKeyHookKeys(keys, sizeof keys / sizeof keys[0]);
}

// Every character is looked up in the keyboard layout of the window that receives the keys:
// Shift and the period key give ':' only on layouts such as German (US gives "01>02>03>04"),
// French AZERTY has its digits on Shift, and German and French brackets need AltGr. A layout's answers are asked once and kept until
// another layout is in front: VkKeyScanExA takes about half a millisecond a character under
// Wine, which walks the whole keyboard for each.
enum { SCAN_UNKNOWN = -2 };  // not asked yet; VkKeyScanExA answers -1 at the least

static struct {
    bool asked;  // layout holds the layout of the answers
    HKL layout;
    int16_t scan[128];  // by character
} LayoutAnswers = {false, NULL, {}};

static int16_t ScanInLayout(uint16_t ch, void *layout)
{
    if (ch >= sizeof LayoutAnswers.scan / sizeof LayoutAnswers.scan[0])
        return VkKeyScanExW(ch, (HKL)layout);
    if (!LayoutAnswers.asked || LayoutAnswers.layout != (HKL)layout) {
        LayoutAnswers.asked = true;
        LayoutAnswers.layout = (HKL)layout;
        for (int16_t &scan : LayoutAnswers.scan)
            scan = SCAN_UNKNOWN;
    }
    int16_t &scan = LayoutAnswers.scan[ch];
    if (scan == SCAN_UNKNOWN)
        scan = VkKeyScanExW(ch, (HKL)layout);
    return scan;
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
        inputs[i].ki.dwFlags = strokes[i].up ? KEYEVENTF_KEYUP : 0;
        inputs[i].ki.dwExtraInfo = KEYHOOK_OWN_INPUT;
        if (strokes[i].key == 0) {  // the character itself, which needs no key
            inputs[i].ki.wScan = strokes[i].character;
            inputs[i].ki.dwFlags |= KEYEVENTF_UNICODE;
            continue;
        }
        inputs[i].ki.wScan = (WORD)MapVirtualKeyExA(strokes[i].key, MAPVK_VK_TO_VSC, layout);
    }
    if (count > 0)
        TypingSendInput((UINT)count, inputs, sizeof(INPUT));
}

void TypeTimecode(void)
{
    uint16_t text[TYPED_STAMP_SIZE];
    StampTypedText(text);
    HKL layout = ForegroundLayout();
    KeyStroke strokes[MAX_TIMECODE_KEYSTROKES];
    int count = TextKeystrokes(text, ScanInLayout, layout, strokes);
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
    if ((int)key == Player.jumpBackHotKey)
        Jump(window, -1);
    if ((int)key == Player.jumpForwardHotKey)
        Jump(window, +1);
    if ((int)key == Player.slowerHotKey)
        StepSpeed(window, -1);
    if ((int)key == Player.fasterHotKey)
        StepSpeed(window, +1);
    if ((int)key == Player.loopHotKey)
        ToggleLoop(window);
    if ((int)key == Stamps.locateHotKey)
        LocateFromStamp(window);
    if ((int)key == HoldToPlayKey())
        PressHoldToPlayKey(window);
}
