#include "app/window.h"

// Placeholder: replaced by the real window code.
DisplayMode displayMode{};
bool changeDisplayMode(DisplayMode) { return true; }
int createGameWindow() { return 0; }
void reshapeWindow(int, int) {}
bool recreateGameWindow() { return false; }
bool gameWindowExists() { return false; }
ViewBox viewBoxFor(int, int) { return ViewBox{0, 3, 0, 3}; }
