// The ship's turns, thrust, wrap and blocking; the shot pool; enemy shots hitting the ship.
#include "game/game_state.h"
#include "game/game_test_support.h"
#include "game/ship_and_shots.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kDefaults[5] = {0.51f, 0.26f, 0.34f, 0.16f, 0.13f};

// A quiet field: no enemies, no spawner, shots that never move unless a test says so.
void quietGame(unsigned seed) {
    startGame(false, seed);
    clearField();
    game.waveNumber = 250;  // keeps the wave logic from starting a countdown
}

int busyPlayerShots() {
    int n = 0;
    for (int i = 0; i < kPlayerShotSlots; ++i) {
        n += shotPool.shots[i].angle != kFreeShotAngle;
    }
    return n;
}

}  // namespace

TEST(ShipTurn, PastZeroLandsOnExactlyTwoPiAndPastTwoPiOnZero) {
    quietGame(1);
    ship.heading = 0.01;
    held.right = true;
    runFor(11);
    EXPECT_EQ(ship.heading, kTwoPi);

    held.right = false;
    held.left = true;
    ship.heading = kTwoPi - 0.01;
    runFor(11);
    EXPECT_EQ(ship.heading, 0.0);

    // Both turn keys together turn neither way.
    held.right = true;
    ship.heading = 1.0;
    runFor(100);
    EXPECT_EQ(ship.heading, 1.0);
}

TEST(ShipTurn, TurnsByTheElapsedTimeAtTheTurnStep) {
    quietGame(2);
    ship.heading = 1.0;
    ship.lastTurnTime = fakeNow;
    held.left = true;
    frame(10.0);  // less than one turn step: nothing
    EXPECT_EQ(ship.heading, 1.0);
    frame(11.312);  // 21.312 ms = two steps at once
    EXPECT_NEAR(ship.heading, 1.12, 1e-12);
}

TEST(ShipThrust, WrapsAtBothEdges) {
    quietGame(3);
    held.forward = true;
    ship.heading = 0;  // to the right
    ship.x = 799.5;
    runFor(10);
    EXPECT_EQ(ship.x, 2);
    ship.heading = kPi;  // to the left
    ship.x = 1.5;
    runFor(10);
    EXPECT_EQ(ship.x, 800);
    ship.heading = kPi / 2;  // up
    ship.x = 400;
    ship.y = 1.5;
    runFor(10);
    EXPECT_EQ(ship.y, 600);
    ship.heading = 1.5 * kPi;  // down
    ship.y = 599.5;
    runFor(10);
    EXPECT_EQ(ship.y, 2);
    EXPECT_EQ(sound.thrustTimer, -2);
}

TEST(ShipThrust, MovesTwoUnitsPerStepAt600) {
    quietGame(4);
    held.forward = true;
    ship.heading = kPi / 2;
    ship.lastMoveTime = fakeNow;
    frame(ship.moveStepMs * 10);
    EXPECT_NEAR(ship.y, 300 - 20, 1e-9);
    EXPECT_NEAR(ship.x, 400, 1e-9);
}

TEST(ShipThrust, BlockedOnlyTowardsAnOverlappingEnemy) {
    quietGame(5);
    fleet.frozen = 1;
    held.forward = true;
    ship.heading = 0;
    placeEnemy(0, 0, 410, 300, 0);  // overlapping, ahead
    runFor(200);
    EXPECT_EQ(ship.x, 400);
    EXPECT_EQ(ship.y, 300);

    // Turning is never blocked, and turned away the ship thrusts off.
    held.left = true;
    runFor(30);
    held.left = false;
    EXPECT_GT(ship.heading, 0.1);
    EXPECT_EQ(ship.x, 400);
    ship.heading = kPi;
    runFor(100);
    EXPECT_LT(ship.x, 400);

    // An enemy that overlaps but lies behind does not block.
    quietGame(5);
    fleet.frozen = 1;
    held.forward = true;
    ship.heading = 0;
    placeEnemy(0, 0, 390, 300, 0);
    runFor(100);
    EXPECT_GT(ship.x, 400);
}

TEST(Shots, LeaveTheFieldAtWAndHButNotAtZero) {
    quietGame(6);
    Shot* s = shotPool.shots;
    s[0] = Shot{800, 100, -kPi / 2};  // x exactly W after the step
    s[1] = Shot{0, 100, -kPi / 2};    // x at 0 (plus a cosine of about 6e-17)
    s[2] = Shot{100, 0, 0};           // y exactly 0: a zero sine keeps it there
    s[3] = Shot{100, 600, 0};         // y exactly H
    s[4] = Shot{3, 100, -kPi};        // crosses x = 0
    shotPool.lastStepTime = fakeNow;
    frame(shotPool.stepMs + 0.5);
    EXPECT_EQ(s[0].angle, kFreeShotAngle);
    EXPECT_NE(s[1].angle, kFreeShotAngle);
    EXPECT_NE(s[2].angle, kFreeShotAngle);
    EXPECT_EQ(s[2].y, 0);
    EXPECT_EQ(s[3].angle, kFreeShotAngle);
    EXPECT_EQ(s[4].angle, kFreeShotAngle);
}

TEST(Shots, TravelOnePercentOfTheWidthPerStep) {
    quietGame(7);
    Shot* s = shotPool.shots;
    s[20] = Shot{100, 300, 0};
    s[21] = Shot{100, 300, -kPi / 2};
    shotPool.lastStepTime = fakeNow;
    frame(shotPool.stepMs * 3);
    EXPECT_NEAR(s[20].x, 124, 1e-9);
    EXPECT_NEAR(s[21].y, 276, 1e-9);
    // Rewriting a slot's angle takes effect at the next step.
    s[20].angle = -kPi;
    frame(shotPool.stepMs);
    EXPECT_NEAR(s[20].x, 116, 1e-9);
}

TEST(Shots, NinePlayerShotsAtMostAndOnePerFireRepeat) {
    quietGame(8);
    shotPool.stepMs = 1e12;  // shots stand still
    held.shoot = true;
    double lastFire = shotPool.lastFireTime;
    int fired = 0;
    for (int f = 0; f < 2000; ++f) {
        const int before = busyPlayerShots();
        frame();
        if (busyPlayerShots() > before) {
            ++fired;
            EXPECT_GE(fakeNow - lastFire, 91.86206896551724);
            EXPECT_LT(fakeNow - lastFire, 93);
            lastFire = fakeNow;
        }
    }
    EXPECT_EQ(fired, 9);
    EXPECT_EQ(busyPlayerShots(), 9);
    // The repeat time is renewed even when no slot is free.
    EXPECT_GT(shotPool.lastFireTime, fakeNow - 92);
    EXPECT_EQ(shotPool.shots[0].x, ship.muzzleX);
    EXPECT_EQ(shotPool.shots[0].angle, -ship.heading);
}

TEST(Shots, TheMuzzleIsTheNoseOfTheShipsDrawing) {
    PlayerShip s{};
    s.x = 100;
    s.y = 200;
    s.heading = 0.7;
    s.shipScale = 390;
    updateMuzzle(s);
    EXPECT_NEAR(s.muzzleX, 100 + std::cos(0.7) * 390 * 0.05, 1e-12);
    EXPECT_NEAR(s.muzzleY, 200 - std::sin(0.7) * 390 * 0.05, 1e-12);
    EXPECT_EQ(s.muzzleAngle, -0.7);
}

TEST(Shots, EnemyRequestIsConsumedEvenWithNoFreeSlot) {
    quietGame(9);
    for (int i = kPlayerShotSlots; i < kTotalShotSlots; ++i) {
        shotPool.shots[i] = Shot{10, 10, -1};
    }
    Shot request{50, 60, -2};
    addShot(true, request);
    EXPECT_EQ(request.angle, kFreeShotAngle);
    shotPool.shots[77].angle = kFreeShotAngle;
    request = Shot{50, 60, -2};
    addShot(true, request);
    EXPECT_EQ(shotPool.shots[77].x, 50);
    EXPECT_EQ(shotPool.shots[77].angle, -2);
    EXPECT_EQ(sound.playerShotTimer, -1);  // enemy shots have their sound from the enemy
}

TEST(ShipHits, TenHitsCostALifeAndTheShipComesBackInTheCentre) {
    quietGame(10);
    ship.x = 100;
    ship.y = 100;
    ship.heading = 1;
    for (int hit = 1; hit <= 9; ++hit) {
        shotPool.shots[9 + hit] = Shot{101, 100, -0.5};
        frame();
        EXPECT_EQ(ship.shield, 100 - 10 * hit);
        EXPECT_EQ(shotPool.shots[9 + hit].angle, kFreeShotAngle);
    }
    EXPECT_EQ(ship.lives, 3);
    shotPool.shots[100] = Shot{100, 101, -0.5};
    frame();
    EXPECT_EQ(ship.lives, 2);
    EXPECT_EQ(ship.shield, 100);
    EXPECT_EQ(ship.x, 400);
    EXPECT_EQ(ship.y, 300);
    EXPECT_EQ(ship.heading, kPi / 2);
    // The loss's large explosions were started where the ship was, after the nine small ones.
    int large = 0;
    for (int b = 0; b < kBurstCount; ++b) {
        const Burst& burst = burstPool.bursts[b];
        if (burst.age == 1 && !burst.small) {
            ++large;
            EXPECT_NEAR(burst.particles[0].x, 100, 7.5);
        }
    }
    EXPECT_EQ(large, 2);
}

TEST(ShipHits, NonFatalHitsAskForSmallExplosionsInSlotsTenToNineteen) {
    quietGame(11);
    for (int j = 0; j < 12; ++j) {
        shotPool.shots[9 + j] = Shot{ship.x, ship.y, -1.0 - j * 0.01};
    }
    ship.shield = 1000;
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(ship.shield, 1000 - 120);
    for (int r = 10; r < 20; ++r) {
        EXPECT_DOUBLE_EQ(game.burstRequests[r].angle, -1.0 - (r - 10) * 0.01 - kTwoPi);
    }
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(game.burstRequests[r].angle, 0);
    }
}

TEST(ShipHits, AShieldAbove100TakesMoreHits) {
    quietGame(12);
    ship.shield = 140;
    int hits = 0;
    while (ship.lives == 3 && hits < 100) {
        shotPool.shots[50] = Shot{ship.x, ship.y, -1};
        hitShipByEnemyShots(shotPool.shots, game.burstRequests);
        ++hits;
    }
    EXPECT_EQ(hits, 14);
}

TEST(ShipHits, LosingALifeScalesFirepowerOrRestoresTheDefaults) {
    quietGame(13);
    for (float& d : game.damage) {
        d *= 1.5f;
    }
    const float before = game.damage[2];
    ship.shield = 10;
    shotPool.shots[9] = Shot{ship.x, ship.y, -1};
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(game.damage[2], static_cast<float>(before * 0.6830134553650707));

    // Below the defaults it does not go: the defaults come back instead.
    game.damage[4] = 0.15f;
    ship.shield = 10;
    shotPool.shots[9] = Shot{ship.x, ship.y, -1};
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(game.damage[k], kDefaults[k]);
    }
    EXPECT_EQ(ship.lives, 1);
}

TEST(ShipHits, TheLastLifeLeavesTheShipInPlaceWithoutAHitRadius) {
    quietGame(14);
    ship.lives = 1;
    ship.shield = 5;
    ship.x = 123;
    shotPool.shots[9] = Shot{ship.x, ship.y, -1};
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(ship.lives, 0);
    EXPECT_EQ(ship.x, 123);
    EXPECT_EQ(ship.hitRadius, 0);
    EXPECT_EQ(game.burstRequests[0].x, 123);
    EXPECT_EQ(game.burstRequests[0].angle, -1);
    // A shot next to the ship no longer hits.
    shotPool.shots[9] = Shot{ship.x + 0.001, ship.y, -1};
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(ship.lives, 0);
    EXPECT_NE(shotPool.shots[9].angle, kFreeShotAngle);
}
