// The hard passage on one key: the last LoopSeconds repeated at LoopSpeed until the key is
// pressed again, then playing on from where the key was first pressed, at the speed before.
// The engine keeps counting true frames at any speed, so the timecode stays right throughout.
#include "player/player.h"

#include "platform/quorvel.h"
#include "player/seek.h"
#include "settings/settings.h"

static int ReadLoopValue(const char *key, const char *fallback, int (*fromText)(const char *))
{
    char text[SECONDS_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, fallback, text, sizeof text);
    return fromText(text);
}

static void StartLoop(HWND window)
{
    int32_t end = ReportedMediaFrame();
    int seconds = ReadLoopValue(KEY_LOOP_SECONDS, DEFAULT_LOOP_SECONDS, LoopSecondsFromText);
    int32_t start = ResumeFrame(end, FramesForSeconds(seconds, Player.timecodeRate));
    if (end <= start)
        return;  // at the first frame there is nothing behind to go over
    Player.looping = true;
    Player.loopStart = start;
    Player.loopEnd = end;
    Player.loopSpeed = ReadLoopValue(KEY_LOOP_SPEED, DEFAULT_LOOP_SPEED, LoopSpeedFromText);
    QuorvelControl(QUORVEL_SPEED, Player.loopSpeed);
    SetPlayState(window, PLAY_PLAYING);
    QuorvelControl(QUORVEL_SEEK, start);
    QuorvelControl(QUORVEL_PLAY, 0);
    ShowTitle(window);
}

// The engine goes back to the speed the user set, which the passage never changed.
static void StopLooping(HWND window)
{
    Player.looping = false;
    QuorvelControl(QUORVEL_SPEED, Player.speedPercent);
    ShowTitle(window);
}

void ToggleLoop(HWND window)
{
    if (!Player.openedFile[0] && !Player.currentFile[0])
        return;
    if (!Player.looping) {
        if (Player.playState == PLAY_WINDING)
            return;
        StartLoop(window);
        return;
    }
    StopLooping(window);
    SetPlayState(window, PLAY_PLAYING);
    QuorvelControl(QUORVEL_SEEK, Player.loopEnd);
    QuorvelControl(QUORVEL_PLAY, 0);
}

void EndLoop(HWND window)
{
    if (Player.looping)
        StopLooping(window);
}

static bool PassageOver(int32_t frame)
{
    return Player.looping && Player.playState == PLAY_PLAYING && frame >= Player.loopEnd;
}

// Reports come from inside the engine's own tick: the seek back waits until that is over.
// Once: reports that come before it is answered ask for nothing more.
void FollowLoop(HWND window, int32_t frame)
{
    if (PassageOver(frame) && !Player.loopBackPosted) {
        Player.loopBackPosted = true;
        PostMessageA(window, WM_APP_LOOPBACK, 0, 0);
    }
}

void OnLoopBack(HWND window)
{
    (void)window;
    Player.loopBackPosted = false;
    if (!PassageOver(ReportedMediaFrame()))
        return;
    QuorvelControl(QUORVEL_SEEK, Player.loopStart);
    QuorvelControl(QUORVEL_PLAY, 0);
}
