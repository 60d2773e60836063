// What the engine reports: positions, and the ends of playing it came to by itself.
#include "player/player.h"

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

enum {
    DISPLAY_SIGN_LENGTH = 1,  // the display shows the text without its sign
};

static void ShowPosition(HWND window, LPARAM frame)
{
    int32_t n = TimecodeOfMediaFrame((int32_t)frame);
    char text[TIMECODE_BUFFER_SIZE];
    FormatTimecode(text, n, Player.timecodeFormat);
    SendDlgItemMessageA(window, IDC_TCDISPLAY, WM_SETTEXT, 0, (LPARAM)(text + DISPLAY_SIGN_LENGTH));
    Player.currentTimecode = PackTimecode(n, Player.timecodeFormat);
    Player.reportedFrame = (int32_t)frame;
    KeepPositionWhilePlaying();
    FollowLoop(window, (int32_t)frame);
    FollowSlider(window, (int32_t)frame);
}

// The engine has already done what these say (paused at the end, closed a file it cannot
// play): the play state follows it, and nothing is asked of the engine in return.
void OnEngineNotify(HWND window, WPARAM kind, LPARAM frame)
{
    switch (kind) {
    case ENGINE_NOTIFY_POSITION: ShowPosition(window, frame); break;
    case ENGINE_NOTIFY_PAUSED:
    case ENGINE_NOTIFY_FAILED: SetPlayState(window, PLAY_STOPPED); break;
    default: break;
    }
}
