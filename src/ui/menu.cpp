#include "ui/menu.h"

#include "game/game_state.h"
#include "game/input.h"
#include "game/key_latch.h"
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

#include "render/draw.h"

MenuState menu{MainMenu, MainGameRow, MainPlayRow, MainExitRow, -1, 0, 0, 0, {0, 0, 0, 0}};
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
    drawRowLabel(MainPlayRow, pick(gameInProgress ? kContinue : kSystemTest));
    drawRowLabel(MainGameRow, pick(gameInProgress ? kEndGame : kNewGame));
    drawRowLabel(MainOptionsRow, pick(kOptions));
    drawRowLabel(MainHighScoresRow, pick(kHighScores));
    drawRowLabel(MainExitRow, pick(kExit));
}

void drawFrame() {
    const double w = screenWidth();
    const double h = screenHeight();
    setColour(0.7f, 0.7f, 0.7f);
    printText(0.004 * h, 0.02 * h, 0, smallFont, "%s", kWindowTitle);
    printText(0.809 * w, 0.02 * h, 0, smallFont, "%s", kCreditLine);
    printText(0.004 * w, 0.992 * h, 0, smallFont, "%s", kLanguageHint);
    setColour(0.6f, 1.0f, 0.6f);
    printText(settings.language == 0 ? 0.25 * w : 0.325 * w, 0.175 * w, 0, largeFont, "%s", pick(kTitle));
}

void startGame() {
    prepareGame(true, false);
    uiHooks.setAppMode(AppMode::Game);
}

void mainMenuEnter(int row) {
    switch (row) {
    case MainPlayRow:
        if (!gameInProgress) {
            systemTest = 1;
            startGame();
        } else {
            uiHooks.setAppMode(AppMode::Game);
        }
        break;
    case MainGameRow:
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
    case MainOptionsRow:
        openMenuScreen(OptionsScreen, OptionsResolutionRow, OptionsBackRow);
        break;
    case MainHighScoresRow:
        menu.screen = HighScoresScreen;
        menu.firstRow = kHighScoresBackRow;
        menu.lastRow = kHighScoresBackRow;
        menu.selectedRow = kHighScoresBackRow;
        break;
    case MainExitRow:
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

// Sleeps a millisecond when the call took less than one clock tick, so the menu does not spin.
void pace(double start) {
    if (clockMs() == start) {
        sleepMs(1);
    }
}

}  // namespace

double menuRowY(int row) {
    // Row 2 is placed by the height; with every resolution 4:3 it falls in line with the others.
    static constexpr double kRowFactor[kLastMenuRow + 1] = {0.26875, 0.3125, 0.0, 0.4, 0.44375, 0.4875, 0.53125, 0.575};
    if (row == 2) {
        return 0.475 * screenHeight();
    }
    if (row < 0 || row > kLastMenuRow) {
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
    beginShape(Shape::Triangles);
    for (int i = 0; i < 3; ++i) {
        shapeVertex(static_cast<float>(mapX(kCorners[2 * i] * w)), static_cast<float>(mapY(kCorners[2 * i + 1] * w + d)), 0.0f);
    }
    endShape();
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
    drawMenuScreen();
    requestRedisplay();
    swapWindowBuffers();
}

void drawMenuScreen() {
    clearFrame();
    drawFrame();
    setColour(1.0f, 1.0f, 1.0f);
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
    flushDrawing();
}

void menuIdle() {
    const double start = clockMs();
    uiHooks.pollKeyboard();
    for (int which = 0; which < kShipKeyCount; ++which) {
        if (menu.capturePending[which]) {
            continueKeyCapture(which);
            pace(start);
            return;
        }
    }
    if (latchPressed(keys.f8Held, '1')) {
        advanceLanguage();
        latchKey('1');
    }
    releaseKeyLatch(keys.f8Held, '1');
    releaseKeyLatch(keys.leftArrowHeld, 'a');
    releaseKeyLatch(keys.rightArrowHeld, 'd');
    releaseKeyLatch(keys.downHeld, 's');
    releaseKeyLatch(keys.upHeld, 'w');
    releaseKeyLatch(keys.enterHeld, kEnterLatch);
    if (keys.backHeld) {
        menu.selectedRow = menu.lastRow;
    }
    if (latchPressed(keys.downHeld, 's') && menu.selectedRow < menu.lastRow) {
        ++menu.selectedRow;
        latchKey('s');
    }
    if (latchPressed(keys.upHeld, 'w') && menu.selectedRow > menu.firstRow) {
        --menu.selectedRow;
        latchKey('w');
    }
    if (latchPressed(keys.leftArrowHeld, 'a')) {
        screenLeft(menu.selectedRow);
        latchKey('a');
    }
    if (latchPressed(keys.rightArrowHeld, 'd')) {
        screenRight(menu.selectedRow);
        latchKey('d');
    }
    if (latchPressed(keys.enterHeld, kEnterLatch)) {
        // A key capture's first step ends the call at once: no latch, no pacing.
        if (screenEnter(menu.selectedRow)) {
            return;
        }
        latchKey(kEnterLatch);
    }
    pace(start);
}
