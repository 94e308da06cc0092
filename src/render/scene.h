#pragma once
// The running game's display callback and the scene passes the HUD reuses.
#include "game/game_state.h"

struct GLUquadric;
// The one quadric every outlined disk is drawn with (silhouette style once a window exists).
extern GLUquadric* quadric;

void gameDisplay();

// The ship at its pose; while iconMode is 0 it also leaves the muzzle where the nose is drawn.
void drawShip(PlayerShip& ship);
void drawShots();
void drawBursts();
// Flickers every star by a fresh random() each frame.
void drawStars();
// The bonus item, if any; its colour flickers by a fresh random() each frame.
void drawBonus();
