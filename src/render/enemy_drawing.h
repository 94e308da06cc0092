#pragma once
// Every live enemy as the vector shape of its kind.
#include "game/game_state.h"

#include <cstdint>

// Smoothed, blended 1-pixel lines, then records 0 .. capacity - 1 with a strength above 0.
void drawEnemies();

// The shape of a kind for an enemy record at its pose and strength, at a scale (the kind's own in
// play; the HUD's icon is a half-size copy). It sets its colours and opens and closes its
// primitives; line width, smoothing and blending come from the caller.
void drawEnemyShape(int kind, const Enemy& enemy, double scale);

// The fleet's record at index as the shape of the kind, whatever its own kind.
void drawEnemyKind0(std::uint32_t index);  // DartEnemy
void drawEnemyKind1(std::uint32_t index);  // AntennaEnemy
void drawEnemyKind2(std::uint32_t index);  // CrescentEnemy
void drawEnemyKind3(std::uint32_t index);  // ProngEnemy
void drawEnemyKind4(std::uint32_t index);  // StrutEnemy
