// A bare DirectShow graph as a plain program would use it (RenderFile, Run, IMediaSeeking at
// frame starts, the graph's own position), to set the engine's figures beside.
#pragma once

#include <windows.h>

#include <string>

struct BareGraph;

// Returns once paused on a picture; renderFileMs, when given, receives how long RenderFile took.
BareGraph *OpenBare(const std::string &path, HWND owner, double *renderFileMs = NULL);
void CloseBare(BareGraph *graph);
void SeekBare(BareGraph *graph, LONG frame);                // paused seek, waits for "done"
void RunBare(BareGraph *graph);
void PauseBare(BareGraph *graph);
LONG FrameOfBare(BareGraph *graph);                         // from the graph's current position
HWND VideoOfBare(BareGraph *graph);
