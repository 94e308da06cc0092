#pragma once
// The five bound keys and the level flags the game, the menus and the name entry read. The
// application's keyboard poll fills the flags from the keyboard and the pads every frame.
#include "platform/virtual_keys.h"

#include <cstdint>

struct KeyBindings {
    std::int16_t forwardKey;
    std::int16_t rightKey;
    std::int16_t leftKey;
    std::int16_t shootKey;
    std::int16_t backKey;
    std::uint8_t forwardHeld;
    std::uint8_t rightHeld;
    std::uint8_t leftHeld;
    std::uint8_t shootHeld;
    std::uint8_t f2Held;
    std::uint8_t f11Held;
    std::uint8_t f9Held;
    std::uint8_t f7Held;
    std::uint8_t f8Held;
    std::uint8_t backHeld;
    std::uint8_t upHeld;
    std::uint8_t downHeld;
    std::uint8_t enterHeld;
    std::uint8_t shipKeysLocked;  // while set the four ship keys read as released
    std::uint8_t shiftHeld;
    std::uint8_t leftArrowHeld;
    std::uint8_t rightArrowHeld;
    // Set by a poll that could not read the keyboard (our window lacked the focus): every flag
    // then reads released, but no key was seen going up, so no one-press latch may let go.
    std::uint8_t keyboardUnseen;
};

extern KeyBindings keys;

// Sets the five bindings to 104, 102, 100, 9 and 27.
void setDefaultKeyBindings(KeyBindings& bindings);
