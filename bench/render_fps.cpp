// Frames per second of the game's drawing at full load (120 enemies of every kind, all 129 shot
// slots, all 50 bursts with 250 particles, the bonus item, stars and the HUD), beside a floor that
// only swaps and clears, at 800x600 and 2048x1536 in the same run.
//
//   xvfb-run -a -s "-screen 0 2560x1920x24" build/bench/bench_render_fps [seconds per round]
//
// Each size alternates floor and full load for three rounds and reports the median round; then the
// same offscreen through EGL with each drawing backend (desktop OpenGL 1.1 and OpenGL ES 3).
// ZARV_BENCH_PASSES=1 adds each pass's cost above the floor. For counts that do not depend on the
// machine's load: LP_NUM_THREADS=0 ZARV_BENCH_FRAMES=n [ZARV_BENCH_PASS=enemies] [ZARV_BENCH_LARGE=1]
// under valgrind --tool=callgrind draws n frames and ends; the difference of two n is per frame.
#include "app/window.h"
#include "game/game_state.h"
#include "platform/port.h"
#include "platform/rand.h"
#include "render/display_mode.h"
#include "render/draw.h"
#include "render/enemy_drawing.h"
#include "render/hud.h"
#include "render/scene.h"
#include "render/screen_mapping.h"
#include "render/text.h"
#include "support/egl_context.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void ignoreDisplay() {}

void floorFrame() {
    glutSwapBuffers();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void openBenchWindow(unsigned width, unsigned height) {
    displayMode.width = width;
    displayMode.height = height;
    displayMode.colourBits = 32;
    displayMode.fullScreen = 0;
    if (windowIsOpen()) {
        recreateGameWindow();
    } else {
        createGameWindow();
    }
    glutDisplayFunc(ignoreDisplay);
    glutIdleFunc(nullptr);
    glutReshapeFunc(nullptr);
    for (int i = 0; i < 10; ++i) {
        glutMainLoopEvent();
    }
    reshapeWindow(static_cast<int>(width), static_cast<int>(height));
    createFonts();
}

// A System Test's worst moment: every table full, spread over the whole field.
void fillScene() {
    systemTest = 1;
    prepareGameForDisplay(true);
    prepareGame(true, false);
    platformSrand(713);  // the same scene every run
    const double w = displayMode.width;
    const double h = displayMode.height;
    for (int i = 0; i < kEnemyCapacity; ++i) {
        Enemy& e = fleet.enemies[i];
        e.x = (i % 12 + 0.5) * w / 12;
        e.y = (i / 12 + 0.5) * h / 10;
        e.heading = random(628) * 0.01;
        e.kind = static_cast<std::int8_t>(i % 5);
        e.strength = 0.2f + 0.8f * random(100) * 0.01f;
    }
    fleet.aliveCount = kEnemyCapacity;
    for (Shot& shot : shotPool.shots) {
        shot.x = random(static_cast<std::uint32_t>(w));
        shot.y = random(static_cast<std::uint32_t>(h));
        shot.angle = -random(628) * 0.01;
    }
    for (int b = 0; b < kBurstCount; ++b) {
        Burst& burst = burstPool.bursts[b];
        burst.age = static_cast<std::uint16_t>(1 + b % 35);
        burst.small = 0;
        const double cx = random(static_cast<std::uint32_t>(w));
        const double cy = random(static_cast<std::uint32_t>(h));
        for (Particle& p : burst.particles) {
            const double d = random(100) * 0.01 * w / 16;
            const double a = random(628) * 0.01;
            p.x = cx + d * std::cos(a);
            p.y = cy + d * std::sin(a);
        }
    }
    bonus.kind = 1;
    bonus.x = 0.5 * w;
    bonus.y = 0.3 * h;
    bonus.radius = 0.015 * w;
    game.hudVisible = 1;
    game.countdown = 0;
    game.endTime = 0;
    game.frameRate = 60;
}

// Seconds per frame over one round of the given length.
double measureRound(void (*frame)(), double seconds) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 10; ++i) {
        frame();
    }
    glFinish();
    const auto start = Clock::now();
    long frames = 0;
    double elapsed = 0;
    while (elapsed < seconds) {
        frame();
        ++frames;
        if (frames % 16 == 0) {
            glFinish();
            glutMainLoopEvent();
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        }
    }
    glFinish();
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    return elapsed / static_cast<double>(frames);
}

// One pass on top of the floor, to show where a full frame's time goes.
void (*currentPass)() = nullptr;
void passFrame() {
    floorFrame();
    currentPass();
    flushDrawing();
}
void shipPass() {
    drawShip(ship);
}
void hudPass() {
    drawHud();
}

// Offscreen frames have nothing to swap: the floor only clears.
void offscreenFloor() {
    clearFrame();
    flushDrawing();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Three rounds of the floor and of the full frame, alternating; prints the medians and returns
// the floor's seconds a frame.
double measureRow(const char* label, void (*floor)(), void (*full)(), double seconds) {
    std::vector<double> floors;
    std::vector<double> fulls;
    for (int r = 0; r < 3; ++r) {
        floors.push_back(measureRound(floor, seconds));
        fulls.push_back(measureRound(full, seconds));
    }
    const double f = median(floors);
    const double g = median(fulls);
    std::printf("%-26s %10.0f %10.3f %10.0f %10.3f %8.2f\n", label, 1 / f, f * 1e3, 1 / g, g * 1e3, g / f);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs an X display: run under xvfb-run\n");
        return 2;
    }
    const double seconds = argc > 1 ? std::atof(argv[1]) : 1.5;
    int glutArgc = 1;
    char name[] = "bench_render_fps";
    char* glutArgv[] = {name, nullptr};
    glutInit(&glutArgc, glutArgv);
    initialiseGameTables();
    setFieldSize(800, 600);
    prepareGame(false, false);

    // A fixed number of frames of one pass (or the full frame) at 800x600 (or 2048x1536) and nothing else, for
    // instruction counts under callgrind with LP_NUM_THREADS=0.
    if (const char* frames = std::getenv("ZARV_BENCH_FRAMES")) {
        const bool large = std::getenv("ZARV_BENCH_LARGE") != nullptr;
        openBenchWindow(large ? 2048 : 800, large ? 1536 : 600);
        fillScene();
        const char* only = std::getenv("ZARV_BENCH_PASS");
        currentPass = gameDisplay;
        const struct {
            const char* name;
            void (*draw)();
        } passes[] = {{"ship", shipPass},     {"shots", drawShots}, {"bursts", drawBursts}, {"enemies", drawEnemies},
                      {"stars", drawStars},   {"bonus", drawBonus}, {"hud", hudPass},       {"none", [] {}}};
        for (const auto& pass : passes) {
            if (only != nullptr && std::strcmp(only, pass.name) == 0) {
                currentPass = pass.draw;
            }
        }
        for (long i = std::atol(frames); i > 0; --i) {
            passFrame();
        }
        glFinish();
        return 0;
    }

    struct Size {
        unsigned w, h;
    };
    const Size sizes[] = {{800, 600}, {2048, 1536}};
    bool first = true;
    for (const Size& size : sizes) {
        openBenchWindow(size.w, size.h);
        if (first) {
            std::printf("renderer: %s, %.1f s rounds, median of 3\n",
                        reinterpret_cast<const char*>(glGetString(GL_RENDERER)), seconds);
            std::printf("%-26s %10s %10s %10s %10s %8s\n", "size", "floor fps", "floor ms", "full fps", "full ms",
                        "ratio");
            first = false;
        }
        fillScene();
        char label[32];
        std::snprintf(label, sizeof label, "%ux%u", size.w, size.h);
        const double f = measureRow(label, floorFrame, gameDisplay, seconds);
        if (std::getenv("ZARV_BENCH_PASSES") != nullptr) {
            struct Pass {
                const char* name;
                void (*draw)();
            };
            const Pass passes[] = {{"ship", shipPass},   {"shots", drawShots}, {"bursts", drawBursts},
                                   {"enemies", drawEnemies}, {"stars", drawStars}, {"bonus", drawBonus},
                                   {"hud", hudPass}};
            for (const Pass& pass : passes) {
                currentPass = pass.draw;
                const double t = measureRound(passFrame, seconds / 2);
                std::printf("  %-8s %8.3f ms above the floor\n", pass.name, (t - f) * 1e3);
            }
        }
        std::fflush(stdout);
    }
    // The same frames offscreen (a framebuffer object, nothing swapped) in a desktop context and an
    // OpenGL ES 3 one through EGL, each with its backend: the ES backend's figures beside the
    // desktop one's under the same conditions.
    const struct {
        const char* name;
        EglKind kind;
        const DrawBackend* backend;
    } offscreen[] = {{"desktop", EglKind::DesktopCompatibility, &gl11Backend}, {"es3", EglKind::Es3, &gles3Backend}};
    for (const Size& size : sizes) {
        for (const auto& o : offscreen) {
            if (!useEglContext(o.kind, static_cast<int>(size.w), static_cast<int>(size.h))) {
                std::printf("%s offscreen: no such EGL context here\n", o.name);
                continue;
            }
            displayMode.width = size.w, displayMode.height = size.h;
            computeScreenMapping();
            startDrawing(*o.backend);
            setDrawView(static_cast<int>(size.w), static_cast<int>(size.h), viewBoxFor(static_cast<int>(size.w), static_cast<int>(size.h)));
            setDepthTest(false);
            createFonts();
            fillScene();
            char label[48];
            std::snprintf(label, sizeof label, "%ux%u %s offscreen", size.w, size.h, o.name);
            measureRow(label, offscreenFloor, drawGameFrame, seconds);
            std::fflush(stdout);
        }
    }
    return 0;
}
