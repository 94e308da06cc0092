#include "platform/port.h"

// An X11 program opens no console of its own; its terminal, if any, is the player's.
void hideConsoleWindow() {}
