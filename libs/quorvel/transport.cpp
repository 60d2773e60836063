// Transport requests. While playing, the position is counted from the graph's clock since a run
// started at a known clock time from a known seek; everything else happens paused, with seeks to
// the middle of the wanted frame, so that picture and report agree exactly.
#include "engine.h"
#include "open_trace.h"

namespace {

const REFERENCE_TIME RUN_START_DELAY = 1000000;   // 100 ms: every filter starts on the same tick
const int WIND_SPEED = 8;                         // winding runs at eight times normal speed

LONG LastFrame() { return g_engine.frameCount > 0 ? g_engine.frameCount - 1 : 0; }

REFERENCE_TIME ClockNow()
{
    REFERENCE_TIME now = 0;
    if (g_engine.clock)
        g_engine.clock->GetTime(&now);
    return now;
}

void Run()
{
    Engine &e = g_engine;
    HRESULT hr = E_FAIL;
    if (e.clock) {
        e.runStart = ClockNow() + RUN_START_DELAY;
        hr = e.mediaFilter->Run(e.runStart);
    }
    if (FAILED(hr)) {
        e.control->Run();
        e.runStart = ClockNow();
    }
    RunStretchedSound(e.runStart);
}

// The frame the user is looking at, in whatever mode.
LONG CurrentFrame()
{
    if (g_engine.mode == MODE_PLAYING)
        return PlayingFrame();
    return g_engine.frame;
}

// Leaves playing or winding for a still picture of frame n.
void StillAt(LONG frame, EngineMode mode)
{
    Engine &e = g_engine;
    StopTimer();
    e.windSeekPending = false;
    SeekPaused(frame, true);
    e.mode = mode;
    Report(e.frame);
}

// After a seek the renderer holds the picture of the target frame. Its time stamp, relative to
// the target, says how much later than their media time the pictures of this stream are shown:
// nothing for AVI, two frames for H.264 with B-frames in MP4 under Wine (the composition offset
// is not taken off). The position while playing is counted that much behind the clock.
// The start time of the last picture the renderer received, relative to the last seek target.
bool RendererStamp(MediaTime *stamp)
{
    IMediaSeeking *rendererSeeking = NULL;
    if (!g_engine.renderer ||
        FAILED(g_engine.renderer->QueryInterface(IID_IMediaSeeking, (void **)&rendererSeeking)))
        return false;
    bool known = SUCCEEDED(rendererSeeking->GetCurrentPosition(stamp));
    rendererSeeking->Release();
    return known;
}

MediaTime PictureDelay()
{
    const MediaTime MOST = 10000000;
    MediaTime stamp = 0;
    if (!RendererStamp(&stamp))
        return 0;
    return stamp < 0 ? 0 : stamp > MOST ? MOST : stamp;
}

// From a graph paused on the picture of e.frame, after a seek to its centre.
void RunFromPicture()
{
    Engine &e = g_engine;
    e.pictureDelay = PictureDelay();
    OpenTraceMark("play: picture delay read");
    Run();
    OpenTraceMark("play: run");
    e.mode = MODE_PLAYING;
    Report(e.frame);
    StartTimer();
    OpenTraceMark("play: report and timer");
}

void Play()
{
    Engine &e = g_engine;
    if (e.mode == MODE_PLAYING)
        return;
    LONG from = e.frame;
    if (from >= LastFrame() && e.frameCount > 1)
        from = 0;  // play at the end starts the media again, as players do
    e.windSeekPending = false;
    if (FAILED(SeekPaused(from, true)))
        return;
    RunFromPicture();
}

void Wind(int direction)
{
    Engine &e = g_engine;
    LONG origin = CurrentFrame();
    StopTimer();
    e.control->Pause();
    e.mode = MODE_WINDING;
    e.windDirection = direction;
    e.windOrigin = origin;
    e.windStartTick = GetTickCount();
    e.windSeekPending = false;
    SeekPaused(origin, true);
    Report(e.frame);
    StartTimer();
}

void GoTo(LONGLONG frame) { StillAt(ClampFrame(frame, g_engine.frameCount), MODE_PAUSED); }

// A graph takes a new clock only while stopped: the picture goes back to where it was, and
// playing or winding goes on from there.
void ChangeClock()
{
    Engine &e = g_engine;
    LONG frame = CurrentFrame();
    bool playing = e.mode == MODE_PLAYING;
    StopTimer();
    StopGraph();
    ChooseGraphClock();
    e.windSeekPending = false;
    SeekPaused(frame, true);
    if (playing) {
        RunFromPicture();
        return;
    }
    Report(e.frame);
    if (e.mode == MODE_WINDING)
        StartTimer();
}

}  // namespace

MediaTime PlayingTime()
{
    REFERENCE_TIME elapsed = ClockNow() - g_engine.runStart - g_engine.pictureDelay;
    return g_engine.seekTarget + (elapsed > 0 ? elapsed : 0);
}

void FollowLongerStream()
{
    Engine &e = g_engine;
    if (!e.durationEstimated || e.mode != MODE_PLAYING || e.duration <= 0 ||
        PlayingTime() < e.duration)
        return;
    // Pictures keep coming after an estimated duration: the media goes on as long as they do; the
    // end is the completion event, or a second without a new picture.
    MediaTime stamp = 0;
    if (!RendererStamp(&stamp))
        return;
    MediaTime lastPicture = e.seekTarget + stamp - e.pictureDelay;
    if (lastPicture < e.duration)
        return;
    e.duration = lastPicture + (MediaTime)(UNITS_PER_SECOND / e.rate + 0.5);
    e.frameCount = FrameCount(e.duration, e.rate);
}

LONG PlayingFrame() { return ClampFrame(FrameAtTime(PlayingTime(), g_engine.rate), g_engine.frameCount); }

// The open has just left the graph paused on the picture of frame 0, after a seek to its centre
// from stopped: the state Play's own seek would bring about again, at the cost of a flush and
// the same picture decoded twice. A file reopened where it was left starts from there, so its
// first report and its first sound are of that frame.
void PlayOpened(LONG from)
{
    Engine &e = g_engine;
    if (e.mode != MODE_PAUSED)
        return;
    e.windSeekPending = false;
    if (from > 0 && from < LastFrame() && FAILED(SeekPaused(from, true)))
        return;
    RunFromPicture();
}

void PauseAt(LONG frame) { StillAt(frame, MODE_PAUSED); }

void EndOfMedia()
{
    PauseAt(LastFrame());
    // Sent, from the timer: a later request of the user's can never be undone by it.
    SendNotice(ENGINE_NOTIFY_PAUSED, g_engine.frame);
}

void WindTick()
{
    Engine &e = g_engine;
    if (e.windSeekPending) {
        OAFilterState state;
        if (e.control->GetState(0, &state) == VFW_S_STATE_INTERMEDIATE)
            return;  // the newest target waits for the picture of the one before
        e.windSeekPending = false;
        Report(e.frame);
    }
    LONG end = e.windDirection < 0 ? 0 : LastFrame();
    if (e.frame == end) {
        e.mode = MODE_PAUSED;
        StopTimer();
        SendNotice(ENGINE_NOTIFY_PAUSED, e.frame);
        return;
    }
    double elapsedSeconds = (GetTickCount() - e.windStartTick) / 1000.0;
    LONGLONG target = e.windOrigin +
                      (LONGLONG)(e.windDirection * WIND_SPEED * e.rate * elapsedSeconds);
    target = ClampFrame(target, e.frameCount);
    if (target == e.frame)
        return;
    if (SUCCEEDED(SeekPaused((LONG)target, false)))
        e.windSeekPending = true;
}

LONG ChangeSpeed(LONG percent)
{
    Engine &e = g_engine;
    if (percent < SPEED_SLOWEST)
        percent = SPEED_SLOWEST;
    if (percent > SPEED_FASTEST)
        percent = SPEED_FASTEST;
    if (percent == SpeedPercent())
        return percent;
    bool newClock = ClockChangeNeeded(percent);
    e.speed = percent;
    if (e.mode == MODE_NO_FILE || e.opening)
        return percent;  // the next graph gets the clock for it
    if (newClock) {
        ChangeClock();
    } else {
        FollowSpeed();
        if (e.mode == MODE_PLAYING)
            StartTimer();  // reports keep up with the pictures
    }
    return percent;
}

// A speed asked for while the file was being opened (the Player window answers other programs
// then) may have come after the graph took its clock: the clock follows it now.
void SpeedAfterOpen()
{
    Engine &e = g_engine;
    bool onOurClock = e.speedClock != NULL;
    if (onOurClock != (SpeedPercent() != SPEED_NORMAL))
        ChangeClock();
    else if (onOurClock)
        FollowSpeed();
}

LONG Control(LONG request, LONG parameter)
{
    Engine &e = g_engine;
    if (request == QUORVEL_SPEED)
        return ChangeSpeed(parameter);
    if (request == QUORVEL_QUERY_LENGTH)
        return e.mode == MODE_NO_FILE ? 0 : e.frameCount;
    if (request == QUORVEL_START_AT) {
        e.nextStart = parameter > 0 ? parameter : 0;
        return 0;
    }
    if (e.mode == MODE_NO_FILE)
        return 0;
    switch (request) {
    case QUORVEL_PLAY: Play(); break;
    case QUORVEL_PAUSE:
        if (e.mode == MODE_PLAYING || e.mode == MODE_WINDING)
            PauseAt(CurrentFrame());
        break;
    case QUORVEL_STOP: StillAt(0, MODE_STOPPED); break;
    case QUORVEL_REWIND: Wind(-1); break;
    case QUORVEL_FORWARD: Wind(+1); break;
    case QUORVEL_STEP: GoTo((LONGLONG)CurrentFrame() + parameter); break;
    case QUORVEL_SLIDER: GoTo(FrameAtPercent(parameter, e.frameCount)); break;
    case QUORVEL_SEEK: GoTo(parameter); break;
    default: break;
    }
    return 0;
}

void FailWhilePlaying(const char *reason)
{
    Engine &e = g_engine;
    StopTimer();
    CloseGraph();
    ShowMessage(e.path, reason);
    // Sent, not posted: it belongs to this file and must never stop a newer one.
    SendNotice(ENGINE_NOTIFY_FAILED, 0);
}
