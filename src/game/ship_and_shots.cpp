#include "game/ship_and_shots.h"

#include "game/frame_update.h"
#include "game/input.h"
#include "sound/sound.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kTurnPerStep = 0.06;
constexpr double kBlockLookAhead = 0.0025;  // times H
constexpr double kLifeLossFactor = 0.6830134553650707;  // 1 / 1.1^4
constexpr double kLowestStrutDamage = 0.13;  // a new game's: below it the damage starts over
constexpr double kShotTravel = 0.01;  // times W per step

// A shot's direction never changes while it flies, so its cosine and sine are kept beside the
// pool. The angle they were computed for is kept too: any other writer of a slot only costs a
// recomputation, never a wrong step.
struct ShotDirections {
    double angle[kTotalShotSlots];
    double cosA[kTotalShotSlots];
    double sinA[kTotalShotSlots];
};

ShotDirections makeShotDirections() {
    ShotDirections d{};
    for (double& a : d.angle) {
        a = std::numeric_limits<double>::quiet_NaN();
    }
    return d;
}

ShotDirections shotDirections = makeShotDirections();

void loseLife(const Shot& shot, BurstRequest* requests) {
    ship.lives -= 1;
    ship.shield = 100;
    if (game.damage[StrutEnemy] * kLifeLossFactor >= kLowestStrutDamage) {
        scaleDamage(kLifeLossFactor);
    } else {
        resetDamage();
    }
    requests[0] = BurstRequest{ship.x, ship.y, shot.angle};
    if (gameHooks.lifeLost) {
        gameHooks.lifeLost();
    }
    if (ship.lives != 0) {
        centreShip();
    } else {
        ship.hitRadius = 0;
    }
}

}  // namespace

void wrapIntoField(double& x, double& y, double w, double h) {
    if (x >= w) {
        x = 2;
    }
    if (y >= h) {
        y = 2;
    }
    if (x <= 1) {
        x = w;
    }
    if (y <= 1) {
        y = h;
    }
}

void requestBurstIn(BurstRequest* requests, int first, int last, double x, double y, double angle) {
    for (int r = first; r <= last; ++r) {
        if (requests[r].angle == 0) {
            requests[r] = BurstRequest{x, y, angle};
            return;
        }
    }
}

void updateMuzzle(PlayerShip& s) {
    const double r = 1.0 / 20;
    s.muzzleX = s.x + s.shipScale * r * std::cos(s.heading);
    s.muzzleY = s.y + s.shipScale * r * std::sin(-s.heading);
    s.muzzleAngle = -s.heading;
}

void moveShip() {
    const double now = game.now;
    if (now - ship.lastTurnTime >= ship.turnStepMs) {
        const double k = (now - ship.lastTurnTime) / ship.turnStepMs;
        if (keys.rightHeld) {
            ship.heading -= kTurnPerStep * k;
            if (ship.heading < 0) {
                ship.heading = kTwoPi;
            }
        }
        if (keys.leftHeld) {
            ship.heading += kTurnPerStep * k;
            if (ship.heading > kTwoPi) {
                ship.heading = 0;
            }
        }
        ship.lastTurnTime = now;
    }
    if (now - ship.lastMoveTime >= ship.moveStepMs) {
        if (keys.forwardHeld) {
            const double s = (ship.fieldHeight / 300.0) * (now - ship.lastMoveTime) / ship.moveStepMs;
            ship.y += s * std::sin(-ship.heading);
            ship.x += s * std::cos(-ship.heading);
            wrapIntoField(ship.x, ship.y, ship.fieldWidth, ship.fieldHeight);
            requestSound(Thrust);
        }
        ship.lastMoveTime = now;
    }
}

void blockShipByEnemies(double shipX, double shipY, double shipHeading, double shipHitRadius) {
    // The probe moves the given position, not the ship: the ship itself only moves in moveShip.
    const double step = ship.fieldHeight * kBlockLookAhead;
    for (int i = 0; i < kEnemyCapacity; ++i) {
        const Enemy& e = fleet.enemies[i];
        if (!(e.strength > 0)) {
            continue;
        }
        const double dx = e.x - shipX;
        const double dy = e.y - shipY;
        const double d2 = dx * dx + dy * dy;
        const double reach = fleet.hitRadius[e.kind] + shipHitRadius;
        if (d2 < reach * reach && keys.forwardHeld) {
            const double mx = std::cos(shipHeading) * step;
            const double my = std::sin(-shipHeading) * step;
            shipX += mx;
            shipY += my;
            const double nx = e.x - shipX;
            const double ny = e.y - shipY;
            if (nx * nx + ny * ny < d2) {
                keys.forwardHeld = 0;
            }
            shipX -= mx;
            shipY -= my;
        }
    }
}

void addShot(bool fromEnemy, Shot& source) {
    const int first = fromEnemy ? kPlayerShotSlots : 0;
    const int end = fromEnemy ? kTotalShotSlots : kPlayerShotSlots;
    bool placed = false;
    for (int i = first; i < end; ++i) {
        Shot& slot = shotPool.shots[i];
        if (slot.angle == kFreeShotAngle) {
            slot.angle = source.angle;
            slot.x = source.x;
            slot.y = source.y;
            placed = true;
            break;
        }
    }
    if (fromEnemy) {
        source.angle = kFreeShotAngle;
    } else if (placed) {
        requestSound(PlayerShot);
    }
}

void moveShots() {
    const double now = game.now;
    if (now - shotPool.lastStepTime < shotPool.stepMs) {
        return;
    }
    const double w = shotPool.fieldWidth;
    const double h = shotPool.fieldHeight;
    const double dist = w * ((now - shotPool.lastStepTime) / shotPool.stepMs) * kShotTravel;
    ShotDirections& dir = shotDirections;
    for (int i = 0; i < kTotalShotSlots; ++i) {
        Shot& shot = shotPool.shots[i];
        // A free slot's position means nothing and is overwritten when it is taken.
        if (shot.angle == kFreeShotAngle) {
            continue;
        }
        if (dir.angle[i] != shot.angle) {
            dir.angle[i] = shot.angle;
            dir.cosA[i] = std::cos(shot.angle);
            dir.sinA[i] = std::sin(shot.angle);
        }
        shot.x += dir.cosA[i] * dist;
        shot.y += dir.sinA[i] * dist;
        if (shot.x >= w || shot.x < 0 || shot.y >= h || shot.y < 0) {
            shot.angle = kFreeShotAngle;
        }
    }
    shotPool.lastStepTime = now;
}

void hitShipByEnemyShots(Shot* shots, BurstRequest* requests) {
    for (int j = kPlayerShotSlots; j < kTotalShotSlots; ++j) {
        Shot& shot = shots[j];
        if (shot.angle == kFreeShotAngle) {
            continue;
        }
        const double dx = shot.x - ship.x;
        const double dy = shot.y - ship.y;
        if (!(dx * dx + dy * dy <= ship.hitRadius * ship.hitRadius)) {
            continue;
        }
        ship.shield = static_cast<std::int32_t>(ship.shield - game.shieldPerHit);
        if (ship.shield > 0) {
            requestBurstIn(requests, 10, 19, shot.x, shot.y, shot.angle - kTwoPi);
        } else {
            loseLife(shot, requests);
        }
        shot.angle = kFreeShotAngle;
    }
}
