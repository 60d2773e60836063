// The playback speed: one setting for every file, changed in the Playback dialog, by the speed
// keys and by other programs; stored at once, so that the next start plays at it too.
#include "player/player.h"

#include <stdio.h>

#include "platform/quorvel.h"
#include "settings/settings.h"

void ReadSpeedHotKeys(void)
{
    Player.slowerHotKey =
        ReadPlaybackHotKey(KEY_SLOWER_HOTKEY, DEFAULT_SPEED_HOTKEY, Player.slowerHotKey);
    Player.fasterHotKey =
        ReadPlaybackHotKey(KEY_FASTER_HOTKEY, DEFAULT_SPEED_HOTKEY, Player.fasterHotKey);
}

// The engine keeps the speed for every file it opens later.
static void HandSpeedOn(HWND window)
{
    QuorvelControl(QUORVEL_SPEED, Player.speedPercent);
    ShowTitle(window);
}

void ReadSpeed(HWND window)
{
    char text[SPEED_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_SPEED, DEFAULT_SPEED, text, sizeof text);
    Player.speedPercent = SpeedFromText(text);
    ReadSpeedHotKeys();
    KeepHotKeys();
    if (Player.speedPercent != SPEED_NORMAL)
        HandSpeedOn(window);
}

void SetSpeed(HWND window, int percent)
{
    EndLoop(window);
    char text[SPEED_READ_SIZE];
    Player.speedPercent = HeldSpeed(percent);
    snprintf(text, sizeof text, "%d", Player.speedPercent);
    WriteSetting(SECTION_PLAYBACK, KEY_SPEED, text);
    HandSpeedOn(window);
}

void StepSpeed(HWND window, int direction)
{
    SetSpeed(window, SteppedSpeed(Player.speedPercent, direction));
}
