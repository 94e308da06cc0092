#pragma once
// The one game window and the full-screen display mode.
#include "app/display_mode.h"

// True when the switch was refused.
bool changeDisplayMode(DisplayMode mode);
// 0 on success; 1 when full screen was refused (no window is created then).
int createGameWindow();
void reshapeWindow(int w, int h);
// True when full screen was refused; the current window is kept then.
bool recreateGameWindow();
// Ends the process through the normal exit, so the exit handlers run. Drawing still in flight is
// finished first: the GL driver compiles what a late flush needs with parts of its compiler that
// the exit has already destroyed, and would crash.
[[noreturn]] void endProgram(int status);
// One turn of a loop that waits for keys inside a callback: the window's own events are handled
// (repaint, activation, the system's are-you-alive pings), then a millisecond passes; nothing
// while no window exists.
void serviceWindowWhileWaiting();
// True while a GLUT window exists (false in tests that run without one).
bool gameWindowExists();

// The view box the reshape callback sets for a window of w x h pixels.
struct ViewBox {
    double left;
    double right;
    double bottom;
    double top;
};
ViewBox viewBoxFor(int w, int h);
