#include "render/display_mode.h"

#include "game/game_state.h"

DisplayMode displayMode{};

void prepareGameForDisplay(bool keepState) {
    setFieldSize(displayMode.width, displayMode.height);
    prepareGame(false, keepState);
}
