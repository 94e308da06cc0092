#pragma once
// Wall-clock time for the game's timers and the frame limiter.

// Whole milliseconds since the program started, from a monotonic clock (1 ms tick).
double clockMs();

// Calendar time in seconds, the seed the generator is restarted from.
unsigned calendarTime();

// Yields the processor for about one millisecond per unit.
void sleepMs(unsigned ms);

// Tests drive the game clock themselves: while a source is set, clockMs() returns its value.
// nullptr restores the real clock.
void setClockSource(double (*source)());

// Each platform's monotonic clock in milliseconds, fractions kept; clockMs counts from its
// value at start-up.
double monotonicMs();
