#pragma once
// The program's mode is the pair of GLUT callbacks registered; every swap goes through here.

enum class AppMode { Menu, NameEntry, Game };

// Registers the mode's display and idle callbacks (when a window exists) and remembers the mode.
void setAppMode(AppMode mode);
AppMode currentAppMode();
