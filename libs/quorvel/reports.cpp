// Position reports to the Player window, driven by window timer 5 of that window with a timer
// procedure of our own (the Player window ignores WM_TIMER). Graph events are drained here too.
#include "engine.h"

namespace {

const MediaTime END_GRACE = 10000000;  // 1 s past the end without a completion event is the end

struct GraphNews {
    bool complete;
    bool failed;
};

GraphNews DrainEvents()
{
    GraphNews news = {false, false};
    long code;
    LONG_PTR p1, p2;
    while (g_engine.events && g_engine.events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        if (code == EC_COMPLETE)
            news.complete = true;
        else if (code == EC_ERRORABORT || code == EC_STREAM_ERROR_STOPPED || code == EC_USERABORT)
            news.failed = true;
        g_engine.events->FreeEventParams(code, p1, p2);
    }
    return news;
}

void OnTick()
{
    Engine &e = g_engine;
    GraphNews news = DrainEvents();
    if (news.failed && e.mode == MODE_PLAYING) {
        FailWhilePlaying("the file is damaged or cannot be decoded");
        return;
    }
    if (e.mode == MODE_PLAYING) {
        FollowLongerStream();
        // Stretched sound is decoded ahead of the clock: without pictures to wait for, the
        // graph completes early, and the end is where the clock reaches the duration.
        bool early = e.soundOnly && StretchedSoundPlaying();
        bool pastEnd = e.duration > 0 && PlayingTime() >= e.duration + (early ? 0 : END_GRACE);
        if ((news.complete && !early) || pastEnd)
            EndOfMedia();
        else
            Report(PlayingFrame());
    } else if (e.mode == MODE_WINDING) {
        WindTick();
    }
}

void CALLBACK EngineTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    Engine &e = g_engine;
    if (e.busy || !e.player)
        return;
    e.busy = true;
    OnTick();
    e.busy = false;
}

}  // namespace

void Report(LONG frame)
{
    Engine &e = g_engine;
    if (e.player && e.mode != MODE_NO_FILE)
        SendMessageA(e.player, WM_ENGINE_NOTIFY, ENGINE_NOTIFY_POSITION, frame);
    if (e.soundOnly)
        ShowWaveformPosition(frame);
}

void SendNotice(WPARAM kind, LONG value)
{
    if (g_engine.player)
        SendMessageA(g_engine.player, WM_ENGINE_NOTIFY, kind, value);
}

void PostNotice(WPARAM kind, LONG value)
{
    if (g_engine.player)
        PostMessageA(g_engine.player, WM_ENGINE_NOTIFY, kind, value);
}

void StartTimer()
{
    if (g_engine.player)
        SetTimer(g_engine.player, ENGINE_TIMER_ID, ReportTickMs(g_engine.rate * SpeedPercent() / SPEED_NORMAL), EngineTimerProc);
}

void StopTimer()
{
    if (g_engine.player)
        KillTimer(g_engine.player, ENGINE_TIMER_ID);
}
