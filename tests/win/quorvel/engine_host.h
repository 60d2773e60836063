// A plain window standing in for the Player window: it records the engine's position reports
// and the requests the engine posts or sends to it, and reads the frame number back from the
// picture (the clips carry it as a row of 16 black or white blocks in their top sixth).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct HostRecord {
    std::vector<LONG> reports;       // lParam of each WM_ENGINE_NOTIFY 1024, in order
    std::vector<DWORD> reportTicks;  // when each arrived
    std::vector<LONG> remote;        // wParam of each WM_REMOTE_CONTROL: the engine sends none
    std::vector<UINT> input;         // mouse and key messages that reached the host
    std::vector<LONG> notices;       // wParam of each other WM_ENGINE_NOTIFY (paused, failed)
};

extern HostRecord g_host;

const int HOST_CLIENT_WIDTH = 400;
const int HOST_CLIENT_HEIGHT = 340;

HWND CreateHost();
void DestroyHost(HWND host);
void ClearRecord();

// Windows path of a clip made at build time.
std::string Clip(const char *name);

// Pumps messages for ms milliseconds.
void Pump(DWORD ms);
// Pumps until the condition holds or the deadline passes; returns whether it held.
template <class F> bool WaitFor(F condition, DWORD deadlineMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > deadlineMs)
            return false;
        Pump(5);
    }
}

LONG LastReport();
// The frame number shown in the host's video window, -1 when no numbered picture is there.
int PictureFrame(HWND host);
// The same for any window showing a numbered clip.
int PictureFrameOf(HWND video);
// The engine's windows inside the host.
HWND VideoBand(HWND host);
HWND RendererWindow(HWND host);
// Number of near-white pixels in the video band (the failure message is white on black).
int WhitePixelsInBand(HWND host);
