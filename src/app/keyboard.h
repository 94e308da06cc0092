#pragma once
#include "game/input.h"

// Refreshes every flag of the record from the keyboard and the game pads, only while our window
// has the focus; without it every flag reads released and keyboardUnseen is set.
// F12 resets the MIDI output and ends the program with status 1.
void pollKeyboard(KeyBindings& bindings);
