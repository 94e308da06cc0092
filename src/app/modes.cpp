#include "app/modes.h"

#include "app/window.h"
#include "game/frame_update.h"
#include "render/scene.h"
#include "ui/high_scores.h"
#include "ui/menu.h"

#include <GL/freeglut.h>

namespace {
AppMode mode = AppMode::Menu;
}

void setAppMode(AppMode next) {
    mode = next;
    if (!gameWindowExists()) {
        return;
    }
    switch (next) {
    case AppMode::Menu:
        glutIdleFunc(menuIdle);
        glutDisplayFunc(menuDisplay);
        break;
    case AppMode::NameEntry:
        glutIdleFunc(nameEntryIdle);
        glutDisplayFunc(nameEntryDisplay);
        break;
    case AppMode::Game:
        glutIdleFunc(gameIdle);
        glutDisplayFunc(gameDisplay);
        break;
    }
}

AppMode currentAppMode() {
    return mode;
}
