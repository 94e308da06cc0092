// A pad through the same controller API a real one goes through: SDL's virtual joystick, opened as
// a game controller, with no key down. The menus, a game and back, the dead zones, a pad pulled
// out mid-push, the focus gate and the rumble of a lost life.
#include "app/display_mode.h"
#include "app/key_bindings.h"
#include "app/keyboard.h"
#include "app/modes.h"
#include "game/frame_update.h"
#include "game/game_state.h"
#include "game/ship_and_shots.h"
#include "platform/gamepad.h"
#include "platform/keys.h"
#include "support/test_support.h"
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {

bool focus = true;
int rumbles = 0;

int SDLCALL countRumble(void*, Uint16 low, Uint16 high) {
    rumbles += low > 0 && high > 0;
    return 0;
}

// The ways out of the game, as the program fills them, without a window.
void pollPad() {
    pollKeyboard(keys);
}

}  // namespace

class PadTest : public ::testing::Test {
protected:
    int index = -1;
    SDL_Joystick* stick = nullptr;

    void SetUp() override {
        focus = true;
        rumbles = 0;
        setKeySource([](int) { return false; }, [] { return focus; });
        useFakeClock(1000);
        ASSERT_TRUE(openGamepads());
        plugIn();
        keys = KeyBindings{};
        setDefaultKeyBindings(keys);
        displayMode.width = 800;
        displayMode.height = 600;
        initialiseGameTables();
        gameHooks = GameHooks{pollPad, [] { setAppMode(AppMode::Menu); }, nullptr, nullptr, rumbleGamepads};
        game.lastFunctionKey = 0;
        openMenuScreen(MainMenu, 0, 4);
        setAppMode(AppMode::Menu);
    }

    void TearDown() override {
        pullOut();
        closeGamepads();
        gameHooks = GameHooks{};
        setKeySource(nullptr, nullptr);
        useRealClock();
    }

    void plugIn() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        desc.Rumble = countRumble;
        index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        stick = SDL_JoystickOpen(index);
        ASSERT_NE(stick, nullptr) << SDL_GetError();
    }

    void pullOut() {
        if (stick != nullptr) {
            SDL_JoystickDetachVirtual(index);
            SDL_JoystickClose(stick);
            stick = nullptr;
        }
    }

    void axis(SDL_GameControllerAxis a, int value) {
        SDL_JoystickSetVirtualAxis(stick, a, static_cast<Sint16>(value));
    }
    void button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(stick, b, down ? 1 : 0);
    }
    void menuSteps(int n) {
        for (int i = 0; i < n; ++i) {
            menuIdle();
        }
    }
    void frames(int n) {
        for (int i = 0; i < n && currentAppMode() == AppMode::Game; ++i) {
            fakeNow += 10;
            gameIdle();
        }
    }
};

TEST_F(PadTest, MenusAGameAndBackByPadAlone) {
    axis(SDL_CONTROLLER_AXIS_LEFTY, 20000);  // stick down, held: one step
    menuSteps(5);
    EXPECT_EQ(menu.selectedRow, 1);
    axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    menuSteps(1);
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    menuSteps(2);
    button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    menuSteps(1);
    EXPECT_EQ(menu.selectedRow, 2) << "a second push, a second step";
    axis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
    menuSteps(1);
    axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    menuSteps(1);
    ASSERT_EQ(menu.selectedRow, 1);
    button(SDL_CONTROLLER_BUTTON_A, true);  // Enter on "new game"
    menuSteps(1);
    button(SDL_CONTROLLER_BUTTON_A, false);
    ASSERT_EQ(currentAppMode(), AppMode::Game);

    frames(3);
    const double x = ship.x, y = ship.y, heading = ship.heading;
    axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);  // thrust
    axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);  // and turn left
    frames(30);
    EXPECT_NE(ship.heading, heading);
    EXPECT_TRUE(ship.x != x || ship.y != y) << "thrust moves the ship";
    axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    for (auto fire : {0, 1, 2}) {  // A, the right shoulder, the right trigger
        frames(20);
        shotPool.shots[0].angle = kFreeShotAngle;
        fire == 0   ? button(SDL_CONTROLLER_BUTTON_A, true)
        : fire == 1 ? button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true)
                    : axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        frames(20);
        EXPECT_TRUE(std::any_of(shotPool.shots, shotPool.shots + kPlayerShotSlots,
                                [](const Shot& s) { return s.angle != kFreeShotAngle; }))
            << "fire button " << fire;
        button(SDL_CONTROLLER_BUTTON_A, false);
        button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
        axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    button(SDL_CONTROLLER_BUTTON_B, true);
    frames(3);
    EXPECT_EQ(currentAppMode(), AppMode::Game) << "B does not leave a game";
    button(SDL_CONTROLLER_BUTTON_B, false);
    button(SDL_CONTROLLER_BUTTON_START, true);
    frames(3);
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
    button(SDL_CONTROLLER_BUTTON_START, false);
    button(SDL_CONTROLLER_BUTTON_B, true);  // B in a menu is Esc: the last row
    menuSteps(1);
    EXPECT_EQ(menu.selectedRow, menu.lastRow);
}

// A stick counts from a quarter of its travel and lets go below a sixth, in all four directions;
// the right trigger likewise (its raw travel, -32768 to 32767, reads as 0 to 32767).
TEST_F(PadTest, DeadZonesWithHysteresis) {
    struct Step {
        int value;
        std::uint8_t held;
    };
    const Step steps[] = {{4000, 0}, {8000, 0}, {9000, 1}, {6000, 1}, {5000, 0}, {7000, 0}, {32767, 1}, {0, 0}};
    const struct {
        SDL_GameControllerAxis axis;
        int sign;
        std::uint8_t KeyBindings::* flag;
    } directions[] = {{SDL_CONTROLLER_AXIS_LEFTX, 1, &KeyBindings::rightArrowHeld},
                      {SDL_CONTROLLER_AXIS_LEFTX, -1, &KeyBindings::leftHeld},
                      {SDL_CONTROLLER_AXIS_LEFTY, -1, &KeyBindings::forwardHeld},
                      {SDL_CONTROLLER_AXIS_LEFTY, 1, &KeyBindings::downHeld},
                      {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 2, &KeyBindings::shootHeld}};
    for (const auto& d : directions) {
        for (const Step& s : steps) {
            axis(d.axis, d.sign == 2 ? 2 * s.value - 32768 : d.sign * s.value);
            pollKeyboard(keys);
            EXPECT_EQ(keys.*d.flag, s.held) << "axis " << d.axis << " sign " << d.sign << " value " << s.value;
        }
    }
}

// Pulled out mid-push, nothing stays held; plugged in again it plays at once. Unfocused, a pad is
// not read at all.
TEST_F(PadTest, PulledOutMidPushAndTheFocusGate) {
    axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);
    button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    pollKeyboard(keys);
    ASSERT_TRUE(keys.forwardHeld && keys.upHeld && keys.shootHeld);
    pullOut();
    pollKeyboard(keys);
    EXPECT_FALSE(keys.forwardHeld || keys.upHeld || keys.shootHeld);
    plugIn();
    button(SDL_CONTROLLER_BUTTON_A, true);
    focus = false;
    pollKeyboard(keys);
    EXPECT_FALSE(keys.enterHeld || keys.shootHeld) << "another window has the focus";
    focus = true;
    pollKeyboard(keys);
    EXPECT_TRUE(keys.enterHeld && keys.shootHeld) << "the new pad, at once";
}

TEST_F(PadTest, ALostLifeRumbles) {
    prepareGame(true, false);
    menuSteps(1);  // the pad opened
    ship.shield = 1;
    shotPool.shots[kPlayerShotSlots] = Shot{ship.x, ship.y, 1.0};
    const int lives = ship.lives;
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(ship.lives, lives - 1);
    SDL_GameControllerUpdate();  // the virtual pad hears the rumble on its next update
    EXPECT_EQ(rumbles, 1);
}
