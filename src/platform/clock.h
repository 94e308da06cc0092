#pragma once
// Time for the game's timers and the frame limiter.

// Whole milliseconds since the program started, from the monotonic clock (1 ms tick).
double clockMs();

// Calendar time in seconds, the seed the generator is restarted from.
unsigned calendarTime();
