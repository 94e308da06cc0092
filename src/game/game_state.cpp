#include "game/game_state.h"

#include "game/input.h"
#include "platform/clock.h"
#include "sound/sound.h"

#include <cstdlib>

// The dart's radius is H / 38 and its scale half of H; the others' radii are a fraction of their
// scales.
const EnemyKindTraits kEnemyKinds[kEnemyKindCount] = {
    {20.0f, 0.08f, 1, 0.51f, 9.687272727272727, 10.873469387755103, 1.0, 38.0, 0.5},         // DartEnemy
    {50.0f, 0.03f, 1, 0.26f, 14.4, 18.372413793103448, 0.0325, 1.0, 0.65},                  // AntennaEnemy
    {70.0f, 0.06f, 1, 0.34f, 11.336170212765957, 11.336170212765957, 0.0325, 1.0, 0.65},    // CrescentEnemy
    {100.0f, 0.04f, 2, 0.16f, 11.336170212765957, 13.32, 0.75, 22.0, 0.75},                 // ProngEnemy
    {90.0f, 0.027f, 2, 0.13f, 14.4, 18.372413793103448, 0.85, 21.0, 0.85},                  // StrutEnemy
};

namespace {


Enemy enemyTable[kEnemyCapacity + 1];
Burst burstTable[kBurstCount];

GameSession initialSession() {
    GameSession s{};
    s.hudVisible = 1;
    s.frameRate = 65.0;
    for (int k = 0; k < kEnemyKindCount; ++k) {
        s.damage[k] = kEnemyKinds[k].damage;
    }
    s.shieldPerHit = 10.0f;
    s.enemyShotRequest.angle = kFreeShotAngle;
    return s;
}

}  // namespace

GameSession game = initialSession();
PlayerShip ship{};
ShotPool shotPool{};
EnemyFleet fleet{};
BurstPool burstPool{};
BonusItem bonus{};
StarField stars{};
Layout layout{};
std::uint8_t gameInProgress = 0;
std::uint8_t systemTest = 0;

void resetDamage() {
    for (int k = 0; k < kEnemyKindCount; ++k) {
        game.damage[k] = kEnemyKinds[k].damage;
    }
}

void scaleDamage(double factor) {
    for (float& d : game.damage) {
        d = static_cast<float>(d * factor);
    }
}

void setStepConstants() {
    ship.moveStepMs = 9.687272727272727;
    ship.turnStepMs = 10.656;
    shotPool.stepMs = 13.32;
    shotPool.fireRepeatMs = 91.86206896551724;
    burstPool.stepMs = 16.65;
    fleet.spawnStepMs = 88.8;
    fleet.spawnMoveMs = 250 + random(250);
    fleet.fireDelayRange = 3996;
    for (int k = 0; k < kEnemyKindCount; ++k) {
        fleet.moveStepMs[k] = kEnemyKinds[k].moveStepMs;
        fleet.turnStepMs[k] = kEnemyKinds[k].turnStepMs;
    }
    for (int k = 0; k < kEnemyKindCount; ++k) {
        fleet.decisionDelayMs[k] = random(5328);
    }
}

void resetFleet(std::uint32_t capacity) {
    fleet.spawning = 1;
    fleet.frozen = 0;
    fleet.aliveCount = 0;
    fleet.spawnedThisWave = 0;
    fleet.capacity = capacity;
    fleet.nextBonusScore = 10000;
    fleet.dropKind = kNoItem;
    game.score = 0;
    for (int i = 127; i >= 1; --i) {
        fleet.noise[i] = static_cast<std::uint8_t>(random(256));
    }
    fleet.enemies[capacity].strength = 1;
    fleet.spawnX = random(static_cast<std::uint32_t>(layout.keptWidth));
    fleet.spawnY = random(static_cast<std::uint32_t>(layout.keptHeight));
}

void createStarField(std::uint32_t width, std::uint32_t height) {
    platformSrand(calendarTime());
    // The old table is released: nothing keeps a pointer into it.
    std::free(stars.stars);
    stars.count = width / 7;
    stars.stars = static_cast<Star*>(std::calloc(stars.count ? stars.count : 1, sizeof(Star)));
    if (!stars.stars) {
        stars.count = 0;
        return;
    }
    for (std::uint32_t i = 0; i < stars.count; ++i) {
        Star& star = stars.stars[i];
        star.brightness = random(100) * 0.01;
        star.x = random(width);
        star.y = random(height);
    }
}

void initialiseGameTables() {
    shotPool.playerSlots = kPlayerShotSlots;
    shotPool.totalSlots = kTotalShotSlots;
    for (int i = 0; i < kPlayerShotSlots; ++i) {
        shotPool.shots[i].angle = kFreeShotAngle;
    }
    burstPool.burstCount = kBurstCount;
    burstPool.bursts = burstTable;
    for (Burst& burst : burstTable) {
        burst.age = 0;
    }
    platformSrand(calendarTime());
    fleet.enemies = enemyTable;
    resetFleet(kEnemyCapacity);
}

void setFieldSize(std::uint32_t width, std::uint32_t height) {
    layout.keptWidth = width;
    layout.keptHeight = height;
}

void centreShip() {
    ship.x = 0.5 * layout.keptWidth;
    ship.y = 0.5 * layout.keptHeight;
    ship.heading = kPi / 2;
}

void prepareGame(bool newGame, bool keepState) {
    if (!newGame && !keepState) {
        for (BurstRequest& request : game.burstRequests) {
            request.angle = 0;
        }
        const double t = clockMs();
        game.now = t;
        game.rateWindowStart = t;
        ship.lastMoveTime = ship.lastTurnTime = t;
        shotPool.lastStepTime = shotPool.lastFireTime = t;
        burstPool.lastStepTime = t;
        fleet.lastSpawnTime = fleet.lastSpawnMoveTime = t;
        for (int i = 0; i < kEnemyCapacity; ++i) {
            Enemy& e = fleet.enemies[i];
            e.lastMoveTime = e.lastTurnTime = e.lastDecisionTime = e.lastFireTime = t;
        }
        setStepConstants();
    }

    const double w = layout.keptWidth;
    const double h = layout.keptHeight;
    const auto wi = static_cast<std::uint32_t>(w);
    const auto hi = static_cast<std::uint32_t>(h);

    centreShip();
    ship.shipScale = 0.65 * h;
    ship.hitRadius = 0.65 * h * 0.04;
    ship.fieldWidth = wi;
    ship.fieldHeight = hi;

    if (!keepState) {
        ship.lives = 3;
    }

    if (!newGame) {
        burstPool.particleScale[0] = w / 975;
        burstPool.particleScale[1] = w / 1950;
        shotPool.fieldWidth = wi;
        shotPool.fieldHeight = hi;
        fleet.fieldWidth = wi;
        fleet.fieldHeight = hi;
        for (int k = 0; k < kEnemyKindCount; ++k) {
            fleet.hitRadius[k] = kEnemyKinds[k].radiusTimesH * h / kEnemyKinds[k].radiusDivisor;
            fleet.shapeScale[k] = kEnemyKinds[k].shapeTimesH * h;
        }
        sound.fieldWidth = wi;
        createStarField(wi, hi);
        bonus.fieldWidth = w;
        bonus.fieldHeight = h;
    }

    if (newGame) {
        game.countdown = kCountdownStart;
        resetDamage();
        for (int i = 0; i < kEnemyCapacity; ++i) {
            fleet.enemies[i].strength = 0;
        }
        for (Shot& shot : shotPool.shots) {
            shot.angle = kFreeShotAngle;
        }
        keys.shipKeysLocked = systemTest;
        if (systemTest) {
            game.waveNumber = 200;
        }
        game.frameLimiter = systemTest ? 0 : 1;
        game.endTime = 0;
        ship.shield = 100;
        game.won = 1;
        resetFleet(kEnemyCapacity);
    }
}
