// Position reports of the engine and transport requests from other programs.
#include "player/player.h"

#include "platform/quorvel.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

enum {
    REMOTE_QUERY_TIMECODE = 1024,  // answers the packed current timecode
    DISPLAY_SIGN_LENGTH = 1,       // the display shows the text without its sign
};

void OnEngineNotify(HWND window, WPARAM kind, LPARAM frame)
{
    if (kind != ENGINE_NOTIFY_POSITION)
        return;
    // Wrapping addition: an offset can take a position below zero, never out of 32 bits.
    int32_t n = (int32_t)((uint32_t)frame + (uint32_t)Player.tcOffset);
    char text[TIMECODE_BUFFER_SIZE];
    FormatTimecode(text, n, Player.timecodeFormat);
    SendDlgItemMessageA(window, IDC_TCDISPLAY, WM_SETTEXT, 0, (LPARAM)(text + DISPLAY_SIGN_LENGTH));
    Player.currentTimecode = PackTimecode(n, Player.timecodeFormat);
}

// A value for the requester goes through the message-result slot; the procedure then says 1.
static INT_PTR Answer(HWND window, LONG value)
{
    SetWindowLongPtrA(window, DWLP_MSGRESULT, value);
    return 1;
}

INT_PTR OnRemoteControl(HWND window, WPARAM request, LPARAM parameter)
{
    switch ((DWORD)request) {
    case QUORVEL_PLAY:
        if (Player.playState != PLAY_PLAYING) {
            QuorvelControl(QUORVEL_PLAY, 0);
            SetPlayState(window, PLAY_PLAYING);
        }
        return 0;
    case QUORVEL_PAUSE:
        if (Player.playState != PLAY_STOPPED) {
            SetPlayState(window, PLAY_STOPPED);
            QuorvelControl(QUORVEL_PAUSE, 0);
        }
        return 0;
    case QUORVEL_STOP:
        QuorvelControl(QUORVEL_STOP, 0);
        SetPlayState(window, PLAY_STOPPED);
        return 0;
    case QUORVEL_REWIND:
    case QUORVEL_FORWARD:
        SetPlayState(window, PLAY_WINDING);
        QuorvelControl((LONG)request, 0);
        return 0;
    case QUORVEL_STEP:
        SetPlayState(window, PLAY_STOPPED);
        QuorvelControl(QUORVEL_STEP, (LONG)parameter);
        return 0;
    case QUORVEL_SEEK: {
        int32_t frame = UnpackTimecode((uint32_t)parameter, Player.timecodeFormat);
        SetPlayState(window, PLAY_STOPPED);
        QuorvelControl(QUORVEL_SEEK, (LONG)((uint32_t)frame - (uint32_t)Player.tcOffset));
        return 0;
    }
    case REMOTE_QUERY_TIMECODE:
        return Answer(window, (LONG)Player.currentTimecode);
    case (DWORD)QUORVEL_QUERY_LENGTH:
        return Answer(window, QuorvelControl(QUORVEL_QUERY_LENGTH, 0));
    default:
        return 0;
    }
}
