#include "ui/menu.h"

#include "game/game_state.h"
#include "game/input.h"
#include "platform/clock.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/screen_mapping.h"
#include "render/text.h"
#include "settings/settings.h"
#include "ui/high_scores.h"
#include "ui/options.h"
#include "ui/stored_settings.h"
#include "ui/texts.h"
#include "ui/ui_hooks.h"

#include <GL/gl.h>

MenuState menu{MainMenu, 1, 0, 4, -1, 0, 0, 0, {0, 0, 0, 0}};
UiHooks uiHooks{};

namespace {

constexpr double kRowSpacing = 0.04375;

double screenWidth() {
    return displayMode.width;
}

double screenHeight() {
    return displayMode.height;
}

void drawMainMenu() {
    drawRowLabel(0, pick(gameInProgress ? kContinue : kSystemTest));
    drawRowLabel(1, pick(gameInProgress ? kEndGame : kNewGame));
    drawRowLabel(2, pick(kOptions));
    drawRowLabel(3, pick(kHighScores));
    drawRowLabel(4, pick(kExit));
}

void drawFrame() {
    const double w = screenWidth();
    const double h = screenHeight();
    glColor3f(0.7f, 0.7f, 0.7f);
    printText(0.004 * h, 0.02 * h, 0, smallFont, "%s", kWindowTitle);
    printText(0.809 * w, 0.02 * h, 0, smallFont, "%s", kCreditLine);
    printText(0.004 * w, 0.992 * h, 0, smallFont, "%s", kLanguageHint);
    glColor3f(0.6f, 1.0f, 0.6f);
    printText(settings.language == 0 ? 0.25 * w : 0.325 * w, 0.175 * w, 0, largeFont, "%s", pick(kTitle));
}

void startGame() {
    prepareGame(true, false);
    uiHooks.setAppMode(AppMode::Game);
}

void mainMenuEnter(int row) {
    switch (row) {
    case 0:
        if (!gameInProgress) {
            systemTest = 1;
            startGame();
        } else {
            uiHooks.setAppMode(AppMode::Game);
        }
        break;
    case 1:
        if (!gameInProgress) {
            gameInProgress = 1;
            game.waveNumber = 1;
            systemTest = 0;
            startGame();
        } else {
            gameInProgress = 0;
            if (scoreQualifies(game.score)) {
                openNameEntry();
            }
        }
        break;
    case 2:
        openMenuScreen(OptionsScreen, 0, 7);
        break;
    case 3:
        menu.screen = HighScoresScreen;
        menu.firstRow = 4;
        menu.lastRow = 4;
        menu.selectedRow = 4;
        break;
    case 4:
        saveSettings();
        endProgram(1);
    default:
        break;
    }
}

void screenLeft(int row) {
    if (menu.screen == OptionsScreen) {
        optionsLeft(row);
    } else if (menu.screen == SoundScreen) {
        soundLeft(row);
    }
}

void screenRight(int row) {
    if (menu.screen == OptionsScreen) {
        optionsRight(row);
    } else if (menu.screen == SoundScreen) {
        soundRight(row);
    }
}

// True when the Enter started a key capture.
bool screenEnter(int row) {
    switch (menu.screen) {
    case MainMenu:
        mainMenuEnter(row);
        break;
    case OptionsScreen:
        optionsEnter(row);
        break;
    case ControlsScreen:
        return controlsEnter(row);
    case HighScoresScreen:
        highScoresEnter(row);
        break;
    case SoundScreen:
        soundEnter(row);
        break;
    }
    return false;
}

// A latched key fires when pressed while the latch holds another key, and once only.
bool pressed(std::uint8_t held, char letter) {
    return held && game.lastFunctionKey != letter;
}

// Only a key seen up lets go: after a window re-creation the focus may be missing for a poll
// while the key that chose "Back" is still down.
void releaseLatch(std::uint8_t held, char letter) {
    if (!held && !keys.keyboardUnseen && game.lastFunctionKey == letter) {
        game.lastFunctionKey = 0;
    }
}

// Sleeps a millisecond when the call took less than one clock tick, so the menu does not spin.
void pace(double start) {
    if (clockMs() == start) {
        sleepMs(1);
    }
}

}  // namespace

double menuRowY(int row) {
    // Row 2 is placed by the height; with every resolution 4:3 it falls in line with the others.
    static constexpr double kRowFactor[8] = {0.26875, 0.3125, 0.0, 0.4, 0.44375, 0.4875, 0.53125, 0.575};
    if (row == 2) {
        return 0.475 * screenHeight();
    }
    if (row < 0 || row > 7) {
        row = 0;
    }
    return kRowFactor[row] * screenWidth();
}

void drawRowLabel(int row, const char* text) {
    printText(0.4 * screenHeight(), menuRowY(row), 0, largeFont, "%s", text);
}

void drawRowValue(int row, const char* text) {
    printText(0.56 * screenWidth(), menuRowY(row), 0, largeFont, "%s", text);
}

void drawHighlight() {
    // The triangle's corners for the first row, as fractions of W: x0, y0, x1, y1, x2, y2.
    static constexpr double kCorners[6] = {0.275, 0.24375, 0.275, 0.26875, 0.2875, 0.25625};
    const double w = layout.keptWidth;
    const double d = menu.selectedRow * kRowSpacing * w;
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; ++i) {
        glVertex3d(mapX(kCorners[2 * i] * w), mapY(kCorners[2 * i + 1] * w + d), 0.0);
    }
    glEnd();
}

void advanceLanguage() {
    settings.language = settings.language >= 1 ? 0 : settings.language + 1;
}

void openMenuScreen(MenuScreen screen, std::uint8_t selectedRow, std::uint8_t lastRow) {
    menu.screen = screen;
    menu.firstRow = 0;
    menu.selectedRow = selectedRow;
    menu.lastRow = lastRow;
}

void menuDisplay() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawFrame();
    glColor3f(1.0f, 1.0f, 1.0f);
    switch (menu.screen) {
    case MainMenu:
        drawMainMenu();
        break;
    case OptionsScreen:
        drawOptionsScreen();
        break;
    case ControlsScreen:
        drawControlsScreen();
        break;
    case HighScoresScreen:
        drawHighScoresScreen();
        break;
    case SoundScreen:
        drawSoundScreen();
        break;
    }
    drawHighlight();
    requestRedisplay();
    swapWindowBuffers();
}

void menuIdle() {
    const double start = clockMs();
    uiHooks.pollKeyboard();
    for (int which = 0; which < 4; ++which) {
        if (menu.capturePending[which]) {
            continueKeyCapture(which);
            pace(start);
            return;
        }
    }
    if (pressed(keys.f8Held, '1')) {
        advanceLanguage();
        game.lastFunctionKey = '1';
    }
    releaseLatch(keys.f8Held, '1');
    releaseLatch(keys.leftArrowHeld, 'a');
    releaseLatch(keys.rightArrowHeld, 'd');
    releaseLatch(keys.downHeld, 's');
    releaseLatch(keys.upHeld, 'w');
    releaseLatch(keys.enterHeld, 'e');
    if (keys.backHeld) {
        menu.selectedRow = menu.lastRow;
    }
    if (pressed(keys.downHeld, 's') && menu.selectedRow < menu.lastRow) {
        ++menu.selectedRow;
        game.lastFunctionKey = 's';
    }
    if (pressed(keys.upHeld, 'w') && menu.selectedRow > menu.firstRow) {
        --menu.selectedRow;
        game.lastFunctionKey = 'w';
    }
    if (pressed(keys.leftArrowHeld, 'a')) {
        screenLeft(menu.selectedRow);
        game.lastFunctionKey = 'a';
    }
    if (pressed(keys.rightArrowHeld, 'd')) {
        screenRight(menu.selectedRow);
        game.lastFunctionKey = 'd';
    }
    if (pressed(keys.enterHeld, 'e')) {
        // A key capture's first step ends the call at once: no latch, no pacing.
        if (screenEnter(menu.selectedRow)) {
            return;
        }
        game.lastFunctionKey = 'e';
    }
    pace(start);
}
