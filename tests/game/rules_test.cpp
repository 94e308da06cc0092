// Rules a player counts on, one table each; everything else the seeded runs digest.
#include "game/enemies.h"
#include "game/game_state.h"
#include "game/game_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

void quietGame(unsigned seed) {
    startGame(false, seed);
    clearField();
    game.waveNumber = 250;  // no countdown, no waves
}

}  // namespace

TEST(Rules, ShotsNeededAndScorePerKind) {
    const int expected[5] = {2, 4, 3, 7, 8};
    const float values[5] = {20, 50, 70, 100, 90};
    for (int kind = 0; kind < 5; ++kind) {
        quietGame(20 + kind);
        fleet.frozen = 1;
        shotPool.stepMs = 1e12;
        Enemy& e = placeEnemy(5, kind, 400, 100, 1);
        int shots = 0;
        for (; e.strength > 0 && shots < 100; ++shots) {
            shotPool.shots[3] = Shot{e.x + 1, e.y, -1};
            frame();
        }
        EXPECT_EQ(shots, expected[kind]) << "kind " << kind;
        EXPECT_EQ(game.score, values[kind]);
        EXPECT_EQ(fleet.enemies[5].strength, kDeadStrength);
    }
}

TEST(Rules, TenHitsCostALifeAndTheShipComesBackInTheCentre) {
    quietGame(10);
    ship.x = ship.y = 100;
    for (int hit = 1; hit <= 10; ++hit) {
        EXPECT_EQ(ship.lives, 3);
        shotPool.shots[9 + hit] = Shot{101, 100, -0.5};
        frame();
        EXPECT_EQ(ship.shield, hit < 10 ? 100 - 10 * hit : 100);
    }
    EXPECT_EQ(ship.lives, 2);
    EXPECT_EQ(ship.x, 400);
    EXPECT_EQ(ship.y, 300);
    EXPECT_EQ(ship.heading, kPi / 2);
}

TEST(Rules, WaveNPlacesNPlusFourEnemiesUpToTheCapacity) {
    const int waves[][2] = {{1, 5}, {37, 41}, {116, 120}, {200, 120}};
    for (const auto& w : waves) {
        startGame(false, 11);
        game.waveNumber = static_cast<std::uint8_t>(w[0]);
        fleet.frozen = 1;  // nothing moves, fires or dies
        runFor(4000 + 125 * 89.0);
        EXPECT_EQ(fleet.aliveCount, w[1]) << "wave " << w[0];
    }
}
