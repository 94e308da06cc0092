#pragma once
// Time for the game's timers and the frame limiter.

// Whole milliseconds since the program started, from the monotonic clock (1 ms tick).
double clockMs();

// Calendar time in seconds, the seed the generator is restarted from.
unsigned calendarTime();

// Each port: its monotonic clock in milliseconds, fractions kept, never going back (clockMs counts
// from its value at start-up); and a sleep that yields the processor for about ms milliseconds.
double monotonicMs();
void sleepMs(unsigned ms);
