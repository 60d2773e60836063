// Playing at a speed other than normal. The graph's own rate change does nothing under Wine, so
// the graph gets a clock of ours that runs at the speed: the renderers show each picture when
// that clock reaches it, and the position, counted from the graph's clock, stays true without
// any change to its arithmetic. At normal speed the graph keeps the clock it chose itself.
// The stock sound renderer would play at its own pace and pitch: at other speeds the sound goes
// to our stretcher instead, and a sound that cannot go there is muted.
#include "engine.h"
#include "speed_clock.h"

namespace {

const long VOLUME_SILENT = -10000;  // IBasicAudio: hundredths of a decibel
const long VOLUME_FULL = 0;

void SetSound(bool on)
{

    IBasicAudio *audio = NULL;
    if (!g_engine.graph ||
        FAILED(g_engine.graph->QueryInterface(IID_IBasicAudio, (void **)&audio)))
        return;
    audio->put_Volume(on ? VOLUME_FULL : VOLUME_SILENT);  // fails harmlessly without sound
    audio->Release();
}

}  // namespace

LONG SpeedPercent() { return g_engine.speed ? g_engine.speed : (LONG)SPEED_NORMAL; }

// Normal speed and the others play by different clocks.
bool ClockChangeNeeded(LONG newSpeed)
{
    return (SpeedPercent() == SPEED_NORMAL) != (newSpeed == SPEED_NORMAL);
}

// With the graph stopped (a clock is taken only then), before it pauses again.
void ChooseGraphClock()
{
    Engine &e = g_engine;
    // The clock given up may be Wine's system clock, whose release can hang as at teardown.
    HANDLE clockTick = KeepClockAwake();
    ForgetSpeedClock();
    RouteSoundToRenderer();
    if (SpeedPercent() == SPEED_NORMAL) {
        e.graph->SetDefaultSyncSource();
    } else {
        e.speedClock = CreateSpeedClock(SpeedPercent() / 100.0);
        if (FAILED(e.mediaFilter->SetSyncSource(e.speedClock)))
            e.graph->SetDefaultSyncSource();
        else if (!RouteSoundToStretcher(e.speedClock, SpeedPercent() / 100.0))
            SetSound(false);  // a sound we cannot stretch is not played at the wrong pace
    }
    if (e.clock)
        e.clock->Release();
    e.clock = NULL;
    e.mediaFilter->GetSyncSource(&e.clock);
    if (clockTick)
        CloseHandle(clockTick);
}

void ForgetSpeedClock()
{
    Engine &e = g_engine;
    if (!e.speedClock)
        return;
    e.speedClock->Release();
    e.speedClock = NULL;
    SetSound(true);
}

// A new speed between two speeds other than normal: the clock goes on at the new pace.
void FollowSpeed()
{
    SetSpeedClockSpeed(g_engine.speedClock, SpeedPercent() / 100.0);
    SetStretchedSoundSpeed(SpeedPercent() / 100.0);
}
