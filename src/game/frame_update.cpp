#include "game/frame_update.h"

#include "game/game_state.h"
#include "platform/clock.h"

GameHooks gameHooks{};

// Placeholder: replaced by the real frame update.
void gameIdle() {
    game.now = clockMs();
    if (gameHooks.pollKeyboard) {
        gameHooks.pollKeyboard();
    }
}
