#pragma once
// The one-press latch the game's function keys, the menus and the name entry share: the byte
// game.lastFunctionKey remembers the key last acted on, by a marker character, so a key held
// down acts once. Only a key seen up lets go; a poll that could not read the keyboard lets nothing
// go, since the key may still be down (after a window re-creation the focus may be missing for a
// poll while the key that chose "Back" is still held).
#include "game/game_state.h"
#include "game/input.h"

#include <cstdint>

// The marker of Enter in the menus; the key capture and the name entry latch Enter too, so that
// the press that ended them does not act again in the menu.
constexpr char kEnterLatch = 'e';

// The key is down and the latch holds another key (or none): the press may act.
inline bool latchPressed(std::uint8_t held, char marker) {
    return held && game.lastFunctionKey != marker;
}

// The press acted: the key stays latched until it is seen up.
inline void latchKey(char marker) {
    game.lastFunctionKey = marker;
}

// The key is seen up while it holds the latch: the latch is free again.
inline void releaseKeyLatch(std::uint8_t held, char marker) {
    if (!held && !keys.keyboardUnseen && game.lastFunctionKey == marker) {
        game.lastFunctionKey = 0;
    }
}
