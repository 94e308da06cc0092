#include "app/modes.h"

#include "game/frame_update.h"
#include "platform/port.h"
#include "render/scene.h"
#include "ui/high_scores.h"
#include "ui/menu.h"

namespace {
AppMode mode = AppMode::Menu;
}

void setAppMode(AppMode next) {
    mode = next;
    if (!windowIsOpen()) {
        return;
    }
    switch (next) {
    case AppMode::Menu:
        setWindowCallbacks(menuDisplay, menuIdle);
        break;
    case AppMode::NameEntry:
        setWindowCallbacks(nameEntryDisplay, nameEntryIdle);
        break;
    case AppMode::Game:
        setWindowCallbacks(gameDisplay, gameIdle);
        break;
    }
}

AppMode currentAppMode() {
    return mode;
}
