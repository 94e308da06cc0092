#include "platform/port.h"

// A page has no console window of its own.
void hideConsoleWindow() {}
