// The playback engine QUORVEL.DLL: opens a video file, renders it into the Player window, carries
// out transport requests and reports positions to the Player window as frame numbers.
#pragma once

#include <windows.h>

#ifdef QUORVEL_BUILD
#define QUORVEL_API __declspec(dllexport)
#else
#define QUORVEL_API
#endif

// Messages the engine sends or posts to the Player window.
#define WM_REMOTE_CONTROL 0x7FFE  // wParam: request code (posted by the engine: pause 4, stop 8)
#define WM_ENGINE_NOTIFY  0x7FFF  // wParam ENGINE_NOTIFY_POSITION, lParam: frame number
#define ENGINE_NOTIFY_POSITION 1024
#define ENGINE_TIMER_ID 5         // the engine's timer on the Player window

// QuorvelControl request codes.
enum QuorvelRequest {
    QUORVEL_PLAY = 1,
    QUORVEL_PAUSE = 4,
    QUORVEL_STOP = 8,
    QUORVEL_REWIND = 16,
    QUORVEL_FORWARD = 32,
    QUORVEL_STEP = 64,         // parameter: signed frame count
    QUORVEL_SLIDER = 128,      // parameter: percentage of the duration, 0 to 100
    QUORVEL_SEEK = 256,        // parameter: frame number of the media
    QUORVEL_QUERY_LENGTH = (LONG)0xFFFF8001,  // -32767: the duration in frames
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
// Carries out a request; only QUORVEL_QUERY_LENGTH has a result.
QUORVEL_API LONG WINAPI QuorvelControl(LONG request, LONG parameter);

#ifdef __cplusplus
}
#endif
