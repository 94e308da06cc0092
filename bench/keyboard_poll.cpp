// What the keyboard poll costs a frame with the real X11 source: one focus test and one
// keymap query, and SDL's controller update with no pad and with a (virtual) pad. Also what
// starting SDL's controller part costs the first idle call after the first menu frame. Run under
// a virtual display:
//   xvfb-run -a -s "-screen 0 2560x1920x24" build/bench/bench_keyboard_poll
#include <benchmark/benchmark.h>  // before Xlib, whose macros clash with C++ names

#include "app/keyboard.h"
#include "app/window.h"
#include "platform/keys.h"
#include "platform/port.h"
#include "render/display_mode.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <unistd.h>
#define SDL_MAIN_HANDLED
#include <SDL.h>

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
    openGamepads();  // as the game does: the polls below pay SDL's update, with no pad
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

// The same with a pad connected, its stick pushed and a button down.
void BM_PollKeyboardFocusedWithPad(benchmark::State& state) {
    if (!setUpWindow()) {
        state.SkipWithError("no X display");
        return;
    }
    focusOn(glXGetCurrentDrawable());
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    if (!windowFocused() || stick == nullptr) {
        state.SkipWithError("focus not taken, or no virtual pad");
        return;
    }
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, -30000);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    for (auto _ : state) {
        waitForNextFrame(state);
        pollKeyboard(keys);
        benchmark::DoNotOptimize(keys.upHeld);
    }
    if (!keys.forwardHeld || !keys.shootHeld) {
        state.SkipWithError("the pad was not read");
    }
    SDL_JoystickDetachVirtual(index);
    SDL_JoystickClose(stick);
}
BENCHMARK(BM_PollKeyboardFocusedWithPad)->UseRealTime()->Iterations(3000);

// The pads' share of a poll alone (no X server round trip): SDL's update and the pads read, with
// no pad (argument 0) and with one pad connected (1).
void BM_ReadGamepads(benchmark::State& state) {
    openGamepads();
    const int index = state.range(0) ? SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0) : -1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readGamepads());
    }
    if (index >= 0) {
        SDL_JoystickDetachVirtual(index);
    }
}
BENCHMARK(BM_ReadGamepads)->Arg(0)->Arg(1);

// SDL's controller part started (and, untimed, stopped again), as the first idle call does it.
void BM_OpenGamepads(benchmark::State& state) {
    closeGamepads();
    for (auto _ : state) {
        benchmark::DoNotOptimize(openGamepads());
        state.PauseTiming();
        closeGamepads();
        state.ResumeTiming();
    }
    openGamepads();
}
BENCHMARK(BM_OpenGamepads)->UseRealTime()->Iterations(50);

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
