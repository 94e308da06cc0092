// What the keyboard poll costs a frame with the real X11 source: one focus test and one
// keymap query. Run under a virtual display:
//   xvfb-run -a -s "-screen 0 2560x1920x24" build/bench/bench_keyboard_poll
#include <benchmark/benchmark.h>  // before Xlib, whose macros clash with C++ names

#include "app/display_mode.h"
#include "app/keyboard.h"
#include "app/window.h"
#include "platform/keys.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

void noDisplay() {}

bool ready = false;
Display* control = nullptr;

// A game window of 800 x 600 with the keyboard focus, as in a running game.
bool setUpWindow() {
    if (ready) {
        return true;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        return false;
    }
    int argc = 1;
    char name[] = "bench_keyboard_poll";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    displayMode = DisplayMode{0.0, 0.0, 800, 600, 32, 60, 0};
    createGameWindow();
    glutDisplayFunc(noDisplay);
    for (int i = 0; i < 10; ++i) {
        glutMainLoopEvent();
    }
    if (!openKeyboard(kWindowTitle)) {
        return false;
    }
    control = XOpenDisplay(nullptr);
    setDefaultKeyBindings(keys);
    ready = control != nullptr;
    return ready;
}

void focusOn(Window w) {
    XSetInputFocus(control, w, RevertToParent, CurrentTime);
    XSync(control, False);
}

// Frames come at least a millisecond apart in the game when the poll matters; wait that long
// outside the timing so every poll really asks the server.
void waitForNextFrame(benchmark::State& state) {
    state.PauseTiming();
    usleep(1100);
    state.ResumeTiming();
}

void BM_PollKeyboardFocused(benchmark::State& state) {
    if (!setUpWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    focusOn(glXGetCurrentDrawable());
    if (!windowFocused()) {
        state.SkipWithError("focus not taken");
        return;
    }
    for (auto _ : state) {
        waitForNextFrame(state);
        pollKeyboard(keys);
        benchmark::DoNotOptimize(keys.upHeld);
    }
}
BENCHMARK(BM_PollKeyboardFocused)->UseRealTime()->Iterations(3000);

void BM_PollKeyboardUnfocused(benchmark::State& state) {
    if (!setUpWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    focusOn(DefaultRootWindow(control));
    for (auto _ : state) {
        waitForNextFrame(state);
        pollKeyboard(keys);
        benchmark::DoNotOptimize(keys.upHeld);
    }
}
BENCHMARK(BM_PollKeyboardUnfocused)->UseRealTime()->Iterations(3000);

void BM_FocusTestAlone(benchmark::State& state) {
    if (!setUpWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    focusOn(glXGetCurrentDrawable());
    for (auto _ : state) {
        benchmark::DoNotOptimize(windowFocused());
    }
}
BENCHMARK(BM_FocusTestAlone)->UseRealTime();

void BM_KeymapQueryAlone(benchmark::State& state) {
    if (!setUpWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        waitForNextFrame(state);
        benchmark::DoNotOptimize(asyncKeyDown(38));
    }
}
BENCHMARK(BM_KeymapQueryAlone)->UseRealTime()->Iterations(3000);

// A whole captureKey-style scan of the 256 codes: one query, then table lookups.
void BM_ScanAllCodes(benchmark::State& state) {
    if (!setUpWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        waitForNextFrame(state);
        int downCount = 0;
        for (int vk = 8; vk < 255; ++vk) {
            downCount += asyncKeyDown(vk) ? 1 : 0;
        }
        benchmark::DoNotOptimize(downCount);
    }
}
BENCHMARK(BM_ScanAllCodes)->UseRealTime()->Iterations(3000);

}  // namespace

BENCHMARK_MAIN();
