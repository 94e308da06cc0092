#pragma once
// The enemy fleet: the wandering spawner, the enemies' manoeuvres and fire, their avoidance of
// each other and of the ship, and the player's shots hitting them.
#include "game/game_state.h"

// Distance per move step of a kind for a field height, as a new enemy stores it.
float enemySpeed(int kind, std::uint32_t fieldHeight);

// Places at most one enemy of the current wave at the spawn point.
void spawnStep();

// Fire, move, decide and turn for every live enemy; leaves at most one enemyShotRequest.
void updateEnemies();

// Counts in `blocked` the neighbours (and the ship, in the last record) each enemy heads into.
void separateEnemies(double shipHitRadius);

// Player shots in slots 0..playerSlots-1 against enemy i: damage, kill, score and drop.
void hitEnemyByPlayerShots(Shot* shots, BurstRequest* requests, int i, int playerSlots);

// Mirrors the ship into the fleet's last record, separates the enemies, then lets the player's
// shots hit every live enemy.
void resolvePlayerShots(Shot* shots, BurstRequest* requests, double shipX, double shipY,
                        double shipHeading, double shipHitRadius);
