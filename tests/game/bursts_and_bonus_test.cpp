// Explosions: lifetime, catch-up, small bursts, a full pool. Bonus items: drops, expiry, pickup.
#include "game/bursts_and_bonus.h"
#include "game/game_state.h"
#include "game/game_test_support.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kDefaults[5] = {0.51f, 0.26f, 0.34f, 0.16f, 0.13f};

void quietGame(unsigned seed) {
    startGame(false, seed);
    clearField();
    game.waveNumber = 250;
}

// One burst step exactly `factor` step intervals after the last.
void stepBy(double factor) {
    game.now = burstPool.lastStepTime + (factor + 1e-9) * burstPool.stepMs;
    stepBursts();
}

}  // namespace

TEST(Bursts, ABurstLives36Steps) {
    quietGame(50);
    startBurst(100, 100, false);
    const Burst& b = burstPool.bursts[0];
    EXPECT_EQ(b.age, 1);
    int steps = 0;
    while (b.age != 0 && steps < 100) {
        stepBy(1.0);
        ++steps;
    }
    EXPECT_EQ(steps, 36);
    EXPECT_EQ(sound.bigBurstTimer, -2);
    EXPECT_EQ(sound.bigBurstX, 100u);
}

TEST(Bursts, ParticlesFlyStraightAtTheirSpeed) {
    quietGame(51);
    startBurst(400, 300, false);
    const Burst& b = burstPool.bursts[0];
    const Particle start[3] = {b.particles[0], b.particles[177], b.particles[249]};
    for (int s = 0; s < 5; ++s) {
        stepBy(1.0);
    }
    const int index[3] = {0, 177, 249};
    for (int k = 0; k < 3; ++k) {
        const Particle& p = b.particles[index[k]];
        const double f = 1.5 * burstPool.particleScale[0] * p.speed;
        EXPECT_NEAR(p.x, 400 + 5 * std::cos(start[k].direction) * f, 1e-9);
        EXPECT_NEAR(p.y, 300 + 5 * std::sin(start[k].direction) * f, 1e-9);
        EXPECT_GE(p.direction, -kPi);
        EXPECT_LE(p.direction, kPi);
    }
    for (int p = 0; p < kParticlesPerBurst; ++p) {
        const double speed = b.particles[p].speed;
        if (p < 178) {
            EXPECT_TRUE(speed >= 0 && speed < 1) << p;
        } else {
            EXPECT_TRUE(speed >= 0.6 && speed < 0.6 + 1000.0 / 7000) << p;
        }
    }
}

TEST(Bursts, ASlowFrameCatchesUp) {
    quietGame(52);
    startBurst(100, 100, false);
    const Burst& b = burstPool.bursts[0];
    stepBy(2.1);
    EXPECT_EQ(b.age, 4);  // three steps
    stepBy(1.0);
    EXPECT_EQ(b.age, 5);
    stepBy(1.06);  // below the threshold: one step
    EXPECT_EQ(b.age, 6);
    stepBy(1.08);
    EXPECT_EQ(b.age, 8);
    // A burst that ends during the catch-up stops there.
    stepBy(100);
    EXPECT_EQ(b.age, 0);
    // Nothing steps before a whole interval has passed.
    startBurst(100, 100, false);
    game.now = burstPool.lastStepTime + burstPool.stepMs * 0.99;
    stepBursts();
    EXPECT_EQ(b.age, 1);
}

TEST(Bursts, ASmallBurstMovesSevenParticles) {
    quietGame(53);
    startBurst(200, 150, true);
    const Burst& b = burstPool.bursts[0];
    EXPECT_EQ(b.small, 1);
    EXPECT_EQ(sound.smallBurstTimer, -2);
    stepBy(3.0);
    for (int p = 0; p < 7; ++p) {
        EXPECT_NE(b.particles[p].x, 200) << p;
        const double f = 1.5 * burstPool.particleScale[1] * b.particles[p].speed;
        EXPECT_NEAR(std::hypot(b.particles[p].x - 200, b.particles[p].y - 150), 3 * f, 1e-9);
    }
    for (int p = 7; p < kParticlesPerBurst; ++p) {
        EXPECT_EQ(b.particles[p].x, -1);
        EXPECT_EQ(b.particles[p].y, -1);
    }
}

TEST(Bursts, AFullPoolDropsTheNewBurstSilently) {
    quietGame(54);
    for (int i = 0; i < kBurstCount; ++i) {
        startBurst(10, 10, false);
    }
    sound.bigBurstTimer = -1;
    Burst before = burstPool.bursts[49];
    startBurst(300, 300, false);
    EXPECT_EQ(sound.bigBurstTimer, -1);
    EXPECT_EQ(burstPool.bursts[49].particles[0].x, before.particles[0].x);
    for (int i = 0; i < kBurstCount; ++i) {
        EXPECT_EQ(burstPool.bursts[i].particles[0].x, 10);
    }
}

TEST(Bonus, ADropAppearsAboutOnceIn17Kills) {
    quietGame(55);
    int placed = 0;
    for (int n = 0; n < 17000; ++n) {
        bonus.kind = 0;
        fleet.dropKind = 2;
        fleet.killX = 123;
        fleet.killY = 45;
        updateBonusItem(-1000, -1000, 0, 0, ship.shield);
        EXPECT_EQ(fleet.dropKind, 0);
        placed += bonus.kind != 0;
    }
    EXPECT_GT(placed, 850);
    EXPECT_LT(placed, 1150);
    EXPECT_EQ(bonus.x, 123);
    EXPECT_EQ(bonus.radius, 0.015 * 800);
    EXPECT_EQ(bonus.radiusSquared, 144);
    EXPECT_EQ(bonus.expiresAt, game.now + 10000);
    EXPECT_EQ(sound.bonusAppearsTimer, -2);
}

TEST(Bonus, ExpiresAfterTenSeconds) {
    quietGame(56);
    placeBonusItem(1, 100, 100);
    runFor(10000);
    EXPECT_EQ(bonus.kind, 1);
    frame();
    EXPECT_EQ(bonus.kind, 0);
    EXPECT_EQ(game.score, 0);
}

TEST(Bonus, PickupUsesTheSumOfTheSquaredRadii) {
    quietGame(57);
    const double r2 = ship.hitRadius * ship.hitRadius + 144;
    placeBonusItem(2, ship.x + std::sqrt(r2) + 1e-9, ship.y);
    frame();
    EXPECT_EQ(bonus.kind, 2);
    placeBonusItem(2, ship.x + std::sqrt(r2) - 1e-9, ship.y);
    frame();
    EXPECT_EQ(bonus.kind, 0);
    EXPECT_EQ(ship.shield, 140);
    EXPECT_EQ(game.score, 50);
    EXPECT_EQ(sound.bonusTakenFirst, -2);
}

TEST(Bonus, ShieldsStackAboveOneHundred) {
    quietGame(58);
    for (int n = 0; n < 5; ++n) {
        placeBonusItem(2, ship.x, ship.y);
        frame();
    }
    EXPECT_EQ(ship.shield, 300);
    runFor(1000);
    EXPECT_EQ(ship.shield, 300);
}

TEST(Bonus, UpgradesStopAtTheKind4EntryOfOneHalf) {
    quietGame(59);
    int upgrades = 0;
    for (int n = 0; n < 30; ++n) {
        const float before = game.damage[4];
        placeBonusItem(1, ship.x, ship.y);
        updateBonusItem(ship.x, ship.y, ship.heading, ship.hitRadius, ship.shield);
        upgrades += game.damage[4] != before;
        EXPECT_EQ(bonus.kind, 0);
    }
    EXPECT_EQ(upgrades, 15);
    EXPECT_GE(game.damage[4], 0.5f);
    EXPECT_LT(game.damage[4], 0.55f);
    EXPECT_EQ(game.score, 30 * 50);
    float expected = kDefaults[0];
    for (int n = 0; n < 15; ++n) {
        expected = static_cast<float>(expected * 1.1);
    }
    EXPECT_EQ(game.damage[0], expected);
}

TEST(Bonus, AnItemExpiringAsItIsTouchedCountsAsAWeaponUpgrade) {
    quietGame(60);
    placeBonusItem(2, ship.x, ship.y);
    game.now = bonus.expiresAt + 1;
    updateBonusItem(ship.x, ship.y, ship.heading, ship.hitRadius, ship.shield);
    EXPECT_EQ(ship.shield, 100);
    EXPECT_EQ(game.damage[4], static_cast<float>(kDefaults[4] * 1.1));
    EXPECT_EQ(game.score, 50);
}

TEST(Bonus, ANewGameKeepsAnItemOnTheField) {
    quietGame(61);
    placeBonusItem(1, 10, 10);
    startBurst(50, 50, false);
    game.waveNumber = 1;
    prepareGame(true, false);
    EXPECT_EQ(bonus.kind, 1);
    EXPECT_EQ(burstPool.bursts[0].age, 1);
}
