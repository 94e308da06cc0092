#pragma once
// The running game's display callback and the scene passes the HUD reuses.
#include "game/game_state.h"

// What the scene draws but does not own; the application fills it at start-up.
struct SceneHooks {
    // The end-of-game message's lines in the current language: "Game Over", then "You win!".
    const char* (*endText)(bool won);
};
extern SceneHooks sceneHooks;

// Shows the frame drawn last, draws the next and asks for another call.
void gameDisplay();
// One frame of the game, drawn and flushed (not shown).
void drawGameFrame();

// The ship at its pose, as given: the HUD draws its icon from a copy.
void drawShip(const PlayerShip& ship);
void drawShots();
void drawBursts();
// Flickers every star by a fresh random() each frame.
void drawStars();
// The bonus item, if any; its colour flickers by a fresh random() each frame.
void drawBonus();
// An item as given (the HUD's readout draws a copy), flickering the same way.
void drawBonusItem(const BonusItem& item);
