// A pad through the controller API a real one goes through (SDL's virtual joystick opened as a
// game controller), no key down: the keys each button and stick stands for, the dead zones, a pad
// pulled out mid-push, the focus gate and the rumble of a lost life.
#include "app/keyboard.h"
#include "app/modes.h"
#include "game/frame_update.h"
#include "game/game_state.h"
#include "game/ship_and_shots.h"
#include "platform/port.h"
#include "seams/seams.h"

#include <gtest/gtest.h>

#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {

bool focus = true;
int rumbles = 0;

// What a poll reads: forward, right, left, shoot, back, up, down, Enter, left and right arrow.
std::string held() {
    pollKeyboard(keys);
    std::string flags;
    for (int flag : {keys.forwardHeld, keys.rightHeld, keys.leftHeld, keys.shootHeld, keys.backHeld,
                     keys.upHeld, keys.downHeld, keys.enterHeld, keys.leftArrowHeld, keys.rightArrowHeld}) {
        flags += char('0' + flag);
    }
    return flags;
}

const char* const kNothing = "0000000000";

class PadTest : public ::testing::Test {
protected:
    int index = -1;
    SDL_Joystick* stick = nullptr;

    void SetUp() override {
        focus = true;
        keySource = {[](int) { return false; }, [] { return focus; }};
        ASSERT_TRUE(openGamepads());
        plugIn();
        keys = KeyBindings{}, setAppMode(AppMode::Menu);  // no key down, nothing locked
    }
    void TearDown() override {
        SDL_JoystickDetachVirtual(index), closeGamepads(), gameHooks = GameHooks{}, keySource = kPortKeySource;
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
};

}  // namespace

// One layout for every pad: the D-pad is the arrows and the ship's keys, the right shoulder fires,
// B is Esc in a menu and Start in a game; the other buttons do nothing. (A is Enter, and fire once
// let go in play: the next test's.)
TEST_F(PadTest, EachButtonReadsAsTheKeysItStandsForInAMenuAndInAGame) {
    const struct { SDL_GameControllerButton button; const char* inMenu; const char* inGame; } rows[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "1000010000", "1000010000"},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, "0000001000", "0000001000"},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, "0010000010", "0010000010"},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "0100000001", "0100000001"},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, "0001000000", "0001000000"},
        {SDL_CONTROLLER_BUTTON_B, "0000100000", kNothing},
        {SDL_CONTROLLER_BUTTON_START, kNothing, "0000100000"},
        {SDL_CONTROLLER_BUTTON_X, kNothing, kNothing}};
    for (const auto& row : rows) {
        for (const AppMode mode : {AppMode::Menu, AppMode::Game}) {
            setAppMode(mode), press(row.button, true);
            EXPECT_EQ(held(), mode == AppMode::Menu ? row.inMenu : row.inGame) << row.button << int(mode);
            press(row.button, false);
            EXPECT_EQ(held(), kNothing) << row.button << " let go";
        }
    }
}

// The A that chose New Game or Continue is often still down on the first frame of play: it fires
// only once it has been let go in play, each time play starts.
TEST_F(PadTest, TheAThatChoseARowFiresOnlyAfterItIsLetGoInPlay) {
    press(SDL_CONTROLLER_BUTTON_A, true);
    for (int visit = 0; visit < 2; ++visit) {
        EXPECT_EQ(held(), "0000000100") << visit;  // Enter in the menu
        setAppMode(AppMode::Game);
        EXPECT_EQ(held(), "0000000100") << visit;  // and in play, not yet fire
        press(SDL_CONTROLLER_BUTTON_A, false);
        EXPECT_EQ(held(), kNothing) << visit;
        press(SDL_CONTROLLER_BUTTON_A, true);
        EXPECT_EQ(held(), "0001000100") << visit;
        setAppMode(AppMode::Menu);
    }
}

// Pushed from a quarter of the travel (8192), let go below a sixth (5461), each way; the right
// trigger's raw travel, -32768 to 32767, reads as 0 to 32767.
TEST_F(PadTest, SticksAndTheTriggerCountPastTheirDeadZonesWithHysteresis) {
    const int steps[][2] = {{4000, 0}, {8191, 0}, {8192, 1}, {5461, 1}, {5460, 0}, {8000, 0}, {32767, 1}, {0, 0}};
    // A way is an axis, a sign (2 for the trigger) and what it holds.
    const struct { SDL_GameControllerAxis axis; int sign; const char* held; } ways[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, 1, "0100000001"}, {SDL_CONTROLLER_AXIS_LEFTX, -1, "0010000010"},
        {SDL_CONTROLLER_AXIS_LEFTY, -1, "1000010000"}, {SDL_CONTROLLER_AXIS_LEFTY, 1, "0000001000"},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 2, "0001000000"}};
    setAppMode(AppMode::Game);
    for (const auto& w : ways) {
        for (const auto& s : steps) {
            // SDL scales the trigger by (raw + 32768) / 65535 and cuts the fraction off.
            push(w.axis, w.sign == 2 ? 2 * s[0] - 32767 : w.sign * s[0]);
            EXPECT_EQ(held(), s[1] ? w.held : kNothing) << "axis " << w.axis << w.sign << " at " << s[0];
        }
    }
}

// Pulled out mid-push, nothing stays held; plugged in again it plays at once, but only while the
// window has the focus; a life lost then rumbles it.
TEST_F(PadTest, PulledOutMidPushTheFocusGateAndALostLifeRumbles) {
    push(SDL_CONTROLLER_AXIS_LEFTY, -30000), press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    ASSERT_EQ(held(), "1001010000");
    SDL_JoystickDetachVirtual(index);
    EXPECT_EQ(held(), kNothing);
    plugIn();
    press(SDL_CONTROLLER_BUTTON_A, true), focus = false;
    EXPECT_EQ(held(), kNothing) << "another window has the focus";
    focus = true;
    EXPECT_EQ(held(), "0000000100");
    initialiseGameTables(), prepareGame(true, false);
    gameHooks.lifeLost = rumbleGamepads, ship.shield = 1, rumbles = 0;
    shotPool.shots[kPlayerShotSlots] = Shot{ship.x, ship.y, 1.0};
    hitShipByEnemyShots(shotPool.shots, game.burstRequests);
    EXPECT_EQ(rumbles, 1);
}
