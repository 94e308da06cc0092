#pragma once
// Every live enemy as the vector shape of its kind.
#include "game/game_state.h"

#include <cstdint>

// Smoothed, blended 1-pixel lines, then records 0 .. capacity - 1 with a strength above 0.
void drawEnemies();

// One shape for the given record, whatever its own kind and strength. Each sets its colours and
// opens and closes its primitives; line width, smoothing and blending come from the caller.
void drawEnemyKind0(std::uint32_t index);
// The HUD passes a fleet whose kind-1 scale and record 0 it has altered for its icon.
void drawEnemyKind1(const EnemyFleet& fleet, std::uint32_t index);
void drawEnemyKind2(std::uint32_t index);
void drawEnemyKind3(std::uint32_t index);
void drawEnemyKind4(std::uint32_t index);
