// The simulation headless, on a fake clock with a fixed seed and keys the test holds: whole games
// to their end, invariants over seeded games with random input, a stored digest of seeded runs
// (see support/test_support.h), and a few rules a player counts on.
#include "game/bursts_and_bonus.h"
#include "game/enemies.h"
#include "game/frame_update.h"
#include "game/input.h"
#include "game/ship_and_shots.h"
#include "platform/rand.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <span>
#include <vector>

namespace {

KeyBindings held{};
int sleeps = 0;

// As the real poll: ship keys read released while locked, both turn keys together cancel.
void fakePoll() {
    const std::uint8_t locked = keys.shipKeysLocked;
    keys = held, keys.shipKeysLocked = locked;
    if (locked) {
        keys.forwardHeld = keys.rightHeld = keys.leftHeld = keys.shootHeld = 0;
    }
    if (keys.rightHeld && keys.leftHeld) {
        keys.rightHeld = keys.leftHeld = 0;
    }
}

// A fresh process state at 800 x 600, then a new game with the seed. The game's own start resets
// the records; the counters, the function-key latch and the sound's requests outlive a game, and
// the ambient voices draw random numbers: those start alike here.
void startGame(bool systemTestGame, unsigned seed) {
    useFakeClock(100000), initialiseGameTables(), setFieldSize(800, 600), prepareGame(false, false);
    platformSrand(seed), setStepConstants();  // the decision delays from the seed, not from the calendar
    game.nextCountdownTick = game.lastFunctionKey = game.volumeShownUntil = game.rateFrames = 0;
    game.hudVisible = game.waveNumber = 1, held = keys = KeyBindings{}, sleeps = 0, sound = SoundState{};
    sound.enemyShotTimer = sound.playerShotTimer = sound.bigBurstTimer = sound.thrustTimer = -1;
    sound.smallBurstTimer = sound.bonusAppearsTimer = sound.bonusTakenFirst = -1;
    sound.bonusTakenSecond = sound.extraLifeTimer = -1;  // volume 0: requests stay marked, no note starts
    gameHooks = GameHooks{fakePoll, [] {}, [] {}, [] { ++sleeps; }, nullptr};
    systemTest = systemTestGame ? 1 : 0, prepareGame(true, false);
}

void frame(double stepMs = 1.0) {
    updateMuzzle(ship), fakeNow += stepMs, gameIdle();
}

bool inside(double x, double y) {
    return x >= -1e-6 && x <= fleet.fieldWidth + 1e-6 && y >= -1e-6 && y <= fleet.fieldHeight + 1e-6;
}

// The first broken rule of the records, or an empty string.
const char* brokenInvariant() {
    int alive = 0;
    for (const Enemy& e : std::span(fleet.enemies, kEnemyCapacity)) {
        alive += e.strength > 0;
        // (The look-ahead probes may leave an enemy an ulp off the edge.)
        if (!(e.strength > 0) ? e.strength != 0 && e.strength != kDeadStrength
                              : e.strength > 1 || e.kind < 0 || e.kind > 4 || !(e.heading >= 0 && e.heading <= kTwoPi) ||
                                    !inside(e.x, e.y)) {
            return "an enemy record has a bad strength, free marker, kind or heading, or left the field";
        }
    }
    for (const Shot& s : std::span(shotPool.shots, kPlayerShotSlots)) {
        if (s.angle != kFreeShotAngle && shotPool.lastStepTime == game.now && !inside(s.x, s.y)) {
            return "a player shot lies outside the field after a step";
        }
    }
    if (std::any_of(burstPool.bursts, burstPool.bursts + kBurstCount, [](const Burst& b) { return b.age > 36; })) {
        return "a burst outlived its 36 steps";
    }
    if (alive != fleet.aliveCount || game.enemyShotRequest.angle != kFreeShotAngle || game.burstRequests[0].angle != 0) {
        return "aliveCount differs from the live slots, or a request survived the frame";
    }
    if (!inside(ship.x, ship.y) || !(ship.heading >= 0 && ship.heading <= kTwoPi) || !(game.score >= 0) ||
        !(game.damage[4] >= 0.1299f && game.damage[4] < 0.545f)) {
        return "the ship left the field, or its heading, the score or the kind-4 damage left its bounds";
    }
    return "";
}

// Random input as a player might give it: ship keys held for a while, function keys tapped now
// and then; mostly fast frames, sometimes a slow one that makes every family catch up.
double press(std::mt19937& gen, bool useFreeze) {
    // 0 to 999 drawn as GCC's uniform_int_distribution draws them (Lemire's method): the standard
    // leaves the way to each library, and every build must replay the same input.
    const auto roll = [](std::mt19937& g) {
        std::uint64_t product = std::uint64_t{g()} * 1000;
        while (std::uint32_t(product) < (0u - 1000u) % 1000u) {
            product = std::uint64_t{g()} * 1000;
        }
        return int(product >> 32);
    };
    if (roll(gen) < 40) {
        held.forwardHeld = roll(gen) < 600, held.leftHeld = roll(gen) < 300;  // in this order: one generator
        held.rightHeld = roll(gen) < 300, held.shootHeld = roll(gen) < 700;
    }
    held.f11Held = roll(gen) < 3, held.f9Held = roll(gen) < 3, held.f7Held = roll(gen) < 2;
    held.f8Held = roll(gen) < 2, held.f2Held = useFreeze && roll(gen) < 2;
    const int r = roll(gen) % 100;
    return r < 90 ? 1 + r % 4 : 5 + r % 40;
}

// Every record a player sees, a frame a step. A free record keeps what an earlier frame left in
// it: only busy ones count.
void digestFrame(Digest& d) {
    const std::pair<const char*, double> named[] = {
        {"now", game.now}, {"score", game.score}, {"wave", game.waveNumber}, {"countdown", game.countdown},
        {"endTime", game.endTime}, {"hud", game.hudVisible}, {"damage4", game.damage[4]},
        {"shield", ship.shield}, {"lives", ship.lives}, {"ship.x", ship.x}, {"ship.y", ship.y},
        {"ship.heading", ship.heading}, {"bonus.kind", bonus.kind},
        {"bonus.place", bonus.kind != 0 ? bonus.x + bonus.y * 1e4 : 0}, {"spawn.x", fleet.spawnX},
        {"spawn.y", fleet.spawnY}, {"alive", fleet.aliveCount}, {"volume", sound.soundVolume},
        {"sleeps", sleeps}, {"sound.playerShot", sound.playerShotTimer}, {"sound.bigBurst", sound.bigBurstTimer},
        {"sound.smallBurst", sound.smallBurstTimer}, {"sound.extraLife", sound.extraLifeTimer}};
    for (const auto& [name, v] : named) {
        d.add(name, v);
    }
    for (int i = 0; i < kEnemyCapacity; ++i) {
        const Enemy& e = fleet.enemies[i];
        d.add(e.strength > 0 ? e.x + e.y * 1e4 + e.heading * 1e8 + e.strength + e.kind * 10 : i);
    }
    for (const Shot& s : shotPool.shots) {
        d.add(s.angle == kFreeShotAngle ? 0 : s.x + s.y * 1e4 + s.angle);
    }
    for (const Burst& burst : std::span(burstPool.bursts, kBurstCount)) {
        d.add(burst.age != 0 ? burst.age + burst.particles[3].x + burst.particles[5].y : 0);
    }
    d.step();
}

}  // namespace

// Whole games to their end, every invariant after every frame: a normal game and a system test
// lost under random input with the freeze key, their first 60000 frames against the stored
// digests, and the last waves of a system test cleared as the player would, its ship kept alive.
// The simulation runs on under the end message.
TEST(WholeGame, SeededGamesKeepEveryInvariantToTheirEndMessageAndDigestTheSame) {
    for (int variant = 0; variant < 3; ++variant) {
        const bool normal = variant == 0, won = variant == 2;
        startGame(!normal, won ? 99 : 31 * (variant + 1));
        std::mt19937 gen(won ? 3 : variant + 1);
        Digest d{.every = 500};
        int cleared = 0;
        for (double end = fakeNow + 170 * 60 * 1000.0; fakeNow < end;) {
            const bool over = game.endTime == -1;
            frame(press(gen, !won && (d.steps < 60000 || fleet.frozen)));  // in the end unfrozen for good
            if (won) {
                ship.lives = 3;
                if (game.countdown == 0 && !fleet.spawning && fleet.aliveCount > 0) {
                    for (Enemy& e : std::span(fleet.enemies, kEnemyCapacity)) {
                        e.strength = kDeadStrength;
                    }
                    fleet.aliveCount = 0, ++cleared;
                }
            }
            ASSERT_STREQ(brokenInvariant(), "") << "at " << fakeNow;
            ASSERT_TRUE(!over || game.endTime == -1) << "the end message stays up";
            if (!over && game.endTime == -1) {
                EXPECT_EQ(ship.lives, won ? 3 : 0);
                EXPECT_EQ(game.won, won);
                EXPECT_EQ(keys.shipKeysLocked, 1);
                EXPECT_GE(game.waveNumber, won ? 202 : normal ? 2 : 200);
                EXPECT_EQ(game.score > 0, normal);
                end = fakeNow + 3 * 60 * 1000.0;  // the simulation runs on under the message
            }
            if (!over && !won && d.steps < 60000) {
                digestFrame(d);
            }
        }
        if (!won) {
            expectDigest("game_run_" + std::to_string(variant + 1), d);
        }
        ASSERT_EQ(game.endTime, -1) << variant;
        EXPECT_EQ(cleared, won ? 2 : 0);  // waves 200 and 201
    }
}

// Each kind killed again and again: the shots it takes, its score, and the item it leaves now
// and then (kinds 0 and 2 a weapon upgrade, 3 and 4 a shield, kind 1 either).
TEST(Rules, ShotsScoreAndTheItemEachKindLeaves) {
    const int shotsNeeded[5] = {2, 4, 3, 7, 8};
    const float values[5] = {20, 50, 70, 100, 90};
    const std::set<float> items[5] = {{1}, {1, 2}, {1}, {2}, {2}};
    for (int kind = 0; kind < 5; ++kind) {
        startGame(false, 20 + kind);  // no countdown, no waves, no enemies but the test's own
        fleet.spawning = game.countdown = 0, game.waveNumber = 250, fleet.frozen = 1, shotPool.stepMs = 1e12;
        std::set<float> seen;
        int kills = 0, drops = 0;
        for (; kills < 1000 && (drops < 8 || seen.size() < items[kind].size()); ++kills) {
            Enemy& e = fleet.enemies[5];  // holding its course for good, never firing
            e = Enemy{400, 100, 1, game.now, game.now, game.now, game.now, 1e9, 1e12, 1, kEnemyKinds[kind].value,
                      enemySpeed(kind, fleet.fieldHeight), kEnemyKinds[kind].turnRate, std::int8_t(kind), 2, 0};
            fleet.aliveCount = 1;
            int shots = 0;
            for (; e.strength > 0 && shots < 100; ++shots) {
                shotPool.shots[3] = Shot{e.x + 1, e.y, -1}, frame();
            }
            ASSERT_EQ(shots, shotsNeeded[kind]) << "kind " << kind;
            if (bonus.kind != 0) {
                ++drops, seen.insert(bonus.kind), bonus.kind = 0;
            }
        }
        EXPECT_EQ(seen, items[kind]) << "kind " << kind;
        EXPECT_EQ(game.score, values[kind] * kills) << "kind " << kind;
        EXPECT_TRUE(drops * 40 > kills && drops * 8 < kills) << drops << " of " << kills << ": about one in 17";
    }
}

// The score set before each frame, and the lives after it: strictly above 10000, then every 7500
// points, and a jump over two thresholds gives its two lives in two frames.
TEST(Rules, BonusLivesAt10000ThenEvery7500OneAFrame) {
    startGame(false, 5);  // the first countdown: no enemy, nothing else moves the score or the lives
    const float steps[][2] = {{9999, 3},  {10000, 3}, {10001, 4}, {10001, 4}, {17500, 4}, {17501, 5},
                              {24999, 5}, {40000, 6}, {40000, 7}, {40000, 7}, {40001, 8}};
    for (const auto& [score, lives] : steps) {
        game.score = score, frame();
        EXPECT_EQ(ship.lives, lives) << "score " << score;
    }
}

TEST(Rules, WaveNPlacesNPlusFourEnemiesUpTo120) {
    for (int wave : {1, 2, 57, 116, 117, 201}) {
        startGame(false, 6);
        game.waveNumber = static_cast<std::uint8_t>(wave - 1);  // the previous wave just cleared
        game.countdown = 0, fleet.frozen = 1;  // the spawner places frozen enemies all the same; none fires
        for (int f = 0; f < 400; ++f) {
            frame(100);
        }
        EXPECT_EQ(std::tuple(int(game.waveNumber), int(fleet.aliveCount), int(fleet.spawning)),
                  std::tuple(wave, std::min(wave + 4, 120), 0)) << "wave, enemies, still spawning";
    }
}

// Enemy shots on the ship until a life goes: ten from a full shield, more from a raised one.
TEST(Rules, TenHitsCostALifeAndAShieldBonusAddsFourMore) {
    for (const auto& [shield, hits] : {std::pair{100, 10}, {140, 14}, {5, 1}}) {
        startGame(false, 7);
        shotPool.stepMs = 1e12, ship.shield = shield;  // shots stay where they are put
        int n = 0;
        for (; ship.lives == 3 && n < 100; ++n) {
            EXPECT_EQ(ship.shield, shield - 10 * n);
            shotPool.shots[20] = Shot{ship.x, ship.y, -1.0}, frame();
        }
        EXPECT_EQ(std::pair(n, int(ship.shield)), std::pair(hits, 100)) << "hits from shield " << shield;
    }
}

// A shield item adds 40 with no ceiling; a weapon upgrade multiplies every damage by 1.1, fifteen
// times at most; each pickup scores 50; an item not taken is gone after 10 s.
TEST(Rules, BonusItemsShieldUpgradeAndTheirLimits) {
    startGame(false, 8);
    const std::vector<float> defaults(game.damage, game.damage + 5);
    for (int i = 1; i <= 20; ++i) {  // three shield items, then seventeen upgrades
        placeBonusItem(i <= 3 ? 2 : 1, ship.x, ship.y), frame();  // an item left in place would count twice
        EXPECT_EQ(ship.shield, 100 + 40 * std::min(i, 3));
        const double upgrade = std::pow(1.1, std::clamp(i - 3, 0, 15));
        for (int k = 0; k < 5; ++k) {
            EXPECT_NEAR(game.damage[k], defaults[k] * upgrade, 1e-4) << i << " " << k;
        }
    }
    EXPECT_EQ(game.score, 50 * 20);
    placeBonusItem(2, 10, 10), frame(9999);
    EXPECT_EQ(bonus.kind, 2);
    frame(2);
    EXPECT_EQ(bonus.kind, 0);
}
