#pragma once
// The player's ship and the shot pool shared by the player's and the enemies' shots.
#include "game/game_state.h"

// Wraps a position that crossed an edge of the W x H field, as ships and enemies do:
// x >= W to 2, y >= H to 2, x <= 1 to W, y <= 1 to H, in this order.
void wrapIntoField(double& x, double& y, double w, double h);

// Stores an explosion request in the first empty one of requests[first..last]; none empty: dropped.
void requestBurstIn(BurstRequest* requests, int first, int last, double x, double y, double angle);

// Where the next player shot starts: the nose point of the ship's drawing,
// (x + shipScale / 20 * cos h, y + shipScale / 20 * sin(-h)), and the angle -h.
// The scene calls it whenever it draws the ship in play; headless code calls it in its place.
void updateMuzzle(PlayerShip& s);

// Turn and thrust steps from the held ship keys, with the wrap at the field's edges.
void moveShip();

// Clears forwardHeld for this frame while the ship overlaps an enemy it is heading into.
void blockShipByEnemies(double shipX, double shipY, double shipHeading, double shipHitRadius);

// Copies the source into the first free slot of its range (0..8 player, 9..128 enemies).
// An enemy source is consumed (its angle set free) whether or not a slot was taken.
void addShot(bool fromEnemy, Shot& source);

// Moves every shot one scaled step; shots leaving the field are freed (they do not wrap).
void moveShots();

// Enemy shots within the ship's hit radius cost shield, and at zero a life and firepower.
void hitShipByEnemyShots(Shot* shots, BurstRequest* requests);
