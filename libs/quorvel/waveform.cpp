// The waveform of a sound-only file. A thread of its own decodes the whole file through a second
// graph (source, the automatic decoder chain, a Sample Grabber taking PCM, a Null Renderer) with
// no clock, so it runs as fast as the decoders go, and folds the samples into peaks. The band
// repaints as they come in; the line of the current position follows the reports.
//
// The thread and the engine share a job, the last of them to let go frees it: a decoder that
// ignores the stop may keep the thread past the time closing waits for it, and the thread then
// works on, into its own peaks, until it ends. It keeps the module loaded until then.
#include <dshow.h>
#include <limits.h>
#include <qedit.h>

#include "engine.h"

namespace {

const DWORD PROGRESS_PERIOD_MS = 100;   // the band repaints at most this often while it fills
const DWORD JOIN_TIMEOUT_MS = 5000;     // a decoder that ignores the stop: the file goes anyway
const COLORREF BACKGROUND = RGB(0, 0, 0);
const COLORREF AXIS_COLOUR = RGB(48, 56, 48);
const COLORREF WAVE_COLOUR = RGB(104, 150, 112);
const COLORREF MARKER_COLOUR = RGB(240, 220, 120);
const int MARGIN = 6;                   // above and below the loudest peak

bool Stopped(HANDLE stop) { return WaitForSingleObject(stop, 0) == WAIT_OBJECT_0; }

}  // namespace

// What one thread works on. The thread writes the peaks, the user-interface thread paints them:
// both under the lock.
struct WaveformJob {
    LONG refs;                   // the engine's and the thread's
    CRITICAL_SECTION lock;
    HANDLE stop;                 // set: the thread leaves the peaks alone and ends
    HWND band;                   // told when more is known
    WCHAR path[PATH_CHARS];
    MediaTime duration;
    Peaks peaks;                 // under the lock
    LONG reached;                // under the lock: buckets before this one are complete
};

namespace {

WaveformJob *NewJob(const WCHAR *path, MediaTime duration)
{
    WaveformJob *job = (WaveformJob *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *job);
    if (!job)
        return NULL;
    job->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (!job->stop) {
        HeapFree(GetProcessHeap(), 0, job);
        return NULL;
    }
    job->refs = 1;
    InitializeCriticalSection(&job->lock);
    job->band = g_engine.band;
    lstrcpynW(job->path, path, PATH_CHARS);
    job->duration = duration;
    ClearPeaks(&job->peaks);
    return job;
}

void LetGo(WaveformJob *job)
{
    if (InterlockedDecrement(&job->refs) > 0)
        return;
    CloseHandle(job->stop);
    DeleteCriticalSection(&job->lock);
    HeapFree(GetProcessHeap(), 0, job);
}

// The Sample Grabber's callback. A COM object needs a vtable, so this is the one struct with
// methods here; it lives on the thread's stack for as long as the graph that calls it.
struct PeakCollector : ISampleGrabberCB {
    WaveformJob *job;
    PcmLayout layout;
    LONGLONG position;   // sample positions folded so far
    LONGLONG total;      // positions in the whole sound
    DWORD lastProgress;

    STDMETHODIMP QueryInterface(REFIID iid, void **out) override
    {
        if (iid == IID_IUnknown || iid == __uuidof(ISampleGrabberCB)) {
            *out = static_cast<ISampleGrabberCB *>(this);
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // Called on the graph's streaming thread, one decoded buffer at a time.
    STDMETHODIMP SampleCB(double, IMediaSample *sample) override
    {
        BYTE *data = NULL;
        if (Stopped(job->stop) || FAILED(sample->GetPointer(&data)))
            return S_OK;
        EnterCriticalSection(&job->lock);
        position += AddPeaks(data, sample->GetActualDataLength(), layout, position, total,
                             &job->peaks);
        job->reached = BucketOf(position, total);
        LeaveCriticalSection(&job->lock);
        if (GetTickCount() - lastProgress >= PROGRESS_PERIOD_MS) {
            lastProgress = GetTickCount();
            PostMessageA(job->band, WM_WAVEFORM_PROGRESS, 0, 0);
        }
        return S_OK;
    }
    STDMETHODIMP BufferCB(double, BYTE *, LONG) override { return E_NOTIMPL; }
};

// The source's first output that the graph can decode into the grabber.
HRESULT ConnectSound(IGraphBuilder *graph, IBaseFilter *source, IPin *grabberIn)
{
    IEnumPins *pins = NULL;
    IPin *pin = NULL;
    HRESULT hr = VFW_E_CANNOT_CONNECT;
    if (FAILED(source->EnumPins(&pins)))
        return hr;
    while (FAILED(hr) && pins->Next(1, &pin, NULL) == S_OK) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
            hr = graph->Connect(pin, grabberIn);
        pin->Release();
    }
    pins->Release();
    return hr;
}

// The PCM layout the decoder agreed on, and the sample rate; false for anything else.
bool ReadLayout(ISampleGrabber *grabber, PcmLayout *layout, DWORD *samplesPerSecond)
{
    WAVEFORMATEX format;
    if (!GrabbedFormat(grabber, &format))
        return false;
    layout->channels = format.nChannels;
    layout->bytesPerSample = format.wBitsPerSample / 8;
    *samplesPerSecond = format.nSamplesPerSec;
    return layout->channels > 0 && layout->bytesPerSample >= 1 && layout->bytesPerSample <= 4 &&
           *samplesPerSecond > 0;
}

// Runs the graph until the sound has been decoded to its end, it fails, or the stop is set.
void RunToEnd(IMediaControl *control, IMediaEvent *events, HANDLE stop)
{
    OAEVENT graphEvent = 0;
    if (FAILED(events->GetEventHandle(&graphEvent)) || FAILED(control->Run()))
        return;
    HANDLE waits[2] = {stop, (HANDLE)graphEvent};
    for (bool done = false; !done;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            break;  // stopped, or the wait itself failed
        long code;
        LONG_PTR p1, p2;
        while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            if (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT ||
                code == EC_STREAM_ERROR_STOPPED)
                done = true;
            events->FreeEventParams(code, p1, p2);
        }
    }
    control->Stop();
}

void DecodePeaks(WaveformJob *job)
{
    HANDLE stop = job->stop;
    IGraphBuilder *graph = NULL;
    IBaseFilter *source = NULL, *grabberFilter = NULL, *sink = NULL;
    ISampleGrabber *grabber = NULL;
    IMediaControl *control = NULL;
    IMediaEvent *events = NULL;
    IMediaFilter *mediaFilter = NULL;
    IPin *grabberIn = NULL, *grabberOut = NULL, *sinkIn = NULL;
    PeakCollector collector;
    collector.job = job;
    collector.position = 0;
    collector.lastProgress = GetTickCount();
    DWORD samplesPerSecond = 0;
    AM_MEDIA_TYPE pcm = {};
    pcm.majortype = MEDIATYPE_Audio;
    pcm.subtype = MEDIASUBTYPE_PCM;

    bool ready =
        SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   (void **)&graph)) &&
        SUCCEEDED(CoCreateInstance(SAMPLE_GRABBER_CLSID, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   (void **)&grabberFilter)) &&
        SUCCEEDED(CoCreateInstance(NULL_RENDERER_CLSID, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   (void **)&sink)) &&
        SUCCEEDED(grabberFilter->QueryInterface(__uuidof(ISampleGrabber), (void **)&grabber)) &&
        SUCCEEDED(graph->QueryInterface(IID_IMediaControl, (void **)&control)) &&
        SUCCEEDED(graph->QueryInterface(IID_IMediaEvent, (void **)&events)) &&
        SUCCEEDED(graph->QueryInterface(IID_IMediaFilter, (void **)&mediaFilter)) &&
        SUCCEEDED(grabber->SetMediaType(&pcm)) && SUCCEEDED(grabber->SetBufferSamples(FALSE)) &&
        SUCCEEDED(graph->AddFilter(grabberFilter, L"Sample Grabber")) &&
        SUCCEEDED(graph->AddFilter(sink, L"Null Renderer")) &&
        SUCCEEDED(graph->AddSourceFilter(job->path, L"Source", &source)) &&
        (grabberIn = FindPin(grabberFilter, PINDIR_INPUT, true)) != NULL &&
        (grabberOut = FindPin(grabberFilter, PINDIR_OUTPUT, true)) != NULL &&
        (sinkIn = FindPin(sink, PINDIR_INPUT, true)) != NULL && !Stopped(stop) &&
        SUCCEEDED(ConnectSound(graph, source, grabberIn)) &&
        SUCCEEDED(graph->ConnectDirect(grabberOut, sinkIn, NULL)) &&
        ReadLayout(grabber, &collector.layout, &samplesPerSecond);
    if (ready) {
        collector.total = (LONGLONG)(job->duration / UNITS_PER_SECOND * samplesPerSecond + 0.5);
        ready = collector.total > 0 && SUCCEEDED(grabber->SetCallback(&collector, 0)) &&
                SUCCEEDED(mediaFilter->SetSyncSource(NULL));  // no clock: as fast as it decodes
    }
    if (ready && !Stopped(stop)) {
        RunToEnd(control, events, stop);
        if (!Stopped(stop)) {
            EnterCriticalSection(&job->lock);
            job->reached = WAVEFORM_BUCKETS;
            LeaveCriticalSection(&job->lock);
        }
        PostMessageA(job->band, WM_WAVEFORM_PROGRESS, 0, 0);
    }
    if (grabber)
        grabber->SetCallback(NULL, 0);
    Release(sinkIn);
    Release(grabberOut);
    Release(grabberIn);
    Release(mediaFilter);
    Release(events);
    Release(control);
    Release(grabber);
    Release(source);
    Release(sink);
    Release(grabberFilter);
    Release(graph);
}

DWORD WINAPI WaveformThread(void *parameter)
{
    WaveformJob *job = (WaveformJob *)parameter;
    HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    DecodePeaks(job);
    if (SUCCEEDED(hr))
        CoUninitialize();
    LetGo(job);
    return 0;
}

// The module stays loaded while the thread runs its code: it lets go of it as it ends.
DWORD WINAPI ModuleKeepingThread(void *parameter)
{
    HMODULE module = EngineModule(true);
    WaveformThread(parameter);
    if (module)
        FreeLibraryAndExitThread(module, 0);
    return 0;
}

int MarkerX(LONG frame, int width)
{
    LONG count = g_engine.frameCount > 0 ? g_engine.frameCount : 1;
    return (int)((LONGLONG)frame * width / count);
}

void DrawLine(HDC dc, int x, int top, int bottom)
{
    MoveToEx(dc, x, top, NULL);
    LineTo(dc, x, bottom);
}

// What the thread has found so far, taken under its lock.
void DrawPeaks(HDC dc, int width, int height)
{
    WaveformJob *job = g_engine.waveform.job;
    if (!job)
        return;
    static Peaks peaks;  // the user-interface thread's own copy
    EnterCriticalSection(&job->lock);
    peaks = job->peaks;
    int reached = job->reached;
    LeaveCriticalSection(&job->lock);
    int middle = height / 2;
    int half = middle - MARGIN > 1 ? middle - MARGIN : 1;
    HPEN axis = CreatePen(PS_SOLID, 1, AXIS_COLOUR);
    HPEN wave = CreatePen(PS_SOLID, 1, WAVE_COLOUR);
    HGDIOBJ old = SelectObject(dc, axis);
    MoveToEx(dc, 0, middle, NULL);
    LineTo(dc, width, middle);
    SelectObject(dc, wave);
    for (int x = 0; x < width; x++) {
        int from, to;
        ColumnBuckets(x, width, &from, &to);
        int low = SHRT_MAX, high = SHRT_MIN;
        for (int b = from; b < to && b < reached; b++) {
            if (BucketEmpty(peaks, b))
                continue;
            if (peaks.minima[b] < low)
                low = peaks.minima[b];
            if (peaks.maxima[b] > high)
                high = peaks.maxima[b];
        }
        if (low > high)
            continue;
        DrawLine(dc, x, middle - high * half / 32768, middle - low * half / 32768 + 1);
    }
    SelectObject(dc, old);
    DeleteObject(wave);
    DeleteObject(axis);
}

}  // namespace

bool GrabbedFormat(ISampleGrabber *grabber, WAVEFORMATEX *format)
{
    AM_MEDIA_TYPE type = {};
    if (FAILED(grabber->GetConnectedMediaType(&type)))
        return false;
    bool known = type.formattype == FORMAT_WaveFormatEx && type.cbFormat >= sizeof(WAVEFORMATEX);
    if (known)
        *format = *(const WAVEFORMATEX *)type.pbFormat;
    if (type.pbFormat)
        CoTaskMemFree(type.pbFormat);
    if (type.pUnk)
        type.pUnk->Release();
    return known;
}

void StartWaveform(const WCHAR *path, MediaTime duration)
{
    Waveform &w = g_engine.waveform;
    StopWaveform();
    w.job = NewJob(path, duration);
    if (!w.job)
        return;  // no waveform: the band stays black
    InterlockedIncrement(&w.job->refs);  // the thread's
    w.thread = CreateThread(NULL, 0, ModuleKeepingThread, w.job, 0, NULL);
    if (!w.thread)
        LetGo(w.job);
}

// Only as the file goes. The thread is told to stop and waited for a while, the Player window
// answering meanwhile, and what other programs ask then finds no file, as during an open; a
// thread that does not end in time goes on alone with its own job.
void StopWaveform()
{
    Engine &e = g_engine;
    Waveform &w = e.waveform;
    if (w.job)
        SetEvent(w.job->stop);
    if (w.thread) {
        bool wasOpening = e.opening;
        e.mode = MODE_NO_FILE;
        e.opening = true;
        WaitAnswering(w.thread, JOIN_TIMEOUT_MS);
        e.opening = wasOpening;
        CloseHandle(w.thread);
        w.thread = NULL;
    }
    if (w.job)
        LetGo(w.job);
    w.job = NULL;
    w.markerX = -1;
    w.markerFrame = -1;
}

void ShowWaveformPosition(LONG frame)
{
    Engine &e = g_engine;
    RECT band;
    if (!e.band || !GetClientRect(e.band, &band))
        return;
    e.waveform.markerFrame = frame;
    int x = MarkerX(frame, band.right);
    if (x == e.waveform.markerX)
        return;
    e.waveform.markerX = x;
    InvalidateRect(e.band, NULL, FALSE);
}

// Drawn off screen and copied in one piece, so that the band does not flicker as the line moves.
void PaintWaveform(HDC dc, const RECT &band)
{
    int width = band.right - band.left, height = band.bottom - band.top;
    if (width <= 0 || height <= 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH background = CreateSolidBrush(BACKGROUND);
    FillRect(memory, &all, background);
    DeleteObject(background);
    DrawPeaks(memory, width, height);
    if (g_engine.waveform.markerFrame >= 0) {
        HPEN marker = CreatePen(PS_SOLID, 1, MARKER_COLOUR);
        HGDIOBJ oldPen = SelectObject(memory, marker);
        DrawLine(memory, MarkerX(g_engine.waveform.markerFrame, width), 0, height);
        SelectObject(memory, oldPen);
        DeleteObject(marker);
    }
    BitBlt(dc, band.left, band.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}
