// A pad through the controller API a real one goes through (SDL's virtual joystick opened as a
// game controller), no key down: the menus, a game and back, the dead zones, a pad pulled out
// mid-push, the focus gate and the rumble of a lost life.
#include "app/display_mode.h"
#include "app/keyboard.h"
#include "app/modes.h"
#include "game/frame_update.h"
#include "game/game_state.h"
#include "game/ship_and_shots.h"
#include "platform/gamepad.h"
#include "platform/keys.h"
#include "platform/test_hooks.h"
#include "support/test_support.h"
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {
bool focus = true;
int rumbles = 0;
}  // namespace

class PadTest : public ::testing::Test {
protected:
    int index = -1;
    SDL_Joystick* stick = nullptr;

    void SetUp() override {
        focus = true;
        setKeySource([](int) { return false; }, [] { return focus; });
        useFakeClock(1000);
        ASSERT_TRUE(openGamepads());
        plugIn();
        keys = KeyBindings{};
        setDefaultKeyBindings(keys);
        displayMode.width = 800, displayMode.height = 600;
        initialiseGameTables();
        gameHooks = GameHooks{[] { pollKeyboard(keys); }, [] { setAppMode(AppMode::Menu); }, nullptr, nullptr,
                              rumbleGamepads};
        openMenuScreen(MainMenu, 0, 4);
        setAppMode(AppMode::Menu);
    }
    void TearDown() override {
        SDL_JoystickDetachVirtual(index);
        closeGamepads();
        gameHooks = GameHooks{};
        setKeySource(nullptr, nullptr);
        useRealClock();
    }
    void plugIn() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION, desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 6, desc.nbuttons = 15;
        desc.Rumble = [](void*, Uint16 low, Uint16 high) { return rumbles += low > 0 && high > 0, 0; };
        index = SDL_JoystickAttachVirtualEx(&desc);
        stick = SDL_JoystickOpen(index);  // kept open: a pulled-out pad's handle stays valid
        ASSERT_NE(stick, nullptr) << SDL_GetError();
    }
    void push(SDL_GameControllerAxis a, int v) { SDL_JoystickSetVirtualAxis(stick, a, static_cast<Sint16>(v)); }
    void press(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(stick, b, down); }
    void tap(SDL_GameControllerButton b, void (*idle)()) { press(b, true), idle(), press(b, false), idle(); }
    static void frames() {
        for (int i = 0; i < 30 && currentAppMode() == AppMode::Game; ++i) {
            fakeNow += 10, gameIdle();
        }
    }
};

TEST_F(PadTest, MenusAGameAndBackByPadAlone) {
    push(SDL_CONTROLLER_AXIS_LEFTY, 20000);  // held down: one step only
    menuIdle(), menuIdle(), menuIdle();
    push(SDL_CONTROLLER_AXIS_LEFTY, 0);
    menuIdle();
    tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, menuIdle);
    EXPECT_EQ(menu.selectedRow, 2);
    tap(SDL_CONTROLLER_BUTTON_DPAD_UP, menuIdle);
    press(SDL_CONTROLLER_BUTTON_A, true), menuIdle(), press(SDL_CONTROLLER_BUTTON_A, false);  // "new game"
    ASSERT_EQ(currentAppMode(), AppMode::Game);
    const double x = ship.x, y = ship.y, heading = ship.heading;
    push(SDL_CONTROLLER_AXIS_LEFTY, -30000), push(SDL_CONTROLLER_AXIS_LEFTX, -30000), frames();
    EXPECT_TRUE(ship.heading != heading && (ship.x != x || ship.y != y)) << "thrust and a turn";
    push(SDL_CONTROLLER_AXIS_LEFTY, 0), push(SDL_CONTROLLER_AXIS_LEFTX, 0);
    for (int fire : {int(SDL_CONTROLLER_BUTTON_A), int(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER), -1}) {
        frames();
        std::fill_n(shotPool.shots, kPlayerShotSlots, Shot{0, 0, kFreeShotAngle});
        fire < 0 ? push(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767) : press(SDL_GameControllerButton(fire), true);
        frames();
        EXPECT_TRUE(std::any_of(shotPool.shots, shotPool.shots + kPlayerShotSlots,
                                [](const Shot& s) { return s.angle != kFreeShotAngle; })) << fire;
        push(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768), press(SDL_GameControllerButton(fire), false);
    }
    tap(SDL_CONTROLLER_BUTTON_B, frames);
    EXPECT_EQ(currentAppMode(), AppMode::Game) << "B does not leave a game";
    tap(SDL_CONTROLLER_BUTTON_START, frames);
    ASSERT_EQ(currentAppMode(), AppMode::Menu);
    tap(SDL_CONTROLLER_BUTTON_B, menuIdle);
    EXPECT_EQ(menu.selectedRow, menu.lastRow) << "B in a menu is Esc";
}

// Pushed past a quarter of the travel, let go below a sixth, each way; the right trigger's raw
// travel, -32768 to 32767, reads as 0 to 32767.
TEST_F(PadTest, DeadZonesWithHysteresis) {
    const int steps[][2] = {{4000, 0}, {8000, 0}, {9000, 1}, {6000, 1}, {5000, 0}, {7000, 0}, {32767, 1}, {0, 0}};
    const struct {
        SDL_GameControllerAxis axis;
        int sign;
        std::uint8_t KeyBindings::* flag;
    } ways[] = {{SDL_CONTROLLER_AXIS_LEFTX, 1, &KeyBindings::rightArrowHeld},
                {SDL_CONTROLLER_AXIS_LEFTX, -1, &KeyBindings::leftHeld},
                {SDL_CONTROLLER_AXIS_LEFTY, -1, &KeyBindings::forwardHeld},
                {SDL_CONTROLLER_AXIS_LEFTY, 1, &KeyBindings::downHeld},
                {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 2, &KeyBindings::shootHeld}};
    for (const auto& w : ways) {
        for (const auto& s : steps) {
            push(w.axis, w.sign == 2 ? 2 * s[0] - 32768 : w.sign * s[0]);
            pollKeyboard(keys);
            EXPECT_EQ(keys.*w.flag, s[1]) << "axis " << w.axis << " sign " << w.sign << " value " << s[0];
        }
    }
}

// Pulled out mid-push, nothing stays held; plugged in again it plays at once, but only while the
// window has the focus.
TEST_F(PadTest, PulledOutMidPushAndTheFocusGate) {
    push(SDL_CONTROLLER_AXIS_LEFTY, -30000), press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    pollKeyboard(keys);
    ASSERT_TRUE(keys.forwardHeld && keys.upHeld && keys.shootHeld);
    SDL_JoystickDetachVirtual(index);
    pollKeyboard(keys);
    EXPECT_FALSE(keys.forwardHeld || keys.upHeld || keys.shootHeld);
    plugIn();
    press(SDL_CONTROLLER_BUTTON_A, true);
    focus = false;
    pollKeyboard(keys);
    EXPECT_FALSE(keys.enterHeld || keys.shootHeld) << "another window has the focus";
    focus = true;
    pollKeyboard(keys);
    EXPECT_TRUE(keys.enterHeld && keys.shootHeld);
}

TEST_F(PadTest, ALostLifeRumbles) {
    prepareGame(true, false);
    pollKeyboard(keys);  // the pad opened
    ship.shield = 1, rumbles = 0;
    shotPool.shots[kPlayerShotSlots] = Shot{ship.x, ship.y, 1.0};
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(ship.lives, 2);
    EXPECT_EQ(rumbles, 1);
}
