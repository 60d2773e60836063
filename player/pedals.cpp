// The feet: the hold-to-play key and the USB pedal's buttons. Both go through one account of
// what is held (pedal/pedal.h), so a key and a pedal held together each do their part and a
// release ends only what its own press began.
#include "player/player.h"

#include "app/app.h"
#include "pedal/pedal.h"
#include "pedal/reader.h"
#include "platform/quorvel.h"
#include "resources/resource.h"
#include "settings/settings.h"

// What the feet hold and do, in one place.
static struct {
    PedalHold hold;
    int actions[PEDAL_SOURCE_COUNT];  // left, middle, right, the key
    int holdToPlayKey;                // virtual-key code, 0 = none
    char device[PEDAL_DEVICE_READ_SIZE];  // the Device text the reader reads with
} Feet = {{0, -1, false},
          {PEDAL_REWIND, PEDAL_HOLD_TO_PLAY, PEDAL_FAST_FORWARD, PEDAL_HOLD_TO_PLAY},
          0,
          ""};

int HoldToPlayKey(void)
{
    return Feet.holdToPlayKey;
}

void ReadHoldToPlayKey(void)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_HOLD_TO_PLAY_HOTKEY, DEFAULT_HOLD_TO_PLAY_HOTKEY, text,
                sizeof text);
    int key = WideHotKeyFromName(text, Feet.holdToPlayKey);
    // The release of a key no longer ours never comes: it holds nothing any more.
    if (key != Feet.holdToPlayKey)
        Feet.hold.held &= ~PEDAL_HOLD_KEY;
    Feet.holdToPlayKey = key;
}

static void ReadPedalActions(void)
{
    static const struct {
        const char *key, *fallback;
    } buttons[PEDAL_BUTTON_COUNT] = {
        {KEY_PEDAL_LEFT, DEFAULT_PEDAL_LEFT},
        {KEY_PEDAL_MIDDLE, DEFAULT_PEDAL_MIDDLE},
        {KEY_PEDAL_RIGHT, DEFAULT_PEDAL_RIGHT},
    };
    char text[PEDAL_ACTION_READ_SIZE];
    for (int i = 0; i < PEDAL_BUTTON_COUNT; i++) {
        ReadSetting(SECTION_PEDAL, buttons[i].key, buttons[i].fallback, text, sizeof text);
        Feet.actions[i] = PedalActionFromName(text, Feet.actions[i]);
    }
}

static void Do(HWND window, int command)
{
    switch (command) {
    case PEDAL_DO_PLAY: ResumePlay(window); break;
    case PEDAL_DO_PAUSE: PauseByUser(window); break;
    case PEDAL_DO_PLAY_ON:
        SetPlayState(window, PLAY_PLAYING);
        QuorvelControl(QUORVEL_PLAY, 0);
        break;
    case PEDAL_DO_TOGGLE: SendMessageA(window, WM_COMMAND, IDC_PLAY, 0); break;
    case PEDAL_DO_REWIND:
    case PEDAL_DO_FORWARD:
        SetPlayState(window, PLAY_WINDING);
        QuorvelControl(command == PEDAL_DO_REWIND ? QUORVEL_REWIND : QUORVEL_FORWARD, 0);
        break;
    case PEDAL_DO_JUMP_BACK: Jump(window, -1); break;
    case PEDAL_DO_JUMP_FORWARD: Jump(window, +1); break;
    case PEDAL_DO_TYPE_TIMECODE: TypeTimecode(); break;
    case PEDAL_DO_SLOWER: StepSpeed(window, -1); break;
    case PEDAL_DO_FASTER: StepSpeed(window, +1); break;
    default: break;
    }
}

static void ChangeHeld(HWND window, int held)
{
    int commands[PEDAL_COMMANDS_MOST];
    int count = PedalChange(&Feet.hold, held, Feet.actions, Player.playState == PLAY_PLAYING,
                            Player.playState == PLAY_WINDING, commands);
    for (int i = 0; i < count; i++)
        Do(window, commands[i]);
}

// Only the first key-down after a release comes here: the key hook drops the auto-repeat.
void PressHoldToPlayKey(HWND window)
{
    ChangeHeld(window, Feet.hold.held | PEDAL_HOLD_KEY);
}

void OnKeyHookRelease(HWND window, WPARAM key)
{
    if (key != 0 && (int)key == Feet.holdToPlayKey)
        ChangeHeld(window, Feet.hold.held & ~PEDAL_HOLD_KEY);
}

// A pedal pulled out holds nothing any more; the key may still be held.
void OnPedalButtons(HWND window, WPARAM held, LPARAM)
{
    ChangeHeld(window, (Feet.hold.held & PEDAL_HOLD_KEY) | ((int)held & PEDAL_BUTTONS));
}

// The reader is started again only when the Device text changed.
static void ReadPedalDevice(HWND window)
{
    char text[PEDAL_DEVICE_READ_SIZE];
    ReadSetting(SECTION_PEDAL, KEY_PEDAL_DEVICE, DEFAULT_PEDAL_DEVICE, text, sizeof text);
    if (Feet.device[0] && lstrcmpA(text, Feet.device) == 0)
        return;
    lstrcpynA(Feet.device, text, sizeof Feet.device);
    StartPedalReader(window, text);
    OnPedalButtons(window, 0, PEDAL_UNPLUGGED);  // the buttons of a pedal no more read
}

void StartPedal(HWND window)
{
    ReadHoldToPlayKey();
    ReadPedalActions();
    ReadPedalDevice(window);
}

// At the end: nothing more is done for what was held.
void StopPedal(void)
{
    StopPedalReader();
    ResetPedalHold(&Feet.hold);
    Feet.device[0] = '\0';
}

// The dialog writes [Pedal]; what it wrote takes effect at once.
void ChoosePedal(HWND window)
{
    PedalChoice choice = {};
    choice.holdToPlayKey = Feet.holdToPlayKey;
    if (DialogBoxParamA(App.instance, IDD_PEDAL, window, PedalDlgProc, (LPARAM)&choice) != 1)
        return;
    ReadPedalActions();
    ReadPedalDevice(window);
}
