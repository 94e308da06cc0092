#include "app/keyboard.h"

#include "app/modes.h"
#include "platform/keys.h"
#include "platform/port.h"
#include "sound/sound.h"

namespace {

// A is also Enter: the press that chose New Game or Continue is often still down when play
// starts. It fires only once it has been seen up in play.
std::uint8_t padAFires = 0;

std::uint8_t held(int vk) {
    return asyncKeyDown(vk) ? 1 : 0;
}

void releaseAll(KeyBindings& b) {
    b.forwardHeld = b.rightHeld = b.leftHeld = b.shootHeld = 0;
    b.f2Held = b.f11Held = b.f9Held = b.f7Held = b.f8Held = 0;
    b.backHeld = b.upHeld = b.downHeld = b.enterHeld = 0;
    b.shiftHeld = b.leftArrowHeld = b.rightArrowHeld = 0;
}

}  // namespace

void pollKeyboard(KeyBindings& b) {
    // The key state belongs to the whole X server: read nothing while another window has the focus.
    if (!windowFocused()) {
        releaseAll(b);
        b.keyboardUnseen = 1;
        return;
    }
    b.keyboardUnseen = 0;
    if (asyncKeyDown(VkF12)) {
        resetMidiOutput();
        endProgram(1);
    }
    // The pads add to the keys: the same flags, so the menus, the game and the name entry read a
    // pad as the keys it stands for. Start leaves a game; B leaves a menu screen.
    const PadState pad = readGamepads();
    b.upHeld = held(VkUp) | pad.up;
    b.downHeld = held(VkDown) | pad.down;
    b.leftArrowHeld = held(VkLeft) | pad.left;
    b.rightArrowHeld = held(VkRight) | pad.right;
    b.enterHeld = held(VkEnter) | pad.a;
    b.shiftHeld = held(VkShift);
    b.f2Held = held(VkF2);
    b.f7Held = held(VkF7);
    b.f8Held = held(VkF8);
    b.f9Held = held(VkF9);
    b.f11Held = held(VkF11);
    const bool playing = currentAppMode() == AppMode::Game;
    b.backHeld = held(b.backKey) | (playing ? pad.start : pad.b);
    padAFires = playing && (padAFires || !pad.a) ? 1 : 0;
    // Asked even while locked: a press is kept until its key is asked, and one made during a
    // System Test would otherwise thrust or fire in the first frame of the next game.
    b.forwardHeld = held(b.forwardKey) | pad.up;
    b.rightHeld = held(b.rightKey) | pad.right;
    b.leftHeld = held(b.leftKey) | pad.left;
    b.shootHeld = held(b.shootKey) | pad.fire | (pad.a & padAFires);
    if (b.shipKeysLocked) {
        b.forwardHeld = b.shootHeld = b.leftHeld = b.rightHeld = 0;
    }
    if (b.rightHeld && b.leftHeld) {
        b.rightHeld = b.leftHeld = 0;
    }
}
