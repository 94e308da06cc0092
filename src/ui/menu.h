#pragma once
// The menu screens' shared state, and the main menu.
#include <cstdint>

enum MenuScreen : std::uint8_t {
    MainMenu = 0,
    OptionsScreen = 1,
    ControlsScreen = 2,
    HighScoresScreen = 3,
    SoundScreen = 4,
};

struct MenuState {
    MenuScreen screen;
    std::uint8_t selectedRow;
    std::uint8_t firstRow;
    std::uint8_t lastRow;
    std::int32_t savedResolutionIndex;
    std::uint32_t savedColourBits;
    std::uint32_t savedRefreshRate;
    std::uint8_t fullScreenChanged;
    std::uint8_t capturePending[4];  // forward, right, left, shoot
};

extern MenuState menu;

void menuDisplay();
void menuIdle();

// The y of a menu row's baseline, in game coordinates.
double menuRowY(int row);
