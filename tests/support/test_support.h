#pragma once
// Shared helpers for the test programs.

// A clock the test moves by hand: clockMs() returns fakeNow while installed.
extern double fakeNow;
void useFakeClock(double start);
void useRealClock();
