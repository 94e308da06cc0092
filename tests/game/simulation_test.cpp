// Whole games under the simulation alone: a System Test and a normal game run to their end, seeded
// games with random input keep every invariant, and the records of seeded runs digest the same.
#include "game/frame_update.h"
#include "game/game_state.h"
#include "sound/sound.h"
#include "game/game_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Random input as a player might give it: ship keys held for a while, function keys tapped
// now and then (F7/F8 too: the volume is only a number here).
struct RandomPlayer {
    std::mt19937 gen;
    bool useFreeze;

    void press() {
        std::uniform_int_distribution<int> roll(0, 999);
        if (roll(gen) < 40) {
            held.forward = roll(gen) < 600;
            held.left = roll(gen) < 300;
            held.right = roll(gen) < 300;
            held.shoot = roll(gen) < 700;
        }
        held.f11 = roll(gen) < 3;
        held.f9 = roll(gen) < 3;
        held.f7 = roll(gen) < 2;
        held.f8 = roll(gen) < 2;
        held.f2 = useFreeze && roll(gen) < 2;
    }

    double frameMs() {
        // Mostly fast frames, sometimes a slow one that makes every family catch up.
        std::uniform_int_distribution<int> roll(0, 99);
        const int r = roll(gen);
        return r < 90 ? 1 + r % 4 : 5 + r % 40;
    }
};

// Plays for at most limitMs, checking the invariants after every frame; with stopAtEnd it stops
// once the end message shows. True when the game has ended.
bool play(RandomPlayer& player, double limitMs, bool stopAtEnd) {
    const double end = fakeNow + limitMs;
    while (fakeNow < end) {
        player.press();
        frame(player.frameMs());
        const char* broken = checkInvariants();
        if (broken[0] != '\0') {
            ADD_FAILURE() << broken << " at " << fakeNow;
            return false;
        }
        if (stopAtEnd && game.endTime == -1) {
            return true;
        }
    }
    return game.endTime == -1;
}

}  // namespace

TEST(WholeGame, ASystemTestRunsToItsEnd) {
    startGame(true, 2026);
    RandomPlayer player{std::mt19937(1), false};
    ASSERT_TRUE(play(player, 30 * 60 * 1000.0, true));
    EXPECT_EQ(ship.lives, 0);
    EXPECT_EQ(game.won, 0);
    EXPECT_EQ(keys.shipKeysLocked, 1);
    EXPECT_GE(game.waveNumber, 200);
    EXPECT_EQ(checkInvariants(), std::string());
}

TEST(WholeGame, ANormalGameRunsToItsEnd) {
    startGame(false, 713);
    RandomPlayer player{std::mt19937(2), false};
    ASSERT_TRUE(play(player, 60 * 60 * 1000.0, true));
    EXPECT_EQ(ship.lives, 0);
    EXPECT_GT(game.score, 0);
    EXPECT_GT(game.waveNumber, 1);
}

TEST(WholeGame, AWonGameEndsWithTheWinMessage) {
    // The last wave of a system test, cleared by removing its enemies as the player would.
    startGame(true, 99);
    RandomPlayer player{std::mt19937(3), false};
    int cleared = 0;
    while (game.endTime != -1 && fakeNow < 1e7) {
        player.press();
        frame(player.frameMs());
        if (game.countdown == 0 && !fleet.spawning && fleet.aliveCount > 0) {
            for (int i = 0; i < kEnemyCapacity; ++i) {
                fleet.enemies[i].strength = kDeadStrength;
            }
            fleet.aliveCount = 0;
            ++cleared;
        }
        ship.lives = 3;  // the test's ship never dies
    }
    EXPECT_EQ(cleared, 2);  // waves 200 and 201
    EXPECT_EQ(game.waveNumber, 202);
    EXPECT_EQ(game.won, 1);
    EXPECT_EQ(game.endTime, -1);
}

TEST(Properties, SeededGamesWithRandomInputKeepEveryInvariant) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        const bool systemTestGame = seed % 2 == 1;
        startGame(systemTestGame, seed * 7919);
        RandomPlayer player{std::mt19937(seed), true};
        // Minutes of play, on past the end: the simulation runs on under the end message too.
        play(player, 3 * 60 * 1000.0, false);
        if (::testing::Test::HasFailure()) {
            return;
        }
    }
}

namespace {

void digestState(Digest& d) {
    for (double v : {game.now, double(game.score), double(game.waveNumber), double(game.countdown),
                     game.endTime, double(game.won), double(game.hudVisible), double(game.damage[4]),
                     double(ship.shield), double(ship.lives), ship.x, ship.y, ship.heading,
                     double(bonus.kind), bonus.kind != 0 ? bonus.x + bonus.y * 1e4 : 0, fleet.spawnX, fleet.spawnY,
                     double(fleet.aliveCount), double(keys.shipKeysLocked), double(sound.soundVolume),
                     double(hookCalls.sleep1ms), double(sound.playerShotTimer), double(sound.bigBurstTimer),
                     double(sound.smallBurstTimer), double(sound.extraLifeTimer), double(sound.thrustTimer)}) {
        d.add(v);
    }
    for (int i = 0; i < kEnemyCapacity; ++i) {
        // A free record keeps what an earlier test left in it: only busy ones count.
        const Enemy& e = fleet.enemies[i];
        for (double v : {e.x, e.y, e.heading, double(e.strength), double(e.kind)}) {
            d.add(e.strength > 0 ? v : i);
        }
    }
    for (const Shot& s : shotPool.shots) {
        d.add(s.angle == kFreeShotAngle ? 0 : s.x + s.y * 1e4 + s.angle);
    }
    for (int b = 0; b < kBurstCount; ++b) {
        const Burst& burst = burstPool.bursts[b];
        d.add(burst.age), d.add(burst.age != 0 ? burst.particles[3].x + burst.particles[5].y : 0);
    }
}

}  // namespace

TEST(Properties, SeededRunsDigestTheSame) {
    for (unsigned seed = 1; seed <= 2; ++seed) {
        startGame(seed == 2, seed * 31);
        RandomPlayer player{std::mt19937(seed), true};
        Digest d;
        for (int f = 0; f < 60000 && game.endTime != -1; ++f) {
            player.press();
            frame(player.frameMs());
            if (f % 16 == 0) {
                digestState(d);
            }
        }
        expectDigest("game_run_" + std::to_string(seed), d);
    }
}
