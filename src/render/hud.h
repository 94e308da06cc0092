#pragma once
// The head-up display: ship and enemy icons, lives, shield, enemies left, frame rate, wave and
// score, the volume for a moment after F7/F8, and the weapon strength.

// Borrows enemy record 0, the AntennaEnemy scale, the ship's pose and scale and the bonus item for its
// icons and puts every one of them back before it returns.
void drawHud();
void drawBonusReadout(float px, float py);
