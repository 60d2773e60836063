// A reference clock that runs at a multiple of real time. Under Wine the graph's rate change
// (IMediaSeeking::SetRate) does nothing, but the renderers schedule every sample by the graph's
// clock: handed this clock, the graph plays at its speed. A change of speed keeps the clock's
// time continuous, so that running filters see no jump.
#include "speed_clock.h"

#include <vector>

namespace {

const DWORD MOST_WAIT_MS = 50;  // the advise thread looks again at least this often

LONGLONG RealUnits()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // Split so that the product cannot overflow in a long run.
    LONGLONG seconds = now.QuadPart / frequency.QuadPart;
    LONGLONG rest = now.QuadPart % frequency.QuadPart;
    return seconds * 10000000 + rest * 10000000 / frequency.QuadPart;
}

struct Advice {
    DWORD_PTR cookie;
    REFERENCE_TIME due;
    REFERENCE_TIME period;  // 0: once, signalling an event; else a semaphore each period
    HANDLE signal;
};

struct SpeedClock final : IReferenceClock {
    LONG refs = 1;
    CRITICAL_SECTION lock;
    double speed = 1.0;
    REFERENCE_TIME base = 0;   // clock time at realBase
    LONGLONG realBase = 0;
    REFERENCE_TIME last = 0;   // never goes back
    std::vector<Advice> advices;
    DWORD_PTR nextCookie = 1;
    HANDLE wake = NULL;
    HANDLE thread = NULL;
    bool ending = false;

    // Under the lock.
    REFERENCE_TIME Now()
    {
        REFERENCE_TIME t = base + (REFERENCE_TIME)((RealUnits() - realBase) * speed);
        if (t < last)
            t = last;
        last = t;
        return t;
    }

    // Under the lock: signals what is due, and says how long the thread may sleep.
    DWORD FireDue()
    {
        REFERENCE_TIME now = Now();
        REFERENCE_TIME nearest = -1;
        for (size_t i = 0; i < advices.size();) {
            Advice &a = advices[i];
            if (a.due <= now) {
                if (a.period == 0) {
                    SetEvent(a.signal);
                    advices.erase(advices.begin() + i);
                    continue;
                }
                ReleaseSemaphore(a.signal, 1, NULL);
                a.due += a.period;
                if (a.due <= now)
                    a.due = now + a.period;  // a late thread catches up, it does not burst
            }
            if (nearest < 0 || a.due < nearest)
                nearest = a.due;
            i++;
        }
        if (nearest < 0)
            return MOST_WAIT_MS;
        double ms = (nearest - now) / speed / 10000.0;
        return ms >= MOST_WAIT_MS ? MOST_WAIT_MS : (DWORD)ms + 1;
    }

    static DWORD WINAPI AdviseThread(void *self)
    {
        SpeedClock *clock = (SpeedClock *)self;
        for (;;) {
            EnterCriticalSection(&clock->lock);
            if (clock->ending) {
                LeaveCriticalSection(&clock->lock);
                return 0;
            }
            DWORD wait = clock->FireDue();
            LeaveCriticalSection(&clock->lock);
            WaitForSingleObject(clock->wake, wait);
        }
    }

    HRESULT Add(REFERENCE_TIME due, REFERENCE_TIME period, HANDLE signal, DWORD_PTR *cookie)
    {
        if (!cookie)
            return E_POINTER;
        if (!signal)
            return E_INVALIDARG;
        EnterCriticalSection(&lock);
        Advice a = {nextCookie++, due, period, signal};
        advices.push_back(a);
        *cookie = a.cookie;
        LeaveCriticalSection(&lock);
        SetEvent(wake);
        return S_OK;
    }

    STDMETHODIMP QueryInterface(REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IReferenceClock) {
            *out = static_cast<IReferenceClock *>(this);
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
        if (left == 0) {
            EnterCriticalSection(&lock);
            ending = true;
            LeaveCriticalSection(&lock);
            SetEvent(wake);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
            CloseHandle(wake);
            DeleteCriticalSection(&lock);
            delete this;
        }
        return left;
    }

    STDMETHODIMP GetTime(REFERENCE_TIME *time) override
    {
        if (!time)
            return E_POINTER;
        EnterCriticalSection(&lock);
        REFERENCE_TIME before = last;
        *time = Now();
        LeaveCriticalSection(&lock);
        return *time == before ? S_FALSE : S_OK;
    }
    STDMETHODIMP AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT event,
                            DWORD_PTR *cookie) override
    {
        return Add(baseTime + streamTime, 0, (HANDLE)event, cookie);
    }
    STDMETHODIMP AdvisePeriodic(REFERENCE_TIME start, REFERENCE_TIME period, HSEMAPHORE semaphore,
                                DWORD_PTR *cookie) override
    {
        if (period <= 0)
            return E_INVALIDARG;
        return Add(start, period, (HANDLE)semaphore, cookie);
    }
    STDMETHODIMP Unadvise(DWORD_PTR cookie) override
    {
        EnterCriticalSection(&lock);
        HRESULT hr = S_FALSE;
        for (size_t i = 0; i < advices.size(); i++)
            if (advices[i].cookie == cookie) {
                advices.erase(advices.begin() + i);
                hr = S_OK;
                break;
            }
        LeaveCriticalSection(&lock);
        return hr;
    }
};

}  // namespace

IReferenceClock *CreateSpeedClock(double speed)
{
    SpeedClock *clock = new SpeedClock;
    InitializeCriticalSection(&clock->lock);
    clock->speed = speed > 0 ? speed : 1.0;
    clock->realBase = RealUnits();
    clock->wake = CreateEventA(NULL, FALSE, FALSE, NULL);
    clock->thread = CreateThread(NULL, 0, SpeedClock::AdviseThread, clock, 0, NULL);
    return clock;
}

void SetSpeedClockSpeed(IReferenceClock *clock, double speed)
{
    if (!clock || !(speed > 0))
        return;
    SpeedClock *c = static_cast<SpeedClock *>(clock);
    EnterCriticalSection(&c->lock);
    c->base = c->Now();
    c->realBase = RealUnits();
    c->speed = speed;
    LeaveCriticalSection(&c->lock);
    SetEvent(c->wake);
}
