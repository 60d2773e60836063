// Our player of the sound at speeds other than normal, at its own pitch. The decoded sound comes
// from a Sample Grabber's callback into a queue; a thread of ours stretches it in time and plays
// it through waveOut, in step with the graph's clock: the sound of stream time t is heard when
// the clock reaches the run's start plus t.
#include <dshow.h>
#include <math.h>
#include <mmsystem.h>
#include <qedit.h>

#include <deque>
#include <vector>

#include "engine.h"
#include "stretch.h"

namespace {

const double QUEUE_SECONDS = 2.0;        // decoded sound held ahead of the clock at most
const double BLOCK_SECONDS = 0.02;       // one block written to the device
const double DEVICE_AHEAD_SECONDS = 0.25;  // written to the device beyond what it took
const int BLOCKS = 16;
const double RESYNC_SECONDS = 0.25;      // heard further than this off the clock: start afresh
const double CATCH_UP_SECONDS = 1.0;     // an offset is made up over about this long
const double MOST_NUDGE = 0.05;          // so the stretch speed differs by at most 5 %
const double LAG_SECONDS = 0.5;          // the lag's running average spans about this long
const DWORD POLL_MS = 10;
const DWORD QUEUE_WAIT_MS = 50;

struct Chunk {
    REFERENCE_TIME start;          // stream time of its first frame
    std::vector<int16_t> samples;  // interleaved
    size_t used;                   // frames already taken
};

// An output frame, counted since the last start afresh, and the stream time heard there.
struct Mark {
    LONGLONG output;
    REFERENCE_TIME input;
};

REFERENCE_TIME Units(LONGLONG frames, int rate) { return frames * UNITS_PER_SECOND / rate; }

}  // namespace

// Shared by the grabber's streaming thread, the player's thread and the engine's thread: the
// queue and the run state under the lock; the rest is the player thread's own.
struct StretchedSound final : ISampleGrabberCB {
    LONG refs = 1;
    CRITICAL_SECTION lock;
    HANDLE wake = NULL;            // auto-reset: something changed, or the device is done a block
    HANDLE room = NULL;            // manual-reset: the queue has room again
    HANDLE thread = NULL;
    int rate = 0, channels = 0;
    IReferenceClock *clock = NULL;

    // Under the lock.
    std::deque<Chunk> queue;
    LONGLONG queuedFrames = 0;
    REFERENCE_TIME nextStart = 0;  // for a sample without a time of its own
    bool discarding = false;       // a stop is on its way: samples are dropped, nobody waits
    bool running = false;
    bool ending = false;
    LONG generation = 0;           // flushes so far
    REFERENCE_TIME runStart = 0;
    double speed = 1.0;

    // The player thread's own.
    HWAVEOUT device = NULL;
    WAVEHDR headers[BLOCKS] = {};
    std::vector<int16_t> blocks[BLOCKS];
    TimeStretch stretch;
    std::vector<int16_t> ready;    // stretched, not yet in a block
    LONGLONG written = 0;          // output frames written since the last start afresh
    LONGLONG playedBase = 0;       // the device's position at that start
    std::deque<Mark> marks;
    REFERENCE_TIME inputOrigin = -1;  // stream time of the stretcher's first input frame
    LONGLONG pushed = 0;           // frames given to the stretcher
    LONG seenGeneration = 0;
    double lag = 0;                // seconds the sound is heard behind the clock, smoothed
    REFERENCE_TIME lagTime = 0;    // clock time of its last measure
    bool started = false;          // the device plays: it was held while its first blocks came
    LONGLONG held = 0;             // frames the device took at once when it started

    STDMETHODIMP QueryInterface(REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(ISampleGrabberCB)) {
            *out = static_cast<ISampleGrabberCB *>(this);
            AddRef();
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&refs);
        if (left == 0)
            delete this;
        return left;
    }
    STDMETHODIMP BufferCB(double, BYTE *, LONG) override { return E_NOTIMPL; }

    // On the streaming thread, one decoded buffer at a time. Waits while the queue is full,
    // which holds the decoder back: the clock empties the queue as the sound is played.
    STDMETHODIMP SampleCB(double, IMediaSample *sample) override
    {
        BYTE *data = NULL;
        if (FAILED(sample->GetPointer(&data)))
            return S_OK;
        size_t frames = (size_t)sample->GetActualDataLength() / (sizeof(int16_t) * channels);
        REFERENCE_TIME start = 0, end = 0;
        bool timed = SUCCEEDED(sample->GetTime(&start, &end));
        LONGLONG limit = (LONGLONG)(QUEUE_SECONDS * rate);
        EnterCriticalSection(&lock);
        while (!discarding && !ending && queuedFrames >= limit) {
            ResetEvent(room);
            LeaveCriticalSection(&lock);
            WaitForSingleObject(room, QUEUE_WAIT_MS);
            EnterCriticalSection(&lock);
        }
        if (!discarding && !ending && frames > 0) {
            const int16_t *first = (const int16_t *)data;
            Chunk chunk = {timed ? start : nextStart,
                           std::vector<int16_t>(first, first + frames * channels), 0};
            nextStart = chunk.start + Units((LONGLONG)frames, rate);
            queue.push_back(std::move(chunk));
            queuedFrames += (LONGLONG)frames;
        }
        LeaveCriticalSection(&lock);
        SetEvent(wake);
        return S_OK;
    }

    // Under the lock: frames of the queue before stream time t leave it.
    void DropBefore(REFERENCE_TIME t)
    {
        while (!queue.empty()) {
            Chunk &c = queue.front();
            LONGLONG total = (LONGLONG)(c.samples.size() / channels);
            LONGLONG late = (t - c.start) * rate / UNITS_PER_SECOND;
            if (late <= (LONGLONG)c.used)
                break;
            LONGLONG drop = (late < total ? late : total) - (LONGLONG)c.used;
            c.used += (size_t)drop;
            queuedFrames -= drop;
            if ((LONGLONG)c.used < total)
                break;
            queue.pop_front();
        }
        SetEvent(room);
    }

    // Under the lock: up to most frames from the front of the queue into out; their start time.
    size_t Take(size_t most, std::vector<int16_t> *out, REFERENCE_TIME *start)
    {
        if (queue.empty())
            return 0;
        Chunk &c = queue.front();
        size_t total = c.samples.size() / channels;
        size_t count = total - c.used < most ? total - c.used : most;
        *start = c.start + Units((LONGLONG)c.used, rate);
        const int16_t *from = &c.samples[c.used * channels];
        out->assign(from, from + count * channels);
        c.used += count;
        queuedFrames -= (LONGLONG)count;
        if (c.used == total)
            queue.pop_front();
        SetEvent(room);
        return count;
    }

    LONGLONG Played()
    {
        MMTIME position = {};
        position.wType = TIME_SAMPLES;
        if (!device || waveOutGetPosition(device, &position, sizeof position) != MMSYSERR_NOERROR ||
            position.wType != TIME_SAMPLES)
            return playedBase + written;
        return (LONGLONG)position.u.sample;
    }

    // What is heard now was taken from the input at this stream time; false before any sound.
    // Under Wine the device's position counts what it was handed, which runs ahead of what is
    // heard by what it holds: as much as it took the moment it started.
    bool Heard(double pace, REFERENCE_TIME *t)
    {
        LONGLONG played = Played() - playedBase - held;
        if (played < 0)
            played = 0;
        while (marks.size() > 1 && marks[1].output <= played)
            marks.pop_front();
        if (marks.empty() || written == 0)
            return false;
        const Mark &m = marks.front();
        *t = m.input + (REFERENCE_TIME)(Units(played - m.output, rate) * pace);
        return true;
    }

    void StartAfresh(double pace)
    {
        if (device) {
            waveOutReset(device);
            waveOutPause(device);
        }
        started = false;
        held = 0;
        playedBase = 0;
        playedBase = Played();
        lag = 0;
        StartTimeStretch(&stretch, rate, channels, pace);
        ready.clear();
        written = 0;
        marks.clear();
        inputOrigin = -1;
        pushed = 0;
    }

    // Far behind the clock: what the device holds plays out, and the stretcher goes on from the
    // input that will be due when it has. A jump in the sound, but no gap.
    void SkipTo(REFERENCE_TIME streamNow, double pace)
    {
        LONGLONG ahead = written - (Played() - playedBase - held);  // still to be heard
        StartTimeStretch(&stretch, rate, channels, pace);
        ready.clear();
        inputOrigin = -1;
        pushed = 0;
        lag = 0;
        EnterCriticalSection(&lock);
        DropBefore(streamNow + (REFERENCE_TIME)(Units(ahead > 0 ? ahead : 0, rate) * pace));
        LeaveCriticalSection(&lock);
    }

    // Stretches input until a block's worth of output is ready; false when the queue ran dry.
    bool Stretch(size_t blockFrames)
    {
        std::vector<int16_t> input;
        while (ready.size() / channels < blockFrames) {
            REFERENCE_TIME start = 0;
            EnterCriticalSection(&lock);
            size_t count = Take(blockFrames, &input, &start);
            LeaveCriticalSection(&lock);
            if (count == 0)
                return false;
            if (inputOrigin < 0)
                inputOrigin = start;
            PushTimeStretch(&stretch, input.data(), count, &ready);
            pushed += (LONGLONG)count;
            if (stretch.previous >= 0) {
                Mark m = {written + (LONGLONG)(ready.size() / channels),
                          inputOrigin + Units(stretch.previous + stretch.hop, rate)};
                marks.push_back(m);
            }
        }
        return true;
    }

    WAVEHDR *FreeHeader()
    {
        for (WAVEHDR &h : headers)
            if (!(h.dwFlags & WHDR_INQUEUE))
                return &h;
        return NULL;
    }

    void WriteBlock(WAVEHDR *header, size_t blockFrames)
    {
        std::vector<int16_t> &block = blocks[header - headers];
        block.assign(ready.begin(), ready.begin() + blockFrames * channels);
        ready.erase(ready.begin(), ready.begin() + blockFrames * channels);
        if (header->dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(device, header, sizeof *header);
        header->lpData = (LPSTR)block.data();
        header->dwBufferLength = (DWORD)(block.size() * sizeof(int16_t));
        header->dwFlags = 0;
        waveOutPrepareHeader(device, header, sizeof *header);
        waveOutWrite(device, header, sizeof *header);
        written += (LONGLONG)blockFrames;
    }

    // Writes stretched blocks until the device holds enough beyond what is heard.
    void WriteAhead()
    {
        size_t blockFrames = (size_t)(BLOCK_SECONDS * rate);
        LONGLONG aheadMost = (LONGLONG)(DEVICE_AHEAD_SECONDS * rate);
        for (;;) {
            WAVEHDR *header = FreeHeader();
            if (!header || written - (Played() - playedBase) >= aheadMost || !Stretch(blockFrames))
                return;
            WriteBlock(header, blockFrames);
        }
    }

    // Before the run's start the device is held and given its first blocks, from the sound of
    // the picture the run starts at: when the clock gets there, the device need only go. A
    // player that starts only then begins behind by its own start-up.
    void Preroll(REFERENCE_TIME now, REFERENCE_TIME start, double pace)
    {
        if (written == 0 && pushed == 0) {
            EnterCriticalSection(&lock);
            DropBefore(now > start ? now - start : 0);  // late all the same: from the clock on
            LeaveCriticalSection(&lock);
        }
        SetTimeStretchSpeed(&stretch, pace);
        WriteAhead();
        if (now < start || written == 0)
            return;
        waveOutRestart(device);
        held = Played() - playedBase;
        held = held < 0 ? 0 : held > written ? written : held;
        started = true;
        lagTime = now;
    }

    // The lag as an average over time: a burst of wake-ups, as the decoder fills the queue,
    // weighs no more than a quiet stretch of the same length.
    void MeasureLag(double measured, REFERENCE_TIME now, double pace)
    {
        double seconds = (double)(now - lagTime) / UNITS_PER_SECOND / pace;  // real time
        lagTime = now;
        double share = seconds / LAG_SECONDS;
        lag += (measured - lag) * (share < 1 ? share : 1);
    }

    // Keeps the device a little ahead of what is heard, in step with the clock.
    void Feed(REFERENCE_TIME start, double pace)
    {
        REFERENCE_TIME now = 0;
        if (!clock || FAILED(clock->GetTime(&now)))
            return;
        if (device && !started) {
            Preroll(now, start, pace);
            return;
        }
        if (now < start)
            return;  // the run begins on a later tick
        REFERENCE_TIME streamNow = now - start;
        if (!device) {
            // Without a device the sound goes by at the clock's pace.
            EnterCriticalSection(&lock);
            DropBefore(streamNow);
            LeaveCriticalSection(&lock);
            return;
        }
        REFERENCE_TIME heard = 0;
        if (Heard(pace, &heard)) {
            // The device reports its position in steps: the lag is taken as a running average.
            double measured = (double)(streamNow - heard) / UNITS_PER_SECOND;
            MeasureLag(measured, now, pace);
            if (lag > RESYNC_SECONDS)
                SkipTo(streamNow, pace);
            else if (lag < -RESYNC_SECONDS)
                return;  // far ahead: the device runs dry until the clock is there
        }
        double nudge = lag / CATCH_UP_SECONDS;
        nudge = nudge > MOST_NUDGE ? MOST_NUDGE : nudge < -MOST_NUDGE ? -MOST_NUDGE : nudge;
        SetTimeStretchSpeed(&stretch, pace * (1 + nudge));
        WriteAhead();
    }

    void Play()
    {
        for (;;) {
            WaitForSingleObject(wake, POLL_MS);
            EnterCriticalSection(&lock);
            if (ending) {
                LeaveCriticalSection(&lock);
                break;
            }
            bool flushed = generation != seenGeneration;
            seenGeneration = generation;
            bool run = running;
            REFERENCE_TIME start = runStart;
            double pace = speed;
            LeaveCriticalSection(&lock);
            if (flushed)
                StartAfresh(pace);
            if (run)
                Feed(start, pace);
        }
        if (device) {
            waveOutReset(device);
            for (WAVEHDR &h : headers)
                if (h.dwFlags & WHDR_PREPARED)
                    waveOutUnprepareHeader(device, &h, sizeof h);
            waveOutClose(device);
            device = NULL;
        }
    }

    static DWORD WINAPI PlayerThread(void *self)
    {
        ((StretchedSound *)self)->Play();
        return 0;
    }

    ~StretchedSound()
    {
        if (clock)
            clock->Release();
        if (wake)
            CloseHandle(wake);
        if (room)
            CloseHandle(room);
        DeleteCriticalSection(&lock);
    }
};

namespace {

HWAVEOUT OpenDevice(int rate, int channels, HANDLE done)
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (WORD)channels;
    format.nSamplesPerSec = (DWORD)rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = (WORD)(channels * sizeof(int16_t));
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    HWAVEOUT device = NULL;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, (DWORD_PTR)done, 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR)
        return NULL;
    return device;
}

}  // namespace

StretchedSound *StartStretchedSound(int rate, int channels, IReferenceClock *clock, double speed)
{
    StretchedSound *s = new StretchedSound;
    InitializeCriticalSection(&s->lock);
    s->rate = rate;
    s->channels = channels;
    s->speed = speed;
    s->clock = clock;
    if (clock)
        clock->AddRef();
    s->wake = CreateEventA(NULL, FALSE, FALSE, NULL);
    s->room = CreateEventA(NULL, TRUE, TRUE, NULL);
    s->device = OpenDevice(rate, channels, s->wake);  // none: the sound is dropped in step
    StartTimeStretch(&s->stretch, rate, channels, speed);
    if (s->wake && s->room)
        s->thread = CreateThread(NULL, 0, StretchedSound::PlayerThread, s, 0, NULL);
    if (!s->thread) {
        if (s->device)
            waveOutClose(s->device);
        s->Release();
        return NULL;
    }
    return s;
}

void StopStretchedSound(StretchedSound *s)
{
    EnterCriticalSection(&s->lock);
    s->ending = true;
    LeaveCriticalSection(&s->lock);
    SetEvent(s->wake);
    SetEvent(s->room);
    WaitForSingleObject(s->thread, INFINITE);
    CloseHandle(s->thread);
    s->thread = NULL;
    s->Release();
}

ISampleGrabberCB *GrabberCallback(StretchedSound *player) { return player; }

namespace {

// Changes the player's run state under its lock, and wakes its thread to act on it.
template <class F> void ChangePlayer(F change)
{
    StretchedSound *s = g_engine.soundRoute.player;
    if (!s)
        return;
    EnterCriticalSection(&s->lock);
    change(*s);
    LeaveCriticalSection(&s->lock);
    SetEvent(s->room);
    SetEvent(s->wake);
}

}  // namespace

// Before the graph stops: a streaming thread waiting for room in the queue must not hold the
// stop up, and what was queued belongs to the old position.
void FlushStretchedSound()
{
    ChangePlayer([](StretchedSound &s) {
        s.discarding = true;
        s.running = false;
        s.generation++;
        s.queue.clear();
        s.queuedFrames = 0;
        s.nextStart = 0;  // the next position's stream time begins again at its seek
    });
}

// Once the graph has stopped: the samples of the next position may come.
void AcceptStretchedSound() { ChangePlayer([](StretchedSound &s) { s.discarding = false; }); }

void RunStretchedSound(REFERENCE_TIME runStart)
{
    ChangePlayer([runStart](StretchedSound &s) {
        s.runStart = runStart;
        s.running = true;
    });
}

void SetStretchedSoundSpeed(double speed)
{
    ChangePlayer([speed](StretchedSound &s) { s.speed = speed; });
}

bool StretchedSoundPlaying() { return g_engine.soundRoute.player != NULL; }
