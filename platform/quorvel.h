// The playback engine QUORVEL.DLL: opens a video file, renders it into the Player window, carries
// out transport requests and reports positions to the Player window as frame numbers.
#pragma once

#include <windows.h>

#ifdef QUORVEL_BUILD
#define QUORVEL_API __declspec(dllexport)
#else
#define QUORVEL_API
#endif

#include "platform/remote.h"

// The one message the engine sends or posts to the Player window; wParam says what happened.
#define WM_ENGINE_NOTIFY  0x7FFF
#define ENGINE_NOTIFY_POSITION 1024  // lParam: the frame number now shown
#define ENGINE_NOTIFY_PAUSED   1025  // stopped by itself at the end of the media or of a wind;
                                     // lParam: the frame it stands on
#define ENGINE_NOTIFY_FAILED   1026  // the file cannot be played; lParam 0. Posted when
                                     // QuorvelSetFile finds it, so it arrives after the caller
                                     // has taken the file as playing; sent when found later
#define ENGINE_TIMER_ID 5         // the engine's timer on the Player window

// The Player window's video band, which the engine fills: client y QUORVEL_VIDEO_TOP (below
// the skinned title strip) to the client height less QUORVEL_VIDEO_BOTTOM_MARGIN (the control
// row).
#define QUORVEL_VIDEO_TOP 18
#define QUORVEL_VIDEO_BOTTOM_MARGIN 22

// QuorvelControl request codes: the remote requests' codes where they mean the same.
enum QuorvelRequest {
    QUORVEL_PLAY = REMOTE_PLAY,
    QUORVEL_PAUSE = REMOTE_PAUSE,
    QUORVEL_STOP = REMOTE_STOP,
    QUORVEL_REWIND = REMOTE_REWIND,
    QUORVEL_FORWARD = REMOTE_FORWARD,
    QUORVEL_STEP = REMOTE_STEP,    // parameter: signed frame count
    QUORVEL_SLIDER = 128,          // parameter: percentage of the duration, 0 to 100
    QUORVEL_SEEK = 256,            // parameter: frame number of the media
    QUORVEL_SPEED = REMOTE_SET_SPEED,  // parameter: percent, held to 50 to 200; playing or not,
                                       // and for the files opened later; answers the speed set
    QUORVEL_QUERY_LENGTH = REMOTE_QUERY_LENGTH,  // the duration in frames
    QUORVEL_START_AT = 512,        // parameter: the media frame the next file opened plays from
                                   // (its start when that is the last frame or beyond); once
};

#ifdef __cplusplus
extern "C" {
#endif

// The engine reports to this window from now on.
QUORVEL_API BOOL WINAPI QuorvelInit(HWND player);
// Ends playback and the engine; no report afterwards. Harmless when repeated.
QUORVEL_API BOOL WINAPI QuorvelExit(void);
// Frame numbers are counted at this rate (from the next file on, and at once for the current).
QUORVEL_API BOOL WINAPI QuorvelSetRate(double frameRate);
// The decoder (a name as QuorvelListFilter gives it) for the next QuorvelSetFile only.
QUORVEL_API BOOL WINAPI QuorvelLoadFilter(const char *decoderName);
// Opens the file, shows it and starts playing it. The path is in the ANSI code page.
QUORVEL_API BOOL WINAPI QuorvelSetFile(const char *path);
// The same for a path in Unicode, for names the ANSI code page cannot hold.
QUORVEL_API BOOL WINAPI QuorvelSetFileW(const WCHAR *path);
// Adds the name of every installed video decoder to the list box.
QUORVEL_API BOOL WINAPI QuorvelListFilter(HWND listBox);
// Fits the video to the Player window's video band again.
QUORVEL_API BOOL WINAPI QuorvelMoveVideoWindow(void);
// Carries out a request; only QUORVEL_QUERY_LENGTH and QUORVEL_SPEED have a result.
QUORVEL_API LONG WINAPI QuorvelControl(LONG request, LONG parameter);

#ifdef __cplusplus
}
#endif
