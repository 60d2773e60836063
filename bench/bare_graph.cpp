#include "bare_graph.h"

#include <dshow.h>
#include <math.h>

#include "engine_host.h"

const double CLIP_RATE = 25.0;
const DWORD WAIT_MS = 5000;

struct BareGraph {
    IGraphBuilder *graph = NULL;
    IMediaControl *control = NULL;
    IMediaSeeking *seeking = NULL;
    IVideoWindow *window = NULL;
    IBaseFilter *renderer = NULL;
};

namespace {

void WaitDone(BareGraph *g)
{
    WaitFor([&] {
        OAFilterState state;
        return g->control->GetState(0, &state) == S_OK;
    }, WAIT_MS);
}

}  // namespace

BareGraph *OpenBare(const std::string &path, HWND owner, double *renderFileMs)
{
    BareGraph *g = new BareGraph;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                     (void **)&g->graph);
    CoCreateInstance(CLSID_VideoRenderer, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                     (void **)&g->renderer);
    g->graph->AddFilter(g->renderer, L"Video Renderer");
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    g->graph->RenderFile(wide, NULL);
    QueryPerformanceCounter(&after);
    if (renderFileMs)
        *renderFileMs = (after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart;
    g->graph->QueryInterface(IID_IMediaControl, (void **)&g->control);
    g->graph->QueryInterface(IID_IMediaSeeking, (void **)&g->seeking);
    g->graph->QueryInterface(IID_IVideoWindow, (void **)&g->window);
    g->window->put_Owner((OAHWND)owner);
    g->window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    RECT client;
    GetClientRect(owner, &client);
    g->window->SetWindowPosition(0, 0, client.right, client.bottom);
    g->control->Pause();
    WaitDone(g);
    return g;
}

void CloseBare(BareGraph *g)
{
    g->control->Stop();
    g->window->put_Visible(OAFALSE);
    g->window->put_Owner((OAHWND)NULL);
    g->window->Release();
    g->seeking->Release();
    g->control->Release();
    g->renderer->Release();
    g->graph->Release();
    delete g;
}

void SeekBare(BareGraph *g, LONG frame)
{
    LONGLONG start = (LONGLONG)floor(frame * 1e7 / CLIP_RATE + 0.5);
    g->seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, NULL, AM_SEEKING_NoPositioning);
    WaitDone(g);
}

void RunBare(BareGraph *g) { g->control->Run(); }

void PauseBare(BareGraph *g)
{
    g->control->Pause();
    WaitDone(g);
}

LONG FrameOfBare(BareGraph *g)
{
    LONGLONG now = 0;
    g->seeking->GetCurrentPosition(&now);
    return (LONG)floor(now * CLIP_RATE / 1e7);
}

HWND VideoOfBare(BareGraph *g)
{
    OAHWND owner = 0;
    g->window->get_Owner(&owner);
    return GetWindow((HWND)owner, GW_CHILD);
}
