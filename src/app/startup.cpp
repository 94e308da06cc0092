#include "app/startup.h"

#include "app/keyboard.h"
#include "app/modes.h"
#include "app/window.h"
#include "game/frame_update.h"
#include "game/game_state.h"
#include "game/input.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/scene.h"
#include "render/text.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "ui/menu.h"
#include "ui/stored_settings.h"
#include "ui/texts.h"
#include "ui/ui_hooks.h"

#include <cstdlib>

namespace {

void pollKeys() {
    pollKeyboard(keys);
}

void leaveGameForMenu() {
    menu.firstRow = MainPlayRow;
    setAppMode(AppMode::Menu);
}

void sleepOneMs() {
    sleepMs(1);
}

const char* endText(bool won) {
    return pick(won ? kYouWin : kGameOver);
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

void connectLayers() {
    gameHooks = GameHooks{pollKeys, leaveGameForMenu, resetMidiOutput, sleepOneMs, rumbleGamepads};
    uiHooks = UiHooks{pollKeys, setAppMode, recreateGameWindow, rebuildFonts};
    sceneHooks = SceneHooks{endText};
}

void staticInitialise() {
    openMidiOutput();
    std::atexit(closeMidiOutput);
    initialiseGameTables();
    connectLayers();
}

void setStartupDefaults() {
    setDefaultKeyBindings(keys);
    settings.language = 0;
    displayMode.width = 800;
    displayMode.height = 600;
    displayMode.colourBits = 32;
    displayMode.refreshRate = 60;
    displayMode.fullScreen = 0;
}

int runApplication(int argc, char** argv) {
    staticInitialise();
    setStartupDefaults();
    setFieldSize(displayMode.width, displayMode.height);
    prepareGame(false, false);
    loadSettings();
    fontCharset = charsetFor(settings.language);
    hideConsoleWindow();
    startWindowSystem(&argc, argv);
    openKeyboard(kWindowTitle);
    std::atexit(closeGamepads);
    if (createGameWindow() != 0) {
        // Full screen was refused: play in a window of the same size instead, and keep the
        // player's choice in the file.
        displayMode.fullScreen = 0;
        settings.keepFullScreen = 1;
        createGameWindow();
    }
    createFonts();
    setReshapeCallback(reshapeWindow);
    setAppMode(AppMode::Menu);
    setWindowCallbacks(menuDisplay, startGamepadsThenMenu);
    runWindowLoop();
}
