// The engine's process-wide state and the functions its parts share. Everything runs on the
// thread that called QuorvelInit (the Player window's), which is also where COM was started,
// except the building of a graph, which the builder's thread does while that thread waits.
#pragma once

#include <dshow.h>

#include "frames.h"
#include "peaks.h"
#include "platform/quorvel.h"

enum EngineMode { MODE_NO_FILE, MODE_STOPPED, MODE_PAUSED, MODE_PLAYING, MODE_WINDING };

const int DECODER_NAME_CHARS = 63;          // the Player window's decoder-name buffer holds 63
const int MESSAGE_CHARS = 700;             // "Cannot open ", a 512-character name, the reason
const int PATH_CHARS = 1024;
const int VIDEO_BAND_TOP = QUORVEL_VIDEO_TOP;
const int VIDEO_BAND_BOTTOM_MARGIN = QUORVEL_VIDEO_BOTTOM_MARGIN;
const UINT WM_WAVEFORM_PROGRESS = WM_APP + 1;  // to the band: more of the waveform is known

struct WaveformJob;

// The waveform of a sound-only file, computed by a thread of its own from a second graph into
// a job that the thread and the engine share: its peaks are under its lock, and each file has a
// job of its own, so that a thread that outlives its file never writes into the next one's.
struct Waveform {
    HANDLE thread;
    WaveformJob *job;            // NULL: no waveform
    LONG markerFrame;            // the position line's frame, -1 for none
    int markerX;                 // and its x in the band as last invalidated
};

// qedit's filters: their class ids are not in MinGW's headers.
const CLSID SAMPLE_GRABBER_CLSID = {0xC1F400A0, 0x3F08, 0x11D3,
                                    {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID NULL_RENDERER_CLSID = {0xC1F400A4, 0x3F08, 0x11D3,
                                   {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

struct StretchedSound;

// The sound's way at speeds other than normal: the stock sound renderer out of the graph, a
// grabber and a clockless sink in its place, and our player of the stretched sound. All NULL at
// normal speed.
struct SoundRoute {
    IPin *feed;                  // the output pin that fed the stock renderer
    IBaseFilter *grabber;
    IBaseFilter *sink;
    StretchedSound *player;
};

struct Engine {
    HWND player;                 // bound by QuorvelInit, NULL otherwise
    HWND band;                   // our black child window over the video band
    bool comStarted;             // CoInitializeEx succeeded, so QuorvelExit balances it
    bool busy;                   // inside a call: the timer procedure keeps out
    EngineMode mode;

    double setRate;              // rate last given to QuorvelSetRate (0: none yet)
    double mediaRate;            // the media's exact rate, 0 when unknown
    double rate;                 // the counting rate
    char nextDecoder[DECODER_NAME_CHARS + 1];   // for the next QuorvelSetFile only
    LONG nextStart;                             // the same: the frame it plays from
    char decoderInUse[DECODER_NAME_CHARS + 1];  // hand-plugged into the current graph, or empty

    IGraphBuilder *graph;
    IMediaControl *control;
    IMediaSeeking *seeking;
    IMediaFilter *mediaFilter;
    IMediaEvent *events;
    IVideoWindow *videoWindow;
    bool videoAdopted;           // the renderer's window sits in the band; until then the graph
                                 // is being built and its window is not touched
    IBasicVideo *basicVideo;
    IBaseFilter *renderer;
    IReferenceClock *clock;
    IReferenceClock *speedClock; // ours, the graph's clock while the speed is not normal
    LONG speed;                  // percent; 0 until set, which is normal speed
    SoundRoute soundRoute;

    MediaTime duration;
    bool durationEstimated;      // the file does not say: the media may run on past it
    LONG frameCount;
    LONG videoWidth, videoHeight;
    bool soundOnly;              // no picture: the band shows the waveform instead
    Waveform waveform;

    LONG frame;                  // the frame on screen (last reported) while not playing
    bool pictureStale;           // resized while still: shown again once the sizing settles
    MediaTime seekTarget;        // media time of the last seek
    REFERENCE_TIME runStart;     // clock time at which playback started from seekTarget
    MediaTime pictureDelay;      // how much later than its media time a picture is shown

    int windDirection;           // -1 rewind, +1 fast forward
    LONG windOrigin;             // frame at which winding started
    DWORD windStartTick;
    bool windSeekPending;        // a seek is on its way; only the newest target is kept
    LONG windPendingFrame;

    bool opening;                // inside QuorvelSetFile: the graph is not there yet
    bool exitPending;            // QuorvelExit came meanwhile: done when the open is over
    HANDLE builder;              // the builder's thread, started at the first open
    HANDLE builderWake, builderDone;
    void *volatile builderJob;   // what it is to do next; NULL: end

    WCHAR path[PATH_CHARS];      // the open file, for the message when it fails later
    WCHAR message[MESSAGE_CHARS];  // painted in the video band when a file cannot be played
};

extern Engine g_engine;

// Releases what p holds, if anything, and forgets it.
template <class T> void Release(T *&p)
{
    if (p) {
        p->Release();
        p = NULL;
    }
}

// graph.cpp
HRESULT CreateGraph();
bool HandBuiltGraphsRun();
HRESULT OpenGraph(const WCHAR *path, const char *decoder, char *reason, int reasonChars);
void CloseGraph();
bool WaitForPicture(DWORD timeoutMs);
// Keeps the graph's clock waking until it is released (Wine's system clock may otherwise never
// end its thread); close the handle once the clock is gone.
HANDLE KeepClockAwake();
HRESULT SeekPaused(LONG frame, bool wait);
// Stops the graph, letting go of the sound queued for the stretcher first.
void StopGraph();

// builder.cpp: work done on the builder's thread while this one goes on answering
HRESULT BuildAway(HRESULT (*work)(void *), void *context);
void KeepAnswering();
// Until the handle is signalled or the time is up (false then), answering what is sent here.
bool WaitAnswering(HANDLE handle, DWORD timeoutMs = INFINITE);
void EndBuilder();

// media_check.cpp: why the file cannot be played at all, or NULL
const char *UnplayableFileReason(const WCHAR *path);
// Three MPEG audio frames in a row (or two that end the bytes) somewhere in the bytes.
bool Mp3FramesFound(const unsigned char *bytes, size_t size);
// A Matroska or WebM file written as a live stream: no duration in its header. The duration the
// splitter gives is then an estimate from the first part of the file.
bool DurationUnknown(const WCHAR *path);

// decoders.cpp
// The first pin of the filter in that direction (only a free one when unconnected), after skip.
IPin *FindPin(IBaseFilter *filter, PIN_DIRECTION wanted, bool unconnected, int skip = 0);
IBaseFilter *CreateDecoderByName(const char *name);
HRESULT BuildGraphByHand(const WCHAR *path, IBaseFilter *decoder);
void ListDecoders(HWND listBox);

// transport.cpp
LONG Control(LONG request, LONG parameter);
void PauseAt(LONG frame);
void PlayOpened(LONG from);
void EndOfMedia();
void FailWhilePlaying(const char *reason);
LONG PlayingFrame();
void FollowLongerStream();
MediaTime PlayingTime();
void WindTick();
LONG ChangeSpeed(LONG percent);
void SpeedAfterOpen();

// speed.cpp
LONG SpeedPercent();
bool ClockChangeNeeded(LONG newSpeed);
void ChooseGraphClock();
void ForgetSpeedClock();
void FollowSpeed();

// sound_route.cpp: with the graph stopped
bool RouteSoundToStretcher(IReferenceClock *clock, double speed);
void RouteSoundToRenderer();
void ForgetSoundRoute();

// stretched_sound.cpp: the player of the route; NULL when it cannot start
StretchedSound *StartStretchedSound(int rate, int channels, IReferenceClock *clock, double speed);
void StopStretchedSound(StretchedSound *player);
struct ISampleGrabberCB *GrabberCallback(StretchedSound *player);
// Around every stop of the graph, and when it runs.
void FlushStretchedSound();
void AcceptStretchedSound();
void RunStretchedSound(REFERENCE_TIME runStart);
void SetStretchedSoundSpeed(double speed);
bool StretchedSoundPlaying();

// reports.cpp
void Report(LONG frame);
void StartTimer();
void StopTimer();
void SendNotice(WPARAM kind, LONG value);
void PostNotice(WPARAM kind, LONG value);

// video_band.cpp
// The module holding the engine's code; with hold, one more reference to it, which keeps it
// loaded until let go (FreeLibrary).
HMODULE EngineModule(bool hold);
bool CreateVideoBand(HWND player);
void DestroyVideoBand();
void FitVideoBand();
void ShowMessage(const WCHAR *path, const char *reason);
void ClearMessage();

// waveform.cpp
// The wave format a Sample Grabber was connected with; false when it is not a WAVEFORMATEX.
bool GrabbedFormat(struct ISampleGrabber *grabber, WAVEFORMATEX *format);
void StartWaveform(const WCHAR *path, MediaTime duration);
void StopWaveform();
void ShowWaveformPosition(LONG frame);
void PaintWaveform(HDC dc, const RECT &band);
