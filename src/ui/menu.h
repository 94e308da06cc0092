#pragma once
// The menu screens' shared state, and the main menu.
#include "settings/settings.h"

#include <cstdint>

enum MenuScreen : std::uint8_t {
    MainMenu = 0,
    OptionsScreen = 1,
    ControlsScreen = 2,
    HighScoresScreen = 3,
    SoundScreen = 4,
};

// The main menu's rows.
enum MainMenuRow : std::uint8_t {
    MainPlayRow = 0,     // System Test, or Continue while a game is in progress
    MainGameRow = 1,     // New Game, or End Game while a game is in progress
    MainOptionsRow = 2,
    MainHighScoresRow = 3,
    MainExitRow = 4,
};

// Every screen's rows stand at the same places: rows 0 to kLastMenuRow.
constexpr int kLastMenuRow = 7;

struct MenuState {
    MenuScreen screen;
    std::uint8_t selectedRow;
    std::uint8_t firstRow;
    std::uint8_t lastRow;
    std::int32_t savedResolutionIndex;
    std::uint32_t savedColourBits;
    std::uint32_t savedRefreshRate;
    std::uint8_t fullScreenChanged;
    std::uint8_t capturePending[kShipKeyCount];  // forward, right, left, shoot
};

extern MenuState menu;

void menuDisplay();
// The current screen, drawn and flushed (not shown).
void drawMenuScreen();
void menuIdle();

// The y of a menu row's baseline, in game coordinates.
double menuRowY(int row);
// A row's label at x = 0.4 H and its value at x = 0.56 W, in largeFont and the current colour.
void drawRowLabel(int row, const char* text);
void drawRowValue(int row, const char* text);
// The filled triangle left of the selected row, in the current colour.
void drawHighlight();

// F8 and the options' language row: the next language, wrapping from 1 to 0.
void advanceLanguage();

// Opens a screen with the highlight on a row (firstRow 0 except for the high-score screen).
void openMenuScreen(MenuScreen screen, std::uint8_t selectedRow, std::uint8_t lastRow);
