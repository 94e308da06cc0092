#pragma once
// Game controllers, through SDL2's controller database: every pad it knows reads as one layout.
// Every connected pad acts; what they hold together is reported as level flags.
#include <cstdint>

struct PadState {
    std::uint8_t up, down, left, right;  // left stick past its dead zone, or the D-pad
    std::uint8_t a, b, start;
    std::uint8_t fire;  // the right shoulder button, or the right trigger past its dead zone (A fires too)
};

// Starts SDL's game-controller part alone (no window, video or audio of SDL's). False when SDL
// could not start: every later call then does nothing and reports nothing held.
bool openGamepads();
// Closes every pad and SDL; later calls report nothing held until the next openGamepads.
void closeGamepads();

// What the pads hold now. Opens pads plugged in since the last call and forgets pads pulled out,
// so a pad pulled out mid-push holds nothing. A stick or trigger counts from a quarter of its
// travel until it falls back below a sixth, so it never chatters at the edge.
PadState readGamepads();

// A short rumble on every open pad that can rumble; nothing on the others.
void rumbleGamepads();
