#pragma once
// The one game window and the full-screen display mode.
#include "platform/draw_backend.h"
#include "render/display_mode.h"

// True when the switch was refused.
bool changeDisplayMode(DisplayMode mode);
// 0 on success; 1 when full screen was refused (no window is created then).
int createGameWindow();
void reshapeWindow(int w, int h);
// True when full screen was refused; the current window is kept then.
bool recreateGameWindow();

// The view box the reshape callback sets for a window of w x h pixels.
ViewBox viewBoxFor(int w, int h);
