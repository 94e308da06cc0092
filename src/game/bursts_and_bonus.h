#pragma once
// Explosions (bursts of particles) and the bonus item a killed enemy may leave.
#include "game/game_state.h"

// Starts a burst in the first free one of the 50; with none free nothing happens, not even a sound.
void startBurst(double x, double y, bool small);

// Advances every running burst by the steps the elapsed time is worth.
void stepBursts();

// The frame's drop roll, the item's expiry and its pickup by the ship.
void updateBonusItem(double shipX, double shipY, double shipHeading, double shipHitRadius,
                     std::int32_t& shield);

// The item's radius on a field fieldWidth wide: the pickup's reach, and its drawing in play and in
// the HUD's readout.
inline double bonusRadius(double fieldWidth) {
    constexpr double kBonusRadius = 0.015;  // times W
    return kBonusRadius * fieldWidth;
}

// Puts an item of the kind on the field for 10 s, replacing any item still there.
void placeBonusItem(float kind, double x, double y);
