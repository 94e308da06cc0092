#pragma once
// The program's mode is the pair of window callbacks registered; every swap goes through here.
#include "ui/ui_hooks.h"

// Registers the mode's display and idle callbacks (when a window exists) and remembers the mode.
void setAppMode(AppMode mode);
AppMode currentAppMode();
