#pragma once
// The head-up display: ship and enemy icons, lives, shield, enemies left, frame rate, wave and
// score, the volume for a moment after F7/F8, and the weapon strength.

// The icons are drawn from copies of enemy record 0 and of the ship, placed in the corner at half
// size; no game record changes.
void drawHud();
void drawBonusReadout(float px, float py);
