#pragma once
// Drives the game headless: a fake clock, a fixed seed, and key flags the test sets itself.
#include "app/key_bindings.h"
#include "game/game_state.h"

// The keys the test holds; the fake poll copies them into `keys` as the real poll would
// (ship keys read as released while locked, both turn keys together cancel).
struct HeldKeys {
    bool forward, right, left, shoot, back, f2, f7, f8, f9, f11;
};
extern HeldKeys held;

// Counts of the hooks the frame called.
struct HookCalls {
    int backToMenu;
    int resetMidi;
    int sleep1ms;
};
extern HookCalls hookCalls;

// A fresh process state at 800 x 600 and the given time, then a new game with the seed.
void startGame(bool systemTestGame, unsigned seed, double startMs = 100000.0);

// One frame `stepMs` after the previous one: the display's muzzle update, then gameIdle.
void frame(double stepMs = 1.0);
// Frames of `stepMs` until `ms` of game time have passed.
void runFor(double ms, double stepMs = 1.0);

// Puts a live enemy of the kind into the slot, its timers at now and no manoeuvre pending.
Enemy& placeEnemy(int slot, int kind, double x, double y, double heading);
// Frees every enemy slot and stops the spawner, so that a test controls the field alone.
void clearField();

// Every record consistent: aliveCount, positions, free markers, finite values. Returns a
// description of the first broken rule, or an empty string.
const char* checkInvariants();
