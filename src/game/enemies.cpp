#include "game/enemies.h"

#include "game/ship_and_shots.h"
#include "sound/sound.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kSeparationLookAhead = 0.005;  // times H
constexpr double kEscapeTurnSpeedUp = 1.5;

void fire(Enemy& e, double now) {
    const double elapsed = now - e.lastFireTime;
    // A delay of 0 would divide by zero: such a shot starts one hit radius ahead, which is
    // where every other delay puts it too, give or take a frame.
    const float f = e.fireDelay > 0
                        ? static_cast<float>(fleet.hitRadius[e.kind] / e.fireDelay * elapsed)
                        : static_cast<float>(fleet.hitRadius[e.kind]);
    game.enemyShotRequest =
        Shot{e.x + std::cos(-e.heading) * f, e.y + std::sin(-e.heading) * f, -e.heading};
    requestSound(EnemyShot);
    e.fireDelay = random(static_cast<std::uint32_t>(fleet.fireDelayRange));
    e.lastFireTime = now;
}

void move(Enemy& e, double now) {
    const double step = fleet.moveStepMs[e.kind];
    if (!e.blocked) {
        const float f = static_cast<float>(e.speed / step * (now - e.lastMoveTime));
        e.y += std::sin(-e.heading) * f;
        e.x += std::cos(-e.heading) * f;
        wrapIntoField(e.x, e.y, fleet.fieldWidth, fleet.fieldHeight);
    }
    e.lastMoveTime = now;
}

void decide(Enemy& e, double now) {
    e.lastDecisionTime = now;
    e.lastTurnTime = now;
    e.turnMode = static_cast<std::uint8_t>(random(3));
    if (!e.blocked) {
        e.turnRemaining = e.turnMode == 2 ? random(314159) * 1e-5 : random(785398) * 1e-6;
    } else {
        e.turnRemaining = random(785398) * 1e-5 + kPi / 2;
        e.turnMode = static_cast<std::uint8_t>(random(2));
    }
}

void turn(Enemy& e, double now) {
    const double step = fleet.turnStepMs[e.kind];
    double d = e.turnRate / step * (now - e.lastTurnTime);
    if (e.blocked) {
        d *= kEscapeTurnSpeedUp;
    }
    e.turnRemaining -= d;
    if (e.turnMode == 1) {
        e.heading += d;
    } else if (e.turnMode == 0) {
        e.heading -= d;
    }
    if (e.heading > kTwoPi) {
        e.heading = 0;
    } else if (e.heading < 0) {
        e.heading = kTwoPi;
    }
    e.lastTurnTime = now;
}

void kill(Enemy& e, double killingAngle, BurstRequest* requests) {
    fleet.aliveCount -= 1;
    game.score += e.value;
    fleet.dropKind = kEnemyKinds[e.kind].dropKind;
    if (e.kind == AntennaEnemy) {
        fleet.dropKind = random(2) + kUpgradeItem;  // an upgrade or a shield
    }
    fleet.killX = e.x;
    fleet.killY = e.y;
    e.strength = kDeadStrength;
    requests[0] = BurstRequest{e.x, e.y, killingAngle};
}

}  // namespace

float enemySpeed(int kind, std::uint32_t fieldHeight) {
    const double h = fieldHeight;
    switch (kind) {
    case DartEnemy: return static_cast<float>(h * 0.005);
    case CrescentEnemy: return static_cast<float>(h / 325);
    case ProngEnemy: return static_cast<float>(h / 275);
    default: return static_cast<float>(h * 0.0025);  // AntennaEnemy, StrutEnemy
    }
}

void spawnStep() {
    const double now = game.now;
    if (now - fleet.lastSpawnTime < fleet.spawnStepMs) {
        return;
    }
    fleet.lastSpawnTime = now;
    if (now - fleet.lastSpawnMoveTime >= fleet.spawnMoveMs) {
        fleet.lastSpawnMoveTime = now;
        fleet.spawnX = random(fleet.fieldWidth);
        fleet.spawnY = random(fleet.fieldHeight);
    }
    if (fleet.spawnedThisWave < fleet.capacity && fleet.spawnedThisWave < game.waveNumber + 4) {
        for (int i = 0; i < kEnemyCapacity; ++i) {
            Enemy& e = fleet.enemies[i];
            if (e.strength > 0) {
                continue;
            }
            e.fireDelay = random(static_cast<std::uint32_t>(fleet.fireDelayRange));
            e.lastMoveTime = e.lastTurnTime = e.lastFireTime = now;
            e.x = fleet.spawnX;
            e.y = fleet.spawnY;
            e.heading = random(31415) * 0.0001;
            e.kind = static_cast<EnemyKind>(random(kEnemyKindCount));
            e.strength = 1;
            e.blocked = 0;
            e.turnRemaining = -1;
            e.value = kEnemyKinds[e.kind].value;
            e.speed = enemySpeed(e.kind, fleet.fieldHeight);
            e.turnRate = kEnemyKinds[e.kind].turnRate;
            fleet.aliveCount += 1;
            fleet.spawnedThisWave += 1;
            return;
        }
    }
    fleet.spawning = 0;
}

void updateEnemies() {
    const double now = game.now;
    if (fleet.frozen) {
        // Renewing the step timers keeps the enemies from jumping when they thaw.
        for (int i = 0; i < kEnemyCapacity; ++i) {
            Enemy& e = fleet.enemies[i];
            e.lastFireTime = e.lastMoveTime = e.lastTurnTime = now;
        }
        return;
    }
    for (int i = 0; i < kEnemyCapacity; ++i) {
        Enemy& e = fleet.enemies[i];
        if (!(e.strength > 0)) {
            continue;
        }
        if (now - e.lastFireTime >= e.fireDelay) {
            fire(e, now);
        }
        if (now - e.lastMoveTime >= fleet.moveStepMs[e.kind]) {
            move(e, now);
        }
        if (now - e.lastDecisionTime >= fleet.decisionDelayMs[e.kind] && e.turnRemaining <= 0) {
            decide(e, now);
        }
        if (now - e.lastTurnTime >= fleet.turnStepMs[e.kind] && e.turnRemaining > 0) {
            turn(e, now);
        }
    }
}

void separateEnemies(double shipHitRadius) {
    Enemy* enemies = fleet.enemies;
    const double step = fleet.fieldHeight * kSeparationLookAhead;
    // The pair test runs 120 x 121 times a frame, so the positions and reaches are gathered into
    // flat tables first. A record to skip (dead, or the enemy itself) gets a NaN position, for
    // which the overlap comparison is false. Only a probe moves a record, and the record it
    // moves is the current one, whose entry is refreshed after its turn.
    constexpr int kRecords = kEnemyCapacity + 1;
    const double skip = std::numeric_limits<double>::quiet_NaN();
    double xs[kRecords];
    double ys[kRecords];
    double reach[kRecords];
    for (int j = 0; j < kRecords; ++j) {
        const Enemy& other = enemies[j];
        const bool alive = other.strength > 0;
        xs[j] = alive ? other.x : skip;
        ys[j] = other.y;
        reach[j] = j == kEnemyCapacity ? shipHitRadius : fleet.hitRadius[other.kind];
    }
    for (int i = 0; i < kEnemyCapacity; ++i) {
        if (std::isnan(xs[i])) {
            continue;
        }
        Enemy& e = enemies[i];
        if (e.blocked > 0) {
            e.blocked -= 1;
        }
        const double own = reach[i];
        // The heading does not change in here, so the probe step is the same for every neighbour.
        bool probeKnown = false;
        double mx = 0;
        double my = 0;
        xs[i] = skip;
        for (int j = 0; j < kRecords; ++j) {
            const double dx = e.x - xs[j];
            const double dy = e.y - ys[j];
            const double d2 = dx * dx + dy * dy;
            const double r = reach[j] + own;
            if (!(d2 < r * r)) {
                continue;
            }
            // Probe a short step ahead: closing in on the neighbour means blocked.
            if (!probeKnown) {
                mx = std::cos(e.heading) * step;
                my = std::sin(-e.heading) * step;
                probeKnown = true;
            }
            e.x += mx;
            e.y += my;
            const double nx = e.x - xs[j];
            const double ny = e.y - ys[j];
            // The count saturates: wrapping past 255 would set a crowded enemy free for a frame.
            if (nx * nx + ny * ny < d2 && e.blocked < 255) {
                e.blocked += 1;
            }
            e.x -= mx;
            e.y -= my;
        }
        xs[i] = e.x;
        ys[i] = e.y;
    }
}

void hitEnemyByPlayerShots(Shot* shots, BurstRequest* requests, int i, int playerSlots) {
    Enemy& e = fleet.enemies[i];
    const double r = fleet.hitRadius[e.kind];
    for (int j = 0; j < playerSlots; ++j) {
        Shot& shot = shots[j];
        if (shot.angle == kFreeShotAngle) {
            continue;
        }
        const double angle = shot.angle;
        const double dx = shot.x - e.x;
        const double dy = shot.y - e.y;
        if (dx * dx + dy * dy <= r * r) {
            e.strength -= game.damage[e.kind];
            if (e.strength > 0) {
                requestBurstIn(requests, 1, 9, shot.x, shot.y, angle - kTwoPi);
            }
            shot.angle = kFreeShotAngle;
        }
        // A kill already marked -10 absorbs any further shot without effect.
        if (e.strength > kDeadStrength && e.strength <= 0) {
            kill(e, angle, requests);
        }
    }
}

void resolvePlayerShots(Shot* shots, BurstRequest* requests, double shipX, double shipY,
                        double shipHeading, double shipHitRadius) {
    Enemy& mirror = fleet.enemies[kEnemyCapacity];
    mirror.x = shipX;
    mirror.y = shipY;
    mirror.heading = shipHeading;
    separateEnemies(shipHitRadius);
    for (int i = 0; i < kEnemyCapacity; ++i) {
        if (fleet.enemies[i].strength > 0) {
            hitEnemyByPlayerShots(shots, requests, i, kPlayerShotSlots);
        }
    }
}
