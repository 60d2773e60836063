#include "player/player.h"

#include "platform/remote.h"

#include "resources/resource.h"
#include "settings/keys.h"
#include "timecode/timecode.h"

// Until the first file is opened or the Options dialog is confirmed these are in force,
// whatever the settings file holds.
PlayerValues Player = {
    "",               // currentFile
    L"",              // currentFileWide
    "",               // decoderName
    PLAY_STOPPED,     // playState
    false,            // resumeRewinds
    25,               // timecodeRate
    {TIMECODE_DEFAULT_BASE, false},  // timecodeFormat
    0,                // tcOffset
    0,                // currentTimecode
    0,                // reportedFrame
    VK_F12,           // tcHotKey
    VK_F11,           // startStopHotKey
    0,                // jumpBackHotKey
    0,                // jumpForwardHotKey
    0,                // slowerHotKey
    0,                // fasterHotKey
    SPEED_NORMAL,     // speedPercent
    SHOW_FRAMES_YES,  // showFramesMode
    APPEND_SPACE,     // appendSignMode
    NULL,             // menu
    NULL,             // displayFont
    "",               // openedFile
    0,                    // positionKeptAt
    0,                // recentShown
    0,                // loopHotKey
    false,            // looping
    0,                // loopStart
    0,                // loopEnd
    0,                // loopSpeed
    false,            // loopBackPosted
    false,            // sliderFollows
    false,            // alwaysOnTop
    false,            // opening
    {},               // deferred
    0,                // deferredCount
    false,            // sourceTimecodeInUse
    {},               // sourceTimecode
};

void SetPlayState(HWND window, int state)
{
    Player.playState = state;
    Player.resumeRewinds = false;
    SendDlgItemMessageA(window, IDC_PLAY, BM_SETCHECK, (WPARAM)state, 0);
}

int32_t ReportedMediaFrame(void) { return Player.reportedFrame; }
