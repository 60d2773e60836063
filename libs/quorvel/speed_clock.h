// The engine's reference clock for playing at a speed other than normal.
#pragma once

#include <dshow.h>

// A new clock (one reference held by the caller) running at speed times real time from 0.
IReferenceClock *CreateSpeedClock(double speed);
// Only for a clock made by CreateSpeedClock. Its time goes on from where it is, at the new pace.
void SetSpeedClockSpeed(IReferenceClock *clock, double speed);
