// The filter graph of the open file: built with the classic Video Renderer in it before the file
// is rendered (VMR-9 needs OpenGL, which Wine lacks under Xvfb), torn down in one place. A file
// with sound and no picture plays without the renderer; "a picture" then means the pause done.
#include <stdio.h>
#include <string.h>

#include "engine.h"
#include "open_trace.h"

namespace {

const DWORD STATE_POLL_MS = 20;
const DWORD OPEN_TIMEOUT_MS = 8000;    // first picture of a file: decoders may load
const DWORD SEEK_TIMEOUT_MS = 3000;
const MediaTime UNBOUNDED_STOP = 0x7FFFFFFFFFFFFFFFLL / 2;  // far beyond any media

void Describe(char *reason, int chars, const char *text) { snprintf(reason, chars, "%s", text); }

void DescribeFailure(HRESULT hr, char *reason, int chars)
{
    switch (hr) {
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
    case VFW_E_NOT_FOUND:
        Describe(reason, chars, "file not found");
        break;
    case HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED):
    case HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION):
        Describe(reason, chars, "access denied");
        break;
    case VFW_E_CANNOT_RENDER:
    case VFW_E_NO_DECOMPRESSOR:
    case VFW_E_CANNOT_CONNECT:
    case VFW_E_NO_ACCEPTABLE_TYPES:
        Describe(reason, chars, "no decoder for its picture or sound");
        break;
    case VFW_E_UNKNOWN_FILE_TYPE:
    case VFW_E_UNSUPPORTED_STREAM:
    case VFW_E_INVALID_FILE_FORMAT:
    case VFW_E_NOT_CONNECTED:
    case E_FAIL:
        Describe(reason, chars, "not a video it can play");
        break;
    default:
        snprintf(reason, chars, "error 0x%08lX", (unsigned long)hr);
        break;
    }
}

// Without a sound device the DirectSound renderer cannot even be made, and a file with sound
// and no picture cannot be rendered: that, and not a missing decoder, is then the reason.
bool SoundOutputMissing()
{
    IBaseFilter *sound = NULL;
    if (FAILED(CoCreateInstance(CLSID_DSoundRender, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                (void **)&sound)))
        return true;
    sound->Release();
    return false;
}

}  // namespace

HRESULT CreateGraph()
{
    Engine &e = g_engine;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  (void **)&e.graph);
    if (FAILED(hr))
        return hr;
    e.graph->QueryInterface(IID_IMediaControl, (void **)&e.control);
    e.graph->QueryInterface(IID_IMediaSeeking, (void **)&e.seeking);
    e.graph->QueryInterface(IID_IMediaFilter, (void **)&e.mediaFilter);
    e.graph->QueryInterface(IID_IMediaEvent, (void **)&e.events);
    e.graph->QueryInterface(IID_IVideoWindow, (void **)&e.videoWindow);
    e.graph->QueryInterface(IID_IBasicVideo, (void **)&e.basicVideo);
    if (!e.control || !e.seeking || !e.mediaFilter || !e.events || !e.videoWindow || !e.basicVideo)
        return E_NOINTERFACE;
    hr = CoCreateInstance(CLSID_VideoRenderer, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          (void **)&e.renderer);
    if (FAILED(hr))
        return hr;
    return e.graph->AddFilter(e.renderer, L"Video Renderer");
}

namespace {

bool InputConnected(IBaseFilter *filter)
{
    IEnumPins *pins = NULL;
    bool connected = false;
    if (!filter || FAILED(filter->EnumPins(&pins)))
        return false;
    IPin *pin = NULL;
    while (!connected && pins->Next(1, &pin, NULL) == S_OK) {
        IPin *peer = NULL;
        if (SUCCEEDED(pin->ConnectedTo(&peer)) && peer) {
            connected = true;
            peer->Release();
        }
        pin->Release();
    }
    pins->Release();
    return connected;
}

bool RendererConnected() { return InputConnected(g_engine.renderer); }

// A sound renderer that RenderFile connected: a filter of the graph with IBasicAudio and a
// connected input.
bool SoundRendererConnected()
{
    IEnumFilters *filters = NULL;
    IBaseFilter *filter = NULL;
    bool connected = false;
    if (FAILED(g_engine.graph->EnumFilters(&filters)))
        return false;
    while (!connected && filters->Next(1, &filter, NULL) == S_OK) {
        IBasicAudio *audio = NULL;
        if (SUCCEEDED(filter->QueryInterface(IID_IBasicAudio, (void **)&audio))) {
            connected = InputConnected(filter);
            audio->Release();
        }
        filter->Release();
    }
    filters->Release();
    return connected;
}

// A file with sound and no picture: the video renderer leaves the graph, or a pause would wait
// for a picture for ever, and the engine goes on without a video window.
void DropVideoRenderer()
{
    Engine &e = g_engine;
    e.graph->RemoveFilter(e.renderer);
    Release(e.renderer);
    Release(e.videoWindow);
    Release(e.basicVideo);
    e.soundOnly = true;
}

// How long the pictures last, by the renderer's own account of its stream; 0 when it does not say.
MediaTime VideoDuration()
{
    IMediaSeeking *seeking = NULL;
    MediaTime duration = 0;
    if (g_engine.renderer &&
        SUCCEEDED(g_engine.renderer->QueryInterface(IID_IMediaSeeking, (void **)&seeking))) {
        seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        if (FAILED(seeking->GetDuration(&duration)))
            duration = 0;
        seeking->Release();
    }
    return duration;
}

void ReadMedia()
{
    Engine &e = g_engine;
    REFTIME secondsPerFrame = 0;
    // Sound has no frame rate of its own: it is counted at the rate set.
    e.mediaRate = 0;
    if (e.basicVideo && SUCCEEDED(e.basicVideo->get_AvgTimePerFrame(&secondsPerFrame)) &&
        secondsPerFrame > 0)
        e.mediaRate = ExactMediaRate((MediaTime)(secondsPerFrame * UNITS_PER_SECOND + 0.5));
    e.rate = CountingRate(e.setRate, e.mediaRate);
    e.videoWidth = e.videoHeight = 0;
    if (e.basicVideo)
        e.basicVideo->GetVideoSize(&e.videoWidth, &e.videoHeight);
    e.duration = 0;
    e.seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    e.seeking->GetDuration(&e.duration);
    // The graph lasts as long as its longest stream. A sound track that runs on past the last
    // picture would leave frames at the end with no picture to show.
    MediaTime video = VideoDuration();
    if (video > 0 && (e.duration <= 0 || video < e.duration))
        e.duration = video;
    e.frameCount = FrameCount(e.duration, e.rate);
    if (e.frameCount < 1)
        e.frameCount = 1;  // a single picture, or a stream that does not say how long it is
}

// The renderer's window joins the video band; this works only once the renderer is connected,
// and must happen before the first Pause or Run, or the window pops up on its own.
void AdoptVideoWindow()
{
    Engine &e = g_engine;
    if (!e.videoWindow) {
        FitVideoBand();
        return;
    }
    e.videoWindow->put_Owner((OAHWND)e.band);
    e.videoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    e.videoWindow->put_MessageDrain((OAHWND)e.player);
    e.videoAdopted = true;
    FitVideoBand();
}

// An error the graph has already queued (a damaged file found while pre-rolling).
bool GraphAborted()
{
    long code;
    LONG_PTR p1, p2;
    bool aborted = false;
    while (g_engine.events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        if (code == EC_ERRORABORT || code == EC_STREAM_ERROR_STOPPED || code == EC_USERABORT)
            aborted = true;
        g_engine.events->FreeEventParams(code, p1, p2);
    }
    return aborted;
}

}  // namespace

bool HandBuiltGraphsRun()
{
    // Wine 8's AVI Splitter connects Cinepak to the AVI Decompressor and then aborts the whole
    // process (an assertion in winegstreamer) when the graph pauses; no other hand-built graph
    // connects there. So under Wine every file is opened with the automatic choice.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

bool WaitForPicture(DWORD timeoutMs)
{
    Engine &e = g_engine;
    if (!e.control)
        return false;
    DWORD start = GetTickCount();
    for (;;) {
        OAFilterState state;
        HRESULT hr = e.control->GetState(STATE_POLL_MS, &state);
        if (hr == S_OK)
            return true;
        if (hr != VFW_S_STATE_INTERMEDIATE)
            return false;
        if (GetTickCount() - start > timeoutMs)
            return false;
        if (e.opening)
            KeepAnswering();
    }
}

HRESULT SeekPaused(LONG frame, bool wait)
{
    Engine &e = g_engine;
    if (!e.seeking || !e.control)
        return E_UNEXPECTED;
    frame = ClampFrame(frame, e.frameCount);
    MediaTime target = FrameCentre(frame, e.rate);
    if (e.duration > 0 && target >= e.duration)
        target = e.duration - 1;
    // A seek while paused answers "done" before the new picture has arrived; from stopped, the
    // pause completes only with the first picture after the seek target.
    StopGraph();
    OpenTraceMark("seek: stop");
    // The splitter's default stop is the duration it found. For a file without one in its header
    // that is an estimate from the first part of the file, and the pictures would end there: its
    // stop is lifted with every seek, as the splitter takes a new stop only together with one.
    // (Under Wine, stopping a WebM graph that has just been paused can hang for good, so the stop
    // is not set again just before it runs.)
    MediaTime stop = UNBOUNDED_STOP;
    HRESULT hr = e.seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                         e.durationEstimated ? &stop : NULL,
                                         e.durationEstimated ? AM_SEEKING_AbsolutePositioning
                                                             : AM_SEEKING_NoPositioning);
    OpenTraceMark("seek: set positions");
    if (FAILED(hr))
        return hr;
    hr = e.control->Pause();
    OpenTraceMark("seek: pause");
    if (FAILED(hr))
        return hr;
    e.seekTarget = target;
    e.frame = frame;
    if (wait && !WaitForPicture(SEEK_TIMEOUT_MS))
        return VFW_E_TIME_EXPIRED;
    if (wait)
        OpenTraceMark("seek: wait for picture");
    return S_OK;
}

namespace {

// On the builder's thread.
HRESULT RenderAll(void *path) { return g_engine.graph->RenderFile((const WCHAR *)path, NULL); }

struct HandBuild {
    const WCHAR *path;
    IBaseFilter *decoder;
};

HRESULT BuildByHand(void *build)
{
    return BuildGraphByHand(((HandBuild *)build)->path, ((HandBuild *)build)->decoder);
}

}  // namespace

HRESULT OpenGraph(const WCHAR *widePath, const char *decoder, char *reason, int reasonChars)
{
    Engine &e = g_engine;
    if (!widePath || !*widePath) {
        Describe(reason, reasonChars, "no file name");
        return E_INVALIDARG;
    }
    DWORD attributes = GetFileAttributesW(widePath);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Describe(reason, reasonChars, "file not found");
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    const char *unplayable = UnplayableFileReason(widePath);
    OpenTraceMark("media check");
    if (unplayable) {
        Describe(reason, reasonChars, unplayable);
        return VFW_E_INVALID_FILE_FORMAT;
    }
    HRESULT hr = CreateGraph();
    OpenTraceMark("graph and renderer created");
    if (SUCCEEDED(hr) && decoder && *decoder && HandBuiltGraphsRun()) {
        IBaseFilter *chosen = CreateDecoderByName(decoder);
        if (chosen) {
            HandBuild build = {widePath, chosen};
            if (SUCCEEDED(BuildAway(BuildByHand, &build)) && RendererConnected()) {
                snprintf(e.decoderInUse, sizeof e.decoderInUse, "%s", decoder);
            } else {
                // The decoder cannot take this file: the automatic choice plays it instead.
                CloseGraph();
                hr = CreateGraph();
            }
            chosen->Release();
        }
    }
    if (SUCCEEDED(hr) && !e.decoderInUse[0])
        hr = BuildAway(RenderAll, (void *)widePath);
    OpenTraceMark("RenderFile / hand-built decoder path");
    if (FAILED(hr)) {
        DescribeFailure(hr, reason, reasonChars);
        if (hr == VFW_E_CANNOT_RENDER && SoundOutputMissing())
            Describe(reason, reasonChars, "no sound output to play it on");
        return hr;
    }
    if (!RendererConnected()) {
        if (!SoundRendererConnected()) {
            Describe(reason, reasonChars, "no picture or sound it can play");
            return VFW_E_CANNOT_RENDER;
        }
        DropVideoRenderer();
        OpenTraceMark("sound only: video renderer removed");
    }
    ReadMedia();
    e.durationEstimated = DurationUnknown(widePath);
    OpenTraceMark("media read (rate, size, duration)");
    ChooseGraphClock();
    OpenTraceMark("clock chosen");
    AdoptVideoWindow();
    OpenTraceMark("window adopted");
    hr = SeekPaused(0, false);
    if (SUCCEEDED(hr) && !WaitForPicture(OPEN_TIMEOUT_MS))
        hr = VFW_E_TIME_EXPIRED;
    OpenTraceMark("open: wait for first picture");
    if (SUCCEEDED(hr) && GraphAborted())
        hr = VFW_E_INVALID_FILE_FORMAT;
    OpenTraceMark("graph events checked");
    if (FAILED(hr)) {
        Describe(reason, reasonChars, "the file is damaged or cannot be decoded");
        return hr;
    }
    Release(e.clock);
    e.mediaFilter->GetSyncSource(&e.clock);
    if (e.soundOnly)
        StartWaveform(widePath, e.duration);
    return S_OK;
}

// Wine 8's system clock can miss the wake-up that ends its advise thread when it is released,
// and releasing the graph then waits for that thread for ever. A periodic advice keeps the
// thread waking every few milliseconds until the clock is gone. The semaphore must outlive it.
HANDLE KeepClockAwake()
{
    const REFERENCE_TIME PERIOD = 100000;  // 10 ms
    const LONG MOST_TICKS = 0x7FFFFFFF;
    REFERENCE_TIME now = 0;
    DWORD_PTR cookie = 0;
    if (!g_engine.clock || FAILED(g_engine.clock->GetTime(&now)))
        return NULL;
    HANDLE tick = CreateSemaphoreA(NULL, 0, MOST_TICKS, NULL);
    if (tick && FAILED(g_engine.clock->AdvisePeriodic(now, PERIOD, (HSEMAPHORE)tick, &cookie))) {
        CloseHandle(tick);
        tick = NULL;
    }
    return tick;
}

void StopGraph()
{
    FlushStretchedSound();
    g_engine.control->Stop();
    AcceptStretchedSound();
}

void CloseGraph()
{
    Engine &e = g_engine;
    StopWaveform();
    if (e.control)
        StopGraph();
    HANDLE clockTick = KeepClockAwake();
    ForgetSoundRoute();
    ForgetSpeedClock();
    if (e.videoWindow) {
        e.videoWindow->put_Visible(OAFALSE);
        e.videoWindow->put_Owner((OAHWND)NULL);
        e.videoWindow->put_MessageDrain((OAHWND)NULL);
    }
    Release(e.clock);
    Release(e.renderer);
    Release(e.basicVideo);
    Release(e.videoWindow);
    Release(e.events);
    Release(e.mediaFilter);
    Release(e.seeking);
    Release(e.control);
    Release(e.graph);
    if (clockTick)
        CloseHandle(clockTick);
    e.decoderInUse[0] = 0;
    e.duration = 0;
    e.durationEstimated = false;
    e.frameCount = 0;
    e.frame = 0;
    e.seekTarget = 0;
    e.mediaRate = 0;
    e.videoWidth = e.videoHeight = 0;
    e.soundOnly = false;
    e.videoAdopted = false;
    e.mode = MODE_NO_FILE;
}
