#include "game/game_test_support.h"

#include "app/display_mode.h"
#include "game/enemies.h"
#include "game/frame_update.h"
#include "game/ship_and_shots.h"
#include "platform/rand.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <cmath>

HeldKeys held{};
HookCalls hookCalls{};

namespace {

void fakePoll() {
    keys.backHeld = held.back;
    keys.f2Held = held.f2;
    keys.f7Held = held.f7;
    keys.f8Held = held.f8;
    keys.f9Held = held.f9;
    keys.f11Held = held.f11;
    if (keys.shipKeysLocked) {
        keys.forwardHeld = keys.rightHeld = keys.leftHeld = keys.shootHeld = 0;
        return;
    }
    keys.forwardHeld = held.forward;
    keys.rightHeld = held.right;
    keys.leftHeld = held.left;
    keys.shootHeld = held.shoot;
    if (keys.rightHeld && keys.leftHeld) {
        keys.rightHeld = keys.leftHeld = 0;
    }
}

void countBack() {
    ++hookCalls.backToMenu;
}
void countReset() {
    ++hookCalls.resetMidi;
}
void countSleep() {
    ++hookCalls.sleep1ms;
}

// At volume 0 every request stays marked (-2) for the tests to see, and no note is started.
void silenceSound() {
    sound.soundVolume = 0;
    sound.enemyShotTimer = sound.playerShotTimer = sound.bigBurstTimer = -1;
    sound.thrustTimer = sound.smallBurstTimer = sound.bonusAppearsTimer = -1;
    sound.bonusTakenFirst = sound.bonusTakenSecond = sound.extraLifeTimer = -1;
    for (double& next : sound.ambientNext) {
        next = 0;  // the ambient voices draw random numbers: start them alike in every test
    }
}

}  // namespace

void startGame(bool systemTestGame, unsigned seed, double startMs) {
    useFakeClock(startMs);
    initialiseGameTables();
    // Free records keep what an earlier game left in them; a seeded run must not depend on that.
    for (int i = 0; i < kEnemyCapacity; ++i) {
        fleet.enemies[i] = Enemy{};
    }
    for (Shot& s : shotPool.shots) {
        s = Shot{0, 0, kFreeShotAngle};
    }
    prepareGame(false, false);
    platformSrand(seed);
    setStepConstants();  // the decision delays from the seed, not from the calendar
    for (int b = 0; b < kBurstCount; ++b) {
        burstPool.bursts[b].age = 0;
    }
    bonus.kind = 0;
    fleet.dropKind = 0;
    burstPool.cursor = burstPool.cursor2 = fleet.cursor = fleet.cursor2 = 0;
    game.nextCountdownTick = 0;
    game.lastFunctionKey = 0;
    game.hudVisible = 1;
    game.enemyShotRequest.angle = kFreeShotAngle;
    game.volumeShownUntil = 0;
    game.rateFrames = 0;
    game.frameRate = 65;
    held = HeldKeys{};
    hookCalls = HookCalls{};
    keys = KeyBindings{};
    silenceSound();
    gameHooks = GameHooks{nullptr, countBack, countReset, countSleep};
    gameHooks.pollKeyboard = fakePoll;
    systemTest = systemTestGame ? 1 : 0;
    game.waveNumber = 1;
    prepareGame(true, false);
    updateMuzzle(ship);
}

void frame(double stepMs) {
    updateMuzzle(ship);
    fakeNow += stepMs;
    gameIdle();
}

void runFor(double ms, double stepMs) {
    const double end = fakeNow + ms;
    while (fakeNow < end) {
        frame(stepMs);
    }
}

Enemy& placeEnemy(int slot, int kind, double x, double y, double heading) {
    Enemy& e = fleet.enemies[slot];
    if (!(e.strength > 0)) {
        fleet.aliveCount += 1;
    }
    e = Enemy{};
    e.x = x;
    e.y = y;
    e.heading = heading;
    e.kind = static_cast<std::int8_t>(kind);
    e.strength = 1;
    e.value = kEnemyKinds[kind].value;
    e.speed = enemySpeed(kind, fleet.fieldHeight);
    e.turnRate = kEnemyKinds[kind].turnRate;
    e.turnMode = 2;         // holds its course
    e.turnRemaining = 1e9;  // for good: no decision comes due
    e.fireDelay = 1e12;     // and it never fires
    e.lastMoveTime = e.lastTurnTime = e.lastDecisionTime = e.lastFireTime = game.now;
    return e;
}

void clearField() {
    for (int i = 0; i < kEnemyCapacity; ++i) {
        fleet.enemies[i].strength = 0;
    }
    fleet.aliveCount = 0;
    fleet.spawning = 0;
    game.countdown = 0;
}

namespace {

bool isFinite(double v) {
    return std::isfinite(v);
}

// The look-ahead probes move a record and back, which may leave it an ulp off the edge.
bool inside(double x, double y, double w, double h) {
    const double slack = 1e-6;
    return x >= -slack && x <= w + slack && y >= -slack && y <= h + slack;
}

}  // namespace

const char* checkInvariants() {
    const double w = fleet.fieldWidth;
    const double h = fleet.fieldHeight;
    int alive = 0;
    for (int i = 0; i < kEnemyCapacity; ++i) {
        const Enemy& e = fleet.enemies[i];
        if (!(e.strength > 0)) {
            if (e.strength != 0 && e.strength != kDeadStrength) {
                return "a free enemy slot holds neither 0 nor the dead marker";
            }
            continue;
        }
        ++alive;
        if (e.strength > 1) {
            return "an enemy is stronger than at its spawn";
        }
        if (e.kind < 0 || e.kind > 4) {
            return "an enemy has no valid kind";
        }
        if (!isFinite(e.x) || !isFinite(e.y) || !isFinite(e.heading) || !isFinite(e.turnRemaining)) {
            return "an enemy value is not finite";
        }
        if (!inside(e.x, e.y, w, h)) {
            return "an enemy left the field";
        }
        if (e.heading < 0 || e.heading > kTwoPi) {
            return "an enemy heading left [0, 2pi]";
        }
    }
    if (alive != fleet.aliveCount) {
        return "aliveCount differs from the live slots";
    }
    for (int i = 0; i < kTotalShotSlots; ++i) {
        const Shot& s = shotPool.shots[i];
        if (s.angle == kFreeShotAngle) {
            continue;
        }
        if (!isFinite(s.x) || !isFinite(s.y) || s.angle > 0 || s.angle < -kTwoPi) {
            return "a busy shot has a bad position or angle";
        }
        // Enemy shots placed after this frame's step may start beyond the edge; the next step
        // frees them. Player shots are placed before the step.
        if (i < kPlayerShotSlots && shotPool.lastStepTime == game.now && !inside(s.x, s.y, w, h)) {
            return "a player shot lies outside the field after a step";
        }
    }
    if (game.enemyShotRequest.angle != kFreeShotAngle) {
        return "an enemy shot request survived the frame";
    }
    for (const BurstRequest& r : game.burstRequests) {
        if (r.angle != 0) {
            return "an explosion request survived the frame";
        }
    }
    for (int b = 0; b < kBurstCount; ++b) {
        const Burst& burst = burstPool.bursts[b];
        if (burst.age > 36) {
            return "a burst outlived its 36 steps";
        }
        for (const Particle& p : burst.particles) {
            if (burst.age != 0 && (!isFinite(p.x) || !isFinite(p.y))) {
                return "a particle position is not finite";
            }
        }
    }
    if (!isFinite(ship.x) || !isFinite(ship.y) || !isFinite(ship.heading)) {
        return "the ship's pose is not finite";
    }
    if (!inside(ship.x, ship.y, w, h) || ship.heading < 0 || ship.heading > kTwoPi) {
        return "the ship left the field or its heading range";
    }
    if (!(game.damage[4] >= 0.1299f && game.damage[4] < 0.545f)) {
        return "the kind-4 damage left the bounds of upgrades and losses";
    }
    if (!isFinite(game.score) || game.score < 0) {
        return "the score is not a finite positive number";
    }
    if (bonus.kind != 0 && bonus.kind != 1 && bonus.kind != 2) {
        return "the bonus item has an unknown kind";
    }
    return "";
}
