#pragma once
// Drawing tests run the real drawing code in a real window (Xvfb, Mesa) and read back either the
// primitives GL emits (feedback mode, support/gl_test_support.h) or the pixels.
#include "support/gl_test_support.h"

#include <vector>

// The game window at width x height (the field's size, so one game unit is one pixel), with the
// game's records prepared for that resolution, the quadric and the fonts. False without a display.
bool openRenderWindow(unsigned width = 800, unsigned height = 600);

// Puts the game's records into a quiet state: no enemies, shots, bursts, bonus item, stars,
// countdown or end text, full shield, three lives.
void clearScene();

// The back buffer as RGB bytes, rows bottom-up.
std::vector<unsigned char> readBackBuffer();
unsigned windowWidth();
