// The frame's game flow: waves and countdown, the end of the game, bonus lives, explosion
// requests, the frame rate, Back, the function keys and the limiter.
#include "game/frame_update.h"
#include "game/game_state.h"
#include "game/game_test_support.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Counts down, then lets the spawner place the whole wave while the enemies are frozen
// (they neither fire nor move, so nothing dies).
int enemiesPlacedByWave(int wave) {
    startGame(false, 11);
    game.waveNumber = static_cast<std::uint8_t>(wave);
    fleet.frozen = 1;
    runFor(4000 + 125 * 89.0);
    EXPECT_EQ(fleet.spawning, 0);
    EXPECT_EQ(fleet.aliveCount, fleet.spawnedThisWave);
    return fleet.spawnedThisWave;
}

}  // namespace

TEST(Waves, WaveNPlacesNPlusFourEnemiesUpToTheCapacity) {
    EXPECT_EQ(enemiesPlacedByWave(1), 5);
    EXPECT_EQ(enemiesPlacedByWave(37), 41);
    EXPECT_EQ(enemiesPlacedByWave(115), 119);
    EXPECT_EQ(enemiesPlacedByWave(116), 120);
    EXPECT_EQ(enemiesPlacedByWave(200), 120);
}

TEST(Waves, FirstWaveStartsAfterTheCountdownWithoutCountingAWave) {
    startGame(false, 3);
    const double t0 = fakeNow;
    frame();
    EXPECT_EQ(game.countdown, 3);  // the first tick comes at once
    EXPECT_EQ(game.waveNumber, 1);
    runFor(3002);
    EXPECT_EQ(fakeNow, t0 + 3003);
    EXPECT_EQ(game.countdown, 1);
    EXPECT_EQ(fleet.aliveCount, 0);
    frame();
    EXPECT_EQ(game.countdown, 0);
    EXPECT_EQ(fleet.aliveCount, 1);  // the spawner runs in the frame the count reaches 0
    EXPECT_EQ(game.waveNumber, 1);
}

TEST(Waves, AClearedWaveStartsTheNextAfterTheCountdown) {
    startGame(false, 4);
    runFor(5000);  // well over a second after the last tick
    ASSERT_EQ(game.countdown, 0);
    clearField();
    frame();
    EXPECT_EQ(game.waveNumber, 2);
    EXPECT_EQ(game.countdown, 3);
    EXPECT_EQ(fleet.spawning, 1);
    EXPECT_EQ(fleet.spawnedThisWave, 0);
    runFor(3002);
    EXPECT_EQ(fleet.aliveCount, 0);
    frame();
    EXPECT_EQ(fleet.aliveCount, 1);
    EXPECT_EQ(game.waveNumber, 2);
}

TEST(Waves, AWaveClearedWithinASecondOfTheLastTickCountsFromFour) {
    startGame(false, 4);
    runFor(3500);  // the last tick came 0.5 s ago
    ASSERT_EQ(game.countdown, 0);
    clearField();
    frame();
    EXPECT_EQ(game.waveNumber, 2);
    EXPECT_EQ(game.countdown, 4);
    runFor(1000);
    EXPECT_EQ(game.countdown, 3);
}

TEST(Waves, ClearingWave201WinsWithTheMessageAfter1500Ms) {
    startGame(false, 5);
    runFor(3500);
    game.waveNumber = 201;
    clearField();
    frame();
    const double cleared = fakeNow;
    EXPECT_EQ(game.waveNumber, 202);
    EXPECT_EQ(game.won, 1);
    EXPECT_EQ(game.endTime, cleared + 1500);
    EXPECT_EQ(game.countdown, 0);  // no countdown after the last wave
    runFor(1499);
    EXPECT_GT(game.endTime, 0);
    frame();
    EXPECT_EQ(game.endTime, -1);
    EXPECT_EQ(game.won, 1);
    EXPECT_EQ(keys.shipKeysLocked, 0);  // a winner may still fly
    runFor(5000);
    EXPECT_EQ(game.waveNumber, 202);
    EXPECT_EQ(fleet.aliveCount, 0);
}

TEST(GameEnd, LosingTheLastLifeShowsTheMessageAfter1000MsAndLocksTheShipKeys) {
    startGame(false, 6);
    clearField();
    ship.lives = 1;
    ship.shield = 10;
    shotPool.shots[9] = Shot{ship.x, ship.y, -1.0};
    frame();
    EXPECT_EQ(ship.lives, 0);
    EXPECT_EQ(ship.hitRadius, 0);
    EXPECT_EQ(game.endTime, 0);  // seen at the start of the next frame
    frame();
    const double lost = fakeNow;
    EXPECT_EQ(keys.shipKeysLocked, 1);
    EXPECT_EQ(game.won, 0);
    EXPECT_EQ(game.endTime, lost + 1000);

    const double x = ship.x;
    const double y = ship.y;
    held.forward = held.shoot = held.left = true;
    runFor(999);
    EXPECT_GT(game.endTime, 0);
    frame();
    EXPECT_EQ(game.endTime, -1);
    EXPECT_EQ(ship.x, x);
    EXPECT_EQ(ship.y, y);
    for (int i = 0; i < kPlayerShotSlots; ++i) {
        EXPECT_EQ(shotPool.shots[i].angle, kFreeShotAngle);
    }
}

TEST(GameEnd, SystemTestStartsAtWave200WithLockedKeysAndNoLimiter) {
    startGame(true, 7);
    EXPECT_EQ(game.waveNumber, 200);
    EXPECT_EQ(keys.shipKeysLocked, 1);
    EXPECT_EQ(game.frameLimiter, 0);
    held.shoot = held.forward = true;
    runFor(500);
    EXPECT_EQ(hookCalls.sleep1ms, 0);
    EXPECT_EQ(ship.x, 400);
    EXPECT_EQ(ship.y, 300);
    EXPECT_EQ(shotPool.shots[0].angle, kFreeShotAngle);

    startGame(false, 7);
    EXPECT_EQ(game.waveNumber, 1);
    EXPECT_EQ(keys.shipKeysLocked, 0);
    EXPECT_EQ(game.frameLimiter, 1);
}

TEST(BonusLife, OneLifePerThresholdAndAtMostOnePerFrame) {
    startGame(false, 8);
    game.score = 10000;
    frame();
    EXPECT_EQ(ship.lives, 3);  // the score has to exceed the threshold
    game.score = 10000.5f;
    frame();
    EXPECT_EQ(ship.lives, 4);
    EXPECT_EQ(fleet.nextBonusScore, 17500);
    EXPECT_EQ(sound.extraLifeTimer, -2);

    game.score = 30000;  // past two more thresholds
    frame();
    EXPECT_EQ(ship.lives, 5);
    frame();
    EXPECT_EQ(ship.lives, 6);
    frame();
    EXPECT_EQ(ship.lives, 6);
    EXPECT_EQ(fleet.nextBonusScore, 32500);
}

TEST(BurstRequests, EachRequestStartsTwoExplosionsSevenAndAHalfUnitsApart) {
    startGame(false, 9);
    clearField();
    const double a = -1.0;
    game.burstRequests[0] = BurstRequest{100, 200, a};
    game.burstRequests[12] = BurstRequest{300, 400, a - kTwoPi};
    frame();
    for (const BurstRequest& r : game.burstRequests) {
        EXPECT_EQ(r.angle, 0);
    }
    const Burst* b = burstPool.bursts;
    EXPECT_EQ(b[0].small, 0);
    EXPECT_EQ(b[1].small, 0);
    EXPECT_EQ(b[2].small, 1);
    EXPECT_EQ(b[3].small, 1);
    EXPECT_EQ(b[4].age, 0);
    EXPECT_EQ(b[0].particles[249].x, 100);
    EXPECT_EQ(b[0].particles[249].y, 200);
    EXPECT_DOUBLE_EQ(b[1].particles[0].x, 100 + 7.5 * std::cos(a));
    EXPECT_DOUBLE_EQ(b[1].particles[0].y, 200 + 7.5 * std::sin(a));
    EXPECT_DOUBLE_EQ(b[3].particles[6].x, 300 + 7.5 * std::cos(a - kTwoPi));
    EXPECT_EQ(b[3].particles[7].x, -1);
    EXPECT_EQ(sound.bigBurstTimer, -2);
    EXPECT_EQ(sound.smallBurstTimer, -2);
}

TEST(FrameRate, AWindowOf500MsGivesTwiceTheFramesCounted) {
    startGame(false, 10);
    const double t0 = fakeNow;  // the first preparation opened the window
    runFor(499);
    EXPECT_EQ(game.rateFrames, 499);
    EXPECT_EQ(game.frameRate, 65);
    frame();
    EXPECT_EQ(game.frameRate, 500 * 0.004 * 499);
    EXPECT_EQ(game.rateWindowStart, t0 + 500);
    EXPECT_EQ(game.rateFrames, 0);  // the closing frame is not counted
}

TEST(Back, ResetsTheMidiAndReturnsToTheMenuWhileTheFrameRunsOn) {
    startGame(false, 12);
    held.back = true;
    held.f2 = true;
    frame();
    EXPECT_EQ(hookCalls.backToMenu, 1);
    EXPECT_EQ(hookCalls.resetMidi, 1);
    EXPECT_EQ(fleet.frozen, 1);  // the function keys after Back still ran

    // Empty hooks are allowed: the frame simply skips them.
    gameHooks.backToMenu = nullptr;
    gameHooks.resetMidi = nullptr;
    gameHooks.sleep1ms = nullptr;
    frame();
    EXPECT_EQ(hookCalls.backToMenu, 1);
}

TEST(FunctionKeys, EachActsOncePerPress) {
    startGame(false, 13);
    held.f2 = true;
    runFor(50);
    EXPECT_EQ(fleet.frozen, 1);
    EXPECT_EQ(game.lastFunctionKey, '2');
    held.f2 = false;
    frame();
    EXPECT_EQ(game.lastFunctionKey, 0);
    held.f2 = true;
    frame();
    EXPECT_EQ(fleet.frozen, 0);
    held.f2 = false;

    held.f11 = true;
    runFor(10);
    EXPECT_EQ(game.hudVisible, 0);
    held.f11 = false;
    held.f9 = true;
    runFor(10);
    EXPECT_EQ(game.frameLimiter, 0);
    EXPECT_EQ(game.lastFunctionKey, '9');
}

TEST(FunctionKeys, TwoHeldTogetherBothRepeatEveryFrame) {
    startGame(false, 14);
    held.f2 = held.f11 = true;
    frame();
    EXPECT_EQ(fleet.frozen, 1);
    EXPECT_EQ(game.hudVisible, 0);
    EXPECT_EQ(game.lastFunctionKey, '1');
    frame();
    EXPECT_EQ(fleet.frozen, 0);
    EXPECT_EQ(game.hudVisible, 1);
    frame();
    EXPECT_EQ(fleet.frozen, 1);
    EXPECT_EQ(game.hudVisible, 0);
}

TEST(FunctionKeys, VolumeStepsClampAndShowForTwoSeconds) {
    startGame(false, 15);
    struct Case {
        std::int8_t from;
        bool up;
        std::int8_t to;
    };
    const Case cases[] = {{-1, false, 0}, {-1, true, 9},  {127, true, 127}, {117, true, 127},
                          {110, true, 120}, {5, false, 0}, {10, false, 0},  {127, false, 117}};
    for (const Case& c : cases) {
        sound.soundVolume = c.from;
        const int resets = hookCalls.resetMidi;
        (c.up ? held.f8 : held.f7) = true;
        frame();
        frame();  // held: no second step
        EXPECT_EQ(sound.soundVolume, c.to) << int(c.from) << (c.up ? " up" : " down");
        EXPECT_EQ(hookCalls.resetMidi, resets + 1);
        EXPECT_EQ(game.volumeShownUntil, fakeNow - 1 + 2000);
        held.f7 = held.f8 = false;
        frame();
    }
}

TEST(FrameLimiter, SleepsOnlyWhenTheClockHasNotMoved) {
    startGame(false, 16);
    frame(0);  // the clock stands still during every frame of a fake clock
    frame(1);
    EXPECT_EQ(hookCalls.sleep1ms, 2);
    game.frameLimiter = 0;
    frame(1);
    EXPECT_EQ(hookCalls.sleep1ms, 2);
}
