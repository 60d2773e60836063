// Transport requests and queries from other programs.
#include "player/player.h"

#include "platform/quorvel.h"
#include "platform/remote.h"
#include "resources/resource.h"
#include "timecode/timecode.h"

// A value for the requester goes through the message-result slot; the procedure then says 1.
static INT_PTR Answer(HWND window, LONG value)
{
    SetWindowLongPtrA(window, DWLP_MSGRESULT, value);
    return 1;
}

INT_PTR OnRemoteControl(HWND window, WPARAM request, LPARAM parameter)
{
    switch ((DWORD)request) {
    case REMOTE_PLAY:
        if (Player.playState != PLAY_PLAYING)
            ResumePlay(window);
        return 0;
    case REMOTE_PAUSE:
        if (Player.playState != PLAY_STOPPED)
            PauseByUser(window);
        return 0;
    case REMOTE_STOP:
        EndLoop(window);
        QuorvelControl(QUORVEL_STOP, 0);
        SetPlayState(window, PLAY_STOPPED);
        return 0;
    case REMOTE_REWIND:
    case REMOTE_FORWARD:
        EndLoop(window);
        SetPlayState(window, PLAY_WINDING);
        QuorvelControl((LONG)request, 0);
        return 0;
    case REMOTE_STEP:
        EndLoop(window);
        SetPlayState(window, PLAY_STOPPED);
        QuorvelControl(QUORVEL_STEP, (LONG)parameter);
        return 0;
    case REMOTE_LOCATE: {
        int32_t frame = UnpackTimecode((uint32_t)parameter, Player.timecodeFormat);
        EndLoop(window);
        SetPlayState(window, PLAY_STOPPED);
        QuorvelControl(QUORVEL_SEEK, (LONG)MediaFrameOfTimecode(frame));
        return 0;
    }
    case REMOTE_QUERY_TIMECODE:
        return Answer(window, (LONG)Player.currentTimecode);
    case REMOTE_SET_SPEED:
        SetSpeed(window, (int)(LONG)parameter);
        return 0;
    case REMOTE_QUERY_SPEED:
        return Answer(window, Player.speedPercent);
    case (DWORD)REMOTE_QUERY_LENGTH:
        return Answer(window, QuorvelControl(QUORVEL_QUERY_LENGTH, 0));
    default:
        return 0;
    }
}
