#include "game/frame_update.h"

#include "game/bursts_and_bonus.h"
#include "game/enemies.h"
#include "game/game_state.h"
#include "game/input.h"
#include "game/key_latch.h"
#include "game/ship_and_shots.h"
#include "platform/clock.h"
#include "sound/sound.h"

#include <cmath>

GameHooks gameHooks{};

namespace {

constexpr double kLossMessageDelayMs = 1000;
constexpr double kWinMessageDelayMs = 1500;
constexpr double kCountdownTickMs = 1000;
constexpr double kBonusLifeStep = 7500;
constexpr double kRateWindowMs = 500;
constexpr double kBurstPairDistance = 7.5;
constexpr double kVolumeShownMs = 2000;

void outOfLives() {
    if (ship.lives == 0) {
        keys.shipKeysLocked = 1;
        game.won = 0;
        if (game.endTime == 0) {
            game.endTime = game.now + kLossMessageDelayMs;
        }
    }
}

void playerFire() {
    if (game.now - shotPool.lastFireTime >= shotPool.fireRepeatMs && keys.shootHeld) {
        shotPool.lastFireTime = game.now;
        Shot shot{ship.muzzleX, ship.muzzleY, ship.muzzleAngle};
        addShot(false, shot);
    }
}

void countdownTick() {
    if (game.nextCountdownTick < game.now) {
        game.countdown -= 1;
        game.nextCountdownTick = static_cast<float>(game.now + kCountdownTickMs);
    }
}

void runWaves() {
    if (fleet.aliveCount == 0 && game.waveNumber <= kLastWave) {
        if (game.countdown == 0) {
            game.waveNumber += 1;
            if (game.waveNumber > kLastWave) {
                game.won = 1;
                game.endTime = game.now + kWinMessageDelayMs;
                return;
            }
            fleet.spawning = 1;
            fleet.spawnedThisWave = 0;
            game.countdown = kCountdownStart;
        }
        countdownTick();
    } else if (game.countdown != 0) {
        countdownTick();
    }
}

void bonusLife() {
    if (fleet.nextBonusScore < game.score) {
        fleet.nextBonusScore += kBonusLifeStep;
        ship.lives += 1;
        requestSound(ExtraLife);
    }
}

void startRequestedBursts() {
    for (BurstRequest& r : game.burstRequests) {
        if (r.angle == 0) {
            continue;
        }
        const bool small = r.angle <= -kTwoPi;
        startBurst(r.x, r.y, small);
        r.x += kBurstPairDistance * std::cos(r.angle);
        r.y += kBurstPairDistance * std::sin(r.angle);
        startBurst(r.x, r.y, small);
        r.angle = 0;
    }
}

void measureFrameRate() {
    const double d = game.now - game.rateWindowStart;
    if (d < kRateWindowMs) {
        game.rateFrames += 1;
    } else {
        game.frameRate = d * 0.004 * game.rateFrames;
        game.rateWindowStart = game.now;
        game.rateFrames = 0;
    }
}

void resetMidi() {
    if (gameHooks.resetMidi) {
        gameHooks.resetMidi();
    }
}

void volumeDown() {
    sound.soundVolume = volumeStepDown(sound.soundVolume);
    resetMidi();
    game.volumeShownUntil = game.now + kVolumeShownMs;
}

void volumeUp() {
    sound.soundVolume = volumeStepUp(sound.soundVolume);
    resetMidi();
    game.volumeShownUntil = game.now + kVolumeShownMs;
}

// One press, one action.
void functionKey(std::uint8_t held, char marker, void (*action)()) {
    if (latchPressed(held, marker)) {
        action();
        latchKey(marker);
    }
    releaseKeyLatch(held, marker);
}

void functionKeys() {
    functionKey(keys.f2Held, '2', [] { fleet.frozen = !fleet.frozen; });
    functionKey(keys.f11Held, '1', [] { game.hudVisible = !game.hudVisible; });
    functionKey(keys.f9Held, '9', [] { game.frameLimiter = !game.frameLimiter; });
    functionKey(keys.f7Held, '7', volumeDown);
    functionKey(keys.f8Held, '8', volumeUp);
}

}  // namespace

void gameIdle() {
    game.now = clockMs();
    if (gameHooks.pollKeyboard) {
        gameHooks.pollKeyboard();
    }
    outOfLives();
    playerFire();
    moveShots();
    resolvePlayerShots(shotPool.shots, game.burstRequests, ship.x, ship.y, ship.heading, ship.hitRadius);
    blockShipByEnemies(ship.x, ship.y, ship.heading, ship.hitRadius);
    updateEnemies();
    if (game.enemyShotRequest.angle != kFreeShotAngle) {
        addShot(true, game.enemyShotRequest);
    }
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    moveShip();
    stepBursts();
    updateBonusItem(ship.x, ship.y, ship.heading, ship.hitRadius, ship.shield);
    updateSounds(game.now, ship.x);
    runWaves();
    bonusLife();
    if (fleet.spawning && game.countdown == 0) {
        spawnStep();
    }
    if (game.endTime != 0 && game.endTime <= game.now) {
        game.endTime = -1;
    }
    startRequestedBursts();
    measureFrameRate();
    if (keys.backHeld) {
        // The app's backToMenu also puts the menu's highlight floor back to the first row.
        resetMidi();
        if (gameHooks.backToMenu) {
            gameHooks.backToMenu();
        }
    }
    functionKeys();
    if (game.frameLimiter && clockMs() == game.now && gameHooks.sleep1ms) {
        gameHooks.sleep1ms();
    }
}
