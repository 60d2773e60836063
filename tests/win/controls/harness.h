// A parent window that records what the controls tell it, a message pump that knows whether a
// message came through the queue, and pixels read back from a painted window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Note {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool posted;  // taken from the queue, rather than sent

    bool operator==(const Note &o) const
    {
        return message == o.message && wParam == o.wParam && lParam == o.lParam &&
               posted == o.posted;
    }
};
std::string Describe(const std::vector<Note> &notes);

// Notes of the messages the parent cares about: WM_COMMAND, WM_KEYDOWN, WM_KEYUP.
extern std::vector<Note> ParentNotes;

// A top-level window, kept above others so that pixels read back from it are its own.
HWND CreateParent(int width, int height);

// Dispatches everything waiting, paints included, until the queue is empty.
void PumpMessages();

// True when a message of this number is waiting for window (left in the queue).
bool IsQueued(HWND window, UINT message);
// The number of such messages waiting (removes them).
int TakeQueued(HWND window, UINT message);

// The client area's pixels as COLORREF values, row by row, after pending paints are done.
struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;
    COLORREF At(int x, int y) const { return colours[y * width + x]; }
    int Count(COLORREF colour, int left, int top, int right, int bottom) const;  // right, bottom exclusive
};
Pixels Capture(HWND window);

// The program's display font: MS Sans Serif, 14 pixels, bold.
HFONT CreateDisplayFont();
