#include "app/startup.h"

#include "app/keyboard.h"
#include "app/modes.h"
#include "app/text.h"
#include "app/window.h"
#include "game/frame_update.h"
#include "game/game_state.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/display_switch.h"
#include "platform/gamepad.h"
#include "platform/keys.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "ui/menu.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <cstdlib>

namespace {

void pollGameKeys() {
    pollKeyboard(keys);
}

void leaveGameForMenu() {
    menu.firstRow = 0;
    setAppMode(AppMode::Menu);
}

void sleepOneMs() {
    sleepMs(1);
}

// SDL's controller start-up takes a few milliseconds on Linux and tens under Wine: it waits for
// the first idle call, once the window shows the menu, and the menu's own idle takes over.
// Without SDL or a pad the game plays from the keyboard alone, as ever.
void startGamepadsThenMenu() {
    openGamepads();
    setAppMode(AppMode::Menu);
    menuIdle();
}

}  // namespace

void staticInitialise() {
    openMidiOutput();
    std::atexit(closeMidiOutput);
    settingsPath = "./zarv.cfg";
    quadric = gluNewQuadric();
    initialiseGameTables();
    gameHooks = GameHooks{pollGameKeys, leaveGameForMenu, resetMidiOutput, sleepOneMs, rumbleGamepads};
}

int runApplication(int argc, char** argv) {
    staticInitialise();
    setDefaultKeyBindings(keys);
    readSettingsFile();
    prepareGame(false, false);
    parseSettingsText();
    fontCharset = charsetFor(settings.language);
    hideConsoleWindow();
    glutInit(&argc, argv);
    openKeyboard(kWindowTitle);
    std::atexit(closeGamepads);
    if (createGameWindow() != 0) {
        // Full screen was refused: play in a window of the same size instead, and keep the
        // player's choice in the file.
        displayMode.fullScreen = 0;
        settings.keepFullScreen = 1;
        createGameWindow();
    }
    gluQuadricDrawStyle(quadric, GLU_SILHOUETTE);
    createFonts();
    glutKeyboardFunc(nullptr);
    glutSpecialFunc(nullptr);
    glutReshapeFunc(reshapeWindow);
    setAppMode(AppMode::Menu);
    glutIdleFunc(startGamepadsThenMenu);
    glutMainLoop();
    return 0;
}
