// Enemies: spawning, damage and kills, drops, avoidance, freezing and fire.
#include "game/enemies.h"
#include "game/game_state.h"
#include "game/game_test_support.h"
#include "platform/rand.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void quietGame(unsigned seed) {
    startGame(false, seed);
    clearField();
    game.waveNumber = 250;  // no countdown, no waves
}

// Hits the enemy with one player shot per frame until it dies; returns the shots it took.
int shotsToKill(int kind) {
    quietGame(20 + kind);
    fleet.frozen = 1;
    shotPool.stepMs = 1e12;
    Enemy& e = placeEnemy(5, kind, 400, 100, 1);
    int shots = 0;
    while (e.strength > 0 && shots < 100) {
        shotPool.shots[3] = Shot{e.x + 1, e.y, -1};
        frame();
        ++shots;
        EXPECT_EQ(shotPool.shots[3].angle, kFreeShotAngle);
    }
    return shots;
}

}  // namespace

TEST(EnemyKinds, ShotsNeededPerKindAndTheScoreOfAKill) {
    const int expected[5] = {2, 4, 3, 7, 8};
    const float values[5] = {20, 50, 70, 100, 90};
    for (int kind = 0; kind < 5; ++kind) {
        EXPECT_EQ(shotsToKill(kind), expected[kind]) << "kind " << kind;
        EXPECT_EQ(game.score, values[kind]);
        EXPECT_EQ(fleet.aliveCount, 0);
        EXPECT_EQ(fleet.enemies[5].strength, kDeadStrength);
    }
}

TEST(EnemyKinds, SpeedsAndTurnsMatchTheTable) {
    EXPECT_EQ(enemySpeed(0, 600), 3.0f);
    EXPECT_EQ(enemySpeed(1, 600), 1.5f);
    EXPECT_EQ(enemySpeed(2, 650), 2.0f);
    EXPECT_EQ(enemySpeed(3, 550), 2.0f);
    EXPECT_EQ(enemySpeed(4, 600), 1.5f);
    EXPECT_EQ(kEnemyKinds[0].turnRate, 0.08f);
    EXPECT_EQ(kEnemyKinds[4].turnRate, 0.027f);
}

TEST(EnemyHits, NonFatalHitsAskForSmallExplosionsAndAKillForALargeOne) {
    quietGame(30);
    Enemy& e = placeEnemy(0, 4, 300, 300, 0);
    for (int j = 0; j < 3; ++j) {
        shotPool.shots[j] = Shot{300, 300, -0.5 - j};
    }
    hitEnemyByPlayerShots(shotPool.shots, game.burstRequests, 0, kPlayerShotSlots);
    EXPECT_FLOAT_EQ(e.strength, 1 - 3 * 0.13f);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_DOUBLE_EQ(game.burstRequests[r].angle, -0.5 - (r - 1) - kTwoPi);
    }
    EXPECT_EQ(game.burstRequests[0].angle, 0);

    e.strength = 0.1f;
    shotPool.shots[7] = Shot{301, 299, -2.5};
    shotPool.shots[8] = Shot{299, 301, -3.0};  // absorbed by the dead enemy
    hitEnemyByPlayerShots(shotPool.shots, game.burstRequests, 0, kPlayerShotSlots);
    EXPECT_EQ(e.strength, kDeadStrength - 0.13f);  // the second shot hit the corpse
    EXPECT_EQ(fleet.aliveCount, 0);
    EXPECT_EQ(game.burstRequests[0].angle, -2.5);
    EXPECT_EQ(game.burstRequests[0].x, 300);
    EXPECT_EQ(shotPool.shots[8].angle, kFreeShotAngle);
    EXPECT_EQ(game.score, 90);
    EXPECT_EQ(fleet.dropKind, 2);
    EXPECT_EQ(fleet.killX, 300);
}

TEST(EnemyHits, KindOneDropsEitherBonusAndTheOthersTheirOwn) {
    quietGame(31);
    int drops[3] = {};
    for (int n = 0; n < 400; ++n) {
        Enemy& e = placeEnemy(0, 1, 300, 300, 0);
        e.strength = 0.01f;
        shotPool.shots[0] = Shot{300, 300, -1};
        hitEnemyByPlayerShots(shotPool.shots, game.burstRequests, 0, kPlayerShotSlots);
        ++drops[static_cast<int>(fleet.dropKind)];
    }
    EXPECT_EQ(drops[0], 0);
    EXPECT_GT(drops[1], 150);
    EXPECT_GT(drops[2], 150);

    const double own[5] = {1, 0, 1, 2, 2};
    for (int kind : {0, 2, 3, 4}) {
        Enemy& e = placeEnemy(0, kind, 300, 300, 0);
        e.strength = 0.01f;
        shotPool.shots[0] = Shot{300, 300, -1};
        hitEnemyByPlayerShots(shotPool.shots, game.burstRequests, 0, kPlayerShotSlots);
        EXPECT_EQ(fleet.dropKind, own[kind]);
    }
}

TEST(EnemyHits, TwoKillsInOneFrameBothScoreButOnlyTheLaterExplodesAndDrops) {
    quietGame(32);
    fleet.frozen = 1;
    Enemy& a = placeEnemy(0, 0, 200, 200, 0);
    Enemy& b = placeEnemy(1, 3, 600, 400, 0);
    a.strength = b.strength = 0.01f;
    shotPool.shots[0] = Shot{200, 200, -1};
    shotPool.shots[1] = Shot{600, 400, -2};
    resolvePlayerShots(shotPool.shots, game.burstRequests, ship.x, ship.y, ship.heading, ship.hitRadius);
    EXPECT_EQ(game.score, 120);
    EXPECT_EQ(fleet.aliveCount, 0);
    EXPECT_EQ(game.burstRequests[0].x, 600);
    EXPECT_EQ(fleet.killX, 600);
    EXPECT_EQ(fleet.dropKind, 2);
}

TEST(Spawning, EnemiesAppearAtTheWanderingSpawnPoint) {
    startGame(false, 33);
    game.waveNumber = 60;
    fleet.frozen = 1;
    runFor(3200);
    double lastX = -1;
    double lastY = -1;
    double lastMove = -1;
    int moves = 0;
    for (int f = 0; f < 6000; ++f) {
        bool wasAlive[kEnemyCapacity];
        for (int i = 0; i < kEnemyCapacity; ++i) {
            wasAlive[i] = fleet.enemies[i].strength > 0;
        }
        frame();
        for (int i = 0; i < kEnemyCapacity; ++i) {
            const Enemy& placed = fleet.enemies[i];
            if (wasAlive[i] || !(placed.strength > 0)) {
                continue;
            }
            EXPECT_EQ(placed.x, fleet.spawnX);
            EXPECT_EQ(placed.y, fleet.spawnY);
            EXPECT_GE(placed.heading, 0);
            EXPECT_LT(placed.heading, kPi);
            EXPECT_EQ(placed.turnRemaining, -1);
            EXPECT_EQ(placed.value, kEnemyKinds[placed.kind].value);
            EXPECT_EQ(placed.speed, enemySpeed(placed.kind, 600));
            if (placed.x != lastX || placed.y != lastY) {
                if (lastMove >= 0) {
                    EXPECT_GE(fakeNow - lastMove, fleet.spawnMoveMs);
                    EXPECT_LT(fakeNow - lastMove, fleet.spawnMoveMs + 90);
                }
                lastMove = fakeNow;
                ++moves;
            }
            lastX = placed.x;
            lastY = placed.y;
        }
    }
    EXPECT_EQ(fleet.spawnedThisWave, 64);
    EXPECT_EQ(fleet.aliveCount, 64);
    EXPECT_GE(moves, 8);
}

TEST(Avoidance, TwoOverlappingEnemiesHeadingAtEachOtherStopThenTurnAway) {
    quietGame(34);
    Enemy& a = placeEnemy(0, 0, 400, 100, 0);    // heading right
    Enemy& b = placeEnemy(1, 0, 410, 100, kPi);  // heading left
    for (Enemy* e : {&a, &b}) {
        e->turnRemaining = 0;                // free to decide
        e->lastDecisionTime = fakeNow + 100;  // but only 100 ms from now
        e->lastDecisionTime -= fleet.decisionDelayMs[0];
    }
    runFor(50);
    EXPECT_EQ(a.x, 400);
    EXPECT_EQ(b.x, 410);
    EXPECT_GT(a.blocked, 0);
    EXPECT_GT(b.blocked, 0);
    EXPECT_EQ(a.heading, 0);

    // The decision comes due while blocked: an escape turn of at least 90 degrees, one way or
    // the other, turned 1.5 times as fast while still blocked.
    while (a.turnRemaining <= 0) {
        frame();
        ASSERT_LT(fakeNow, 1e6);
    }
    EXPECT_GE(a.turnRemaining, kPi / 2);
    EXPECT_GE(b.turnRemaining, kPi / 2);
    EXPECT_LT(a.turnMode, 2);
    const double decided = fakeNow;
    const double r0 = a.turnRemaining;
    while (a.turnRemaining == r0) {
        frame();
    }
    ASSERT_GT(a.blocked, 0);
    EXPECT_NEAR(r0 - a.turnRemaining, 0.08f / fleet.turnStepMs[0] * (fakeNow - decided) * 1.5, 1e-12);
    while (a.turnRemaining > 0 || b.turnRemaining > 0) {
        frame();
        ASSERT_LT(fakeNow, 1e6);
    }
    EXPECT_NE(a.heading, 0.0);
    // Once they no longer head into each other they move apart.
    const double gap = std::hypot(a.x - b.x, a.y - b.y);
    runFor(300);
    EXPECT_GT(std::hypot(a.x - b.x, a.y - b.y), gap);
    EXPECT_EQ(a.blocked, 0);
}

TEST(Avoidance, AnEnemyHeadingIntoTwoNeighboursStaysBlockedForGood) {
    // Two neighbours raise the count by two a frame and it decays by one: an 8-bit count would
    // wrap to 0 after 255 frames and let the enemy step into them.
    quietGame(41);
    fleet.frozen = 0;
    Enemy& e = placeEnemy(0, 0, 300, 100, 0);
    placeEnemy(1, 0, 310, 95, kPi);  // both head back into it, so they stay too
    placeEnemy(2, 0, 310, 105, kPi);
    for (int f = 0; f < 400; ++f) {
        frame();
        ASSERT_EQ(e.x, 300) << "frame " << f;
        ASSERT_GT(e.blocked, 0) << "frame " << f;
    }
    EXPECT_EQ(e.blocked, 255);
}

TEST(Avoidance, EnemiesStandClearOfTheShip) {
    quietGame(35);
    Enemy& e = placeEnemy(0, 1, ship.x - 20, ship.y, 0);  // heading into the ship
    runFor(200);
    EXPECT_EQ(e.x, ship.x - 20);
    EXPECT_GT(e.blocked, 0);
}

TEST(Freeze, FrozenEnemiesNeitherMoveNorFireAndResumeWithoutAJump) {
    quietGame(36);
    Enemy& e = placeEnemy(0, 0, 100, 300, 0);
    e.fireDelay = 500;
    held.f2 = true;
    frame();
    held.f2 = false;
    ASSERT_EQ(fleet.frozen, 1);
    runFor(3000);
    EXPECT_EQ(e.x, 100);
    for (int i = kPlayerShotSlots; i < kTotalShotSlots; ++i) {
        EXPECT_EQ(shotPool.shots[i].angle, kFreeShotAngle);
    }
    held.f2 = true;
    frame();
    ASSERT_EQ(fleet.frozen, 0);
    // One frame's worth of travel, not three seconds' worth.
    EXPECT_LT(e.x - 100, 1.0);
    runFor(100);
    EXPECT_GT(e.x - 100, 25.0);
}

TEST(Freeze, TheSpawnerKeepsPlacingFrozenEnemies) {
    startGame(false, 37);
    fleet.frozen = 1;
    runFor(4000);
    EXPECT_EQ(fleet.aliveCount, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(fleet.enemies[i].lastMoveTime, fakeNow);  // renewed while frozen
        EXPECT_EQ(fleet.enemies[i].turnRemaining, -1);      // no decision taken
    }
}

TEST(EnemyFire, AShotStartsAboutOneHitRadiusAhead) {
    quietGame(38);
    Enemy& e = placeEnemy(0, 2, 300, 300, 0.5);
    e.fireDelay = 40;
    e.lastFireTime = fakeNow;
    game.now = fakeNow + 40;
    updateEnemies();
    const Shot& s = game.enemyShotRequest;
    const float f = static_cast<float>(fleet.hitRadius[2] / 40 * 40);
    EXPECT_EQ(s.x, 300 + std::cos(-0.5) * f);
    EXPECT_EQ(s.y, 300 + std::sin(-0.5) * f);
    EXPECT_EQ(s.angle, -0.5);
    EXPECT_EQ(e.lastFireTime, game.now);
    EXPECT_EQ(sound.enemyShotTimer, -2);
}

TEST(EnemyFire, AZeroFireDelayStartsTheShotOneHitRadiusAhead) {
    quietGame(39);
    Enemy& e = placeEnemy(0, 3, 300, 300, 0);
    e.fireDelay = 0;
    e.lastFireTime = game.now;  // no time has passed either: 0 / 0 before the mend
    updateEnemies();
    const Shot& s = game.enemyShotRequest;
    ASSERT_TRUE(std::isfinite(s.x));
    ASSERT_TRUE(std::isfinite(s.y));
    EXPECT_EQ(s.x, 300.0 + static_cast<double>(static_cast<float>(fleet.hitRadius[3])));
    EXPECT_EQ(s.y, 300);
}

TEST(EnemyFire, OnlyTheLastShotOfAFrameIsPlaced) {
    quietGame(40);
    for (int i = 0; i < 3; ++i) {
        Enemy& e = placeEnemy(i, 0, 100 + 100 * i, 300, 0);
        e.fireDelay = 5;
    }
    runFor(5);
    int busy = 0;
    for (int i = kPlayerShotSlots; i < kTotalShotSlots; ++i) {
        busy += shotPool.shots[i].angle != kFreeShotAngle;
    }
    EXPECT_EQ(busy, 1);
    EXPECT_GT(shotPool.shots[kPlayerShotSlots].x, 300);
}
