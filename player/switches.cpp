// The working day's switches of the [Playback] section: the Player window above the document,
// the slider that follows the position, and the loop key.
#include "player/player.h"

#include <stdio.h>

#include "controls/controls.h"
#include "platform/quorvel.h"
#include "player/seek.h"
#include "resources/resource.h"
#include "settings/settings.h"

static bool ReadSwitch(const char *key)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, DEFAULT_NO, text, sizeof text);
    return SwitchFromText(text);
}

// Above the other windows without being activated: the program in front keeps the keyboard.
// (Wine 8 does not take a window out of the topmost band again once it is in it, whatever the
// request; the switch back then takes effect at the next start.)
static void PlaceOnTop(HWND window)
{
    SetWindowPos(window, Player.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ReadWorkingDaySettings(HWND window)
{
    Player.alwaysOnTop = ReadSwitch(KEY_ALWAYS_ON_TOP);
    PlaceOnTop(window);
    Player.sliderFollows = ReadSwitch(KEY_SLIDER_FOLLOWS);
    Player.loopHotKey = ReadWidePlaybackHotKey(KEY_LOOP_HOTKEY, DEFAULT_LOOP_HOTKEY, Player.loopHotKey);
    KeepHotKeys();
}

void ToggleAlwaysOnTop(HWND window)
{
    Player.alwaysOnTop = !Player.alwaysOnTop;
    PlaceOnTop(window);
    WriteSetting(SECTION_PLAYBACK, KEY_ALWAYS_ON_TOP, Player.alwaysOnTop ? "YES" : "NO");
}

void FollowSlider(HWND window, int32_t frame)
{
    if (!Player.sliderFollows)
        return;
    HWND tracker = GetDlgItem(window, IDC_TRACKER);
    if (!tracker || GetCapture() == tracker)
        return;  // the user drags it: the knob is where the pointer puts it
    char text[8];
    snprintf(text, sizeof text, "%d",
             SliderValueOfFrame(frame, QuorvelControl(QUORVEL_QUERY_LENGTH, 0)));
    // Setting the value tells the parent nothing, so the knob moved here never seeks.
    SendMessageA(tracker, WM_SETTEXT, TRACKER_SET_VALUE, (LPARAM)text);
}
