// The builder's thread. Building a graph (the source, the splitter and the decoders it finds) can
// take a second or more, and the Player window's thread would not answer for that long. So the
// build runs on a thread of the engine's own while the Player window's thread waits for it and
// goes on answering: the messages other threads and programs send it, and painting. Input and
// posted messages wait in the queue until the open is over, so nothing the user does can reach
// the half-built graph. The graph and its video renderer are created on the Player window's
// thread, which owns the renderer's window; only the building happens on the builder's.
#include "engine.h"

namespace {

const DWORD PAINT_EVERY_MS = 50;

struct BuilderWork {
    HRESULT (*work)(void *);
    void *context;
    HRESULT result;
};

DWORD WINAPI BuilderThread(void *)
{
    Engine &e = g_engine;
    // The thread lives as long as the engine, so that whatever a decoder ties to the thread that
    // created it outlives the graph.
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    for (;;) {
        WaitForSingleObject(e.builderWake, INFINITE);
        BuilderWork *job = (BuilderWork *)e.builderJob;
        if (!job)
            break;
        job->result = job->work(job->context);
        e.builderJob = NULL;
        SetEvent(e.builderDone);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

bool StartBuilder()
{
    Engine &e = g_engine;
    if (e.builder)
        return true;
    e.builderWake = CreateEventA(NULL, FALSE, FALSE, NULL);
    e.builderDone = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (e.builderWake && e.builderDone)
        e.builder = CreateThread(NULL, 0, BuilderThread, NULL, 0, NULL);
    if (!e.builder)
        EndBuilder();
    return e.builder != NULL;
}

}  // namespace

// Answers what is sent to this thread, and paints the Player window, while it waits.
bool WaitAnswering(HANDLE handle, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, PAINT_EVERY_MS, QS_SENDMESSAGE) !=
           WAIT_OBJECT_0) {
        if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs)
            return false;
        KeepAnswering();
    }
    return true;
}

void KeepAnswering()
{
    MSG message;
    PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (g_engine.player)
        RedrawWindow(g_engine.player, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HRESULT BuildAway(HRESULT (*work)(void *), void *context)
{
    Engine &e = g_engine;
    if (!StartBuilder())
        return work(context);  // no thread to spare: built here, as it must be built
    BuilderWork job = {work, context, E_FAIL};
    e.builderJob = &job;
    SetEvent(e.builderWake);
    WaitAnswering(e.builderDone);
    return job.result;
}

void EndBuilder()
{
    Engine &e = g_engine;
    if (e.builder) {
        e.builderJob = NULL;
        SetEvent(e.builderWake);
        WaitAnswering(e.builder);
        CloseHandle(e.builder);
    }
    if (e.builderWake)
        CloseHandle(e.builderWake);
    if (e.builderDone)
        CloseHandle(e.builderDone);
    e.builder = e.builderWake = e.builderDone = NULL;
}
