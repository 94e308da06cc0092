#pragma once
// The running game's display callback and the scene passes the HUD reuses.
#include "game/game_state.h"

struct GLUquadric;
// The one quadric every outlined disk is drawn with (silhouette style once a window exists).
extern GLUquadric* quadric;

void gameDisplay();
