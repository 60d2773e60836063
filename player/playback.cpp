// Resuming and pausing by the user, and the jump keys: what the [Playback] settings change.
#include "player/player.h"

#include "platform/quorvel.h"
#include "player/seek.h"
#include "settings/settings.h"

// Read at every resume, so a change in the Playback dialog or by hand takes effect at once.
static int32_t RewindFrames(void)
{
    char text[SECONDS_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_REWIND_ON_RESUME, DEFAULT_REWIND_ON_RESUME, text,
                sizeof text);
    return FramesForSeconds(RewindSecondsFromText(text), Player.timecodeRate);
}

// Only a resume from where the user paused goes back: after a locate, step, slider move, stop,
// wind or jump the user has put the position where playing should start.
void ResumePlay(HWND window)
{
    bool rewinds = Player.resumeRewinds;
    SetPlayState(window, PLAY_PLAYING);
    int32_t rewind = rewinds ? RewindFrames() : 0;
    if (rewind > 0)
        QuorvelControl(QUORVEL_SEEK, ResumeFrame(ReportedMediaFrame(), rewind));
    QuorvelControl(QUORVEL_PLAY, 0);
}

void PauseByUser(HWND window)
{
    bool wasPlaying = Player.playState == PLAY_PLAYING;
    SetPlayState(window, PLAY_STOPPED);
    Player.resumeRewinds = wasPlaying;
    QuorvelControl(QUORVEL_PAUSE, 0);
}

static int JumpSeconds(void)
{
    char text[SECONDS_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, KEY_JUMP_SECONDS, DEFAULT_JUMP_SECONDS, text, sizeof text);
    return JumpSecondsFromText(text);
}

// Playing or paused, a jump stops at the first and the last frame.
void Jump(HWND window, int direction)
{
    int32_t delta = direction * FramesForSeconds(JumpSeconds(), Player.timecodeRate);
    LONG length = QuorvelControl(QUORVEL_QUERY_LENGTH, 0);
    SeekPlayingOn(window, JumpFrame(ReportedMediaFrame(), delta, length));
}

// The engine's seek leaves it paused on the frame, so playing goes on with a play request. A
// seek while winding ends the wind there, as the slider does.
void SeekPlayingOn(HWND window, int32_t frame)
{
    EndLoop(window);
    if (Player.playState == PLAY_WINDING)
        SetPlayState(window, PLAY_STOPPED);
    Player.resumeRewinds = false;
    QuorvelControl(QUORVEL_SEEK, frame);
    if (Player.playState == PLAY_PLAYING)
        QuorvelControl(QUORVEL_PLAY, 0);
}

int ReadPlaybackHotKey(const char *key, const char *fallback, int currentCode)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, fallback, text, sizeof text);
    return HotKeyFromName(text, currentCode);
}

int ReadWidePlaybackHotKey(const char *key, const char *fallback, int currentCode)
{
    char text[OPTION_READ_SIZE];
    ReadSetting(SECTION_PLAYBACK, key, fallback, text, sizeof text);
    return WideHotKeyFromName(text, currentCode);
}

void ReadJumpHotKeys(void)
{
    Player.jumpBackHotKey =
        ReadPlaybackHotKey(KEY_JUMP_BACK_HOTKEY, DEFAULT_JUMP_HOTKEY, Player.jumpBackHotKey);
    Player.jumpForwardHotKey =
        ReadPlaybackHotKey(KEY_JUMP_FORWARD_HOTKEY, DEFAULT_JUMP_HOTKEY, Player.jumpForwardHotKey);
}
