// One game frame at full load: 120 live enemies, all 129 shot slots busy and 50 bursts running,
// with a clock that advances 1 ms per frame. Between frames (untimed) the load is topped up again:
// killed enemies come back, freed shots are re-fired and ended bursts restart.
// Prints the median, the 99th and 99.9th percentiles and the slowest frame in microseconds.
#include "game/bursts_and_bonus.h"
#include "game/frame_update.h"
#include "game/game_state.h"
#include "game/input.h"
#include "platform/clock.h"
#include "platform/rand.h"
#include "seams/seams.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double benchNow = 1000000.0;

double readBenchClock() {
    return benchNow;
}

void fillEnemies() {
    for (int i = 0; i < kEnemyCapacity; ++i) {
        Enemy& e = fleet.enemies[i];
        if (e.strength > 0) {
            continue;
        }
        e = Enemy{};
        e.kind = static_cast<std::int8_t>(random(5));
        e.x = 1 + random(fleet.fieldWidth - 2);
        e.y = 1 + random(fleet.fieldHeight - 2);
        e.heading = random(62831) * 0.0001;
        e.strength = 1;
        e.value = 50;
        e.speed = static_cast<float>(fleet.fieldHeight * 0.003);
        e.turnRate = 0.05f;
        e.turnRemaining = -1;
        e.fireDelay = random(3996);
        e.lastMoveTime = e.lastTurnTime = e.lastDecisionTime = e.lastFireTime = benchNow;
        fleet.aliveCount += 1;
    }
}

void fillShots() {
    for (Shot& s : shotPool.shots) {
        if (s.angle == kFreeShotAngle) {
            s.x = random(shotPool.fieldWidth);
            s.y = random(shotPool.fieldHeight);
            s.angle = -random(62831) * 0.0001;
        }
    }
}

void fillBursts() {
    for (int b = 0; b < kBurstCount; ++b) {
        if (burstPool.bursts[b].age == 0) {
            game.now = benchNow;
            startBurst(random(800), random(600), false);
        }
    }
}

void topUp() {
    fillEnemies();
    fillShots();
    fillBursts();
    ship.lives = 3;  // the game never ends under the benchmark
    fleet.spawning = 0;
}

// A fresh game in the same state every time: the frames of every run are the same frames.
void startRun() {
    benchNow = 1000000.0;
    initialiseGameTables();
    setFieldSize(800, 600);
    prepareGame(false, false);
    platformSrand(1);
    setStepConstants();
    for (int b = 0; b < kBurstCount; ++b) {
        burstPool.bursts[b].age = 0;
    }
    bonus.kind = 0;
    fleet.dropKind = 0;
    game.nextCountdownTick = 0;
    game.lastFunctionKey = 0;
    game.enemyShotRequest.angle = kFreeShotAngle;
    keys = KeyBindings{};
    systemTest = 1;
    prepareGame(true, false);
    game.countdown = 0;
    topUp();
}

// One run of `frames` timed frames after 1000 untimed ones; returns a digest of the final state.
double run(int frames, std::vector<double>& us) {
    startRun();
    for (int f = 0; f < frames + 1000; ++f) {
        topUp();
        benchNow += 1.0;
        const auto t0 = std::chrono::steady_clock::now();
        gameIdle();
        const auto t1 = std::chrono::steady_clock::now();
        if (f >= 1000) {
            us[static_cast<std::size_t>(f - 1000)] = std::chrono::duration<double, std::micro>(t1 - t0).count();
        }
    }
    double digest = game.score + ship.x + ship.y;
    for (int i = 0; i < kEnemyCapacity; ++i) {
        digest += fleet.enemies[i].x + fleet.enemies[i].y;
    }
    return digest;
}

struct Figures {
    double median, p99, p999, slowest;
};

Figures figuresOf(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<std::size_t>(q * (us.size() - 1))]; };
    return Figures{at(0.5), at(0.99), at(0.999), us.back()};
}

void print(const char* what, const Figures& f) {
    std::printf("  %-34s median %6.2f us  p99 %6.2f us  p99.9 %7.2f us  slowest %8.2f us\n", what,
                f.median, f.p99, f.p999, f.slowest);
}

}  // namespace

// Usage: bench_game_frame [frames per run] [runs]
// The simulation is deterministic (fake clock, fixed seed), so every run replays the same frames.
// The machine is shared: a frame that the scheduler interrupted is slow in one run only, and the
// per-frame minimum over the runs is the frame's own cost. Both views are printed.
int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    clockSource = readBenchClock;
    gameHooks = GameHooks{};

    std::vector<double> best(static_cast<std::size_t>(frames), 1e300);
    std::vector<double> first;
    std::vector<double> us(static_cast<std::size_t>(frames));
    double digest = 0;
    bool identical = true;
    for (int r = 0; r < runs; ++r) {
        const double d = run(frames, us);
        identical = identical && (r == 0 || d == digest);
        digest = d;
        if (r == 0) {
            first = us;
        }
        for (std::size_t f = 0; f < us.size(); ++f) {
            best[f] = std::min(best[f], us[f]);
        }
    }
    std::printf("gameIdle at full load (120 enemies, 129 shots, 50 bursts), fake clock +1 ms/frame,\n"
                "%d frames x %d identical runs (%s):\n",
                frames, runs, identical ? "state digests equal" : "STATE DIGESTS DIFFER");
    print("first run, wall clock:", figuresOf(first));
    print("per-frame minimum over the runs:", figuresOf(best));
    return identical ? 0 : 1;
}
