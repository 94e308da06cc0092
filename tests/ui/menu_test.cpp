#include "ui/texts.h"
#include "ui_fixture.h"

#include <chrono>

TEST_F(MenuTest, NavigationMovesOncePerPressWithinTheRows) {
    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(menu.selectedRow, 1);  // "New Game"

    // Holding Down moves one row; each new press moves one more, up to the last row.
    press({VkDown});
    press({VkDown});
    press({VkDown});
    EXPECT_EQ(menu.selectedRow, 2);
    EXPECT_EQ(game.lastFunctionKey, 's');
    press({});
    EXPECT_EQ(game.lastFunctionKey, 0);
    for (int i = 0; i < 5; ++i) {
        tap(VkDown);
    }
    EXPECT_EQ(menu.selectedRow, 4);

    for (int i = 0; i < 6; ++i) {
        tap(VkUp);
    }
    EXPECT_EQ(menu.selectedRow, 0);
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
}

TEST_F(MenuTest, AnotherLatchedKeyInBetweenRearmsTheHeldOne) {
    press({VkDown});
    press({VkDown, VkUp});  // Down still held: Up acts and takes the latch
    EXPECT_EQ(menu.selectedRow, 1);
    press({VkDown});  // the latch now holds 'w': the held Down acts again
    EXPECT_EQ(menu.selectedRow, 2);
}

TEST_F(MenuTest, ALatchLeftByAnotherModeMustBeReleasedFirst) {
    game.lastFunctionKey = 's';  // e.g. typed by the name entry
    press({VkDown});
    EXPECT_EQ(menu.selectedRow, 1);
    press({});
    press({VkDown});
    EXPECT_EQ(menu.selectedRow, 2);
}

TEST_F(MenuTest, BackJumpsToTheLastRowOnEveryCallAndActivatesNothing) {
    menu.selectedRow = 0;
    press({VkEscape});
    EXPECT_EQ(menu.selectedRow, 4);
    press({VkEscape, VkUp});  // Back first, then Up in the same call
    EXPECT_EQ(menu.selectedRow, 3);
    press({VkEscape});
    EXPECT_EQ(menu.selectedRow, 4);
    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
    EXPECT_FALSE(fileExists());
}

TEST_F(MenuTest, F8SwitchesTheLanguageOncePerPressOnEveryScreen) {
    press({VkF8});
    press({VkF8});
    EXPECT_EQ(settings.language, 1);
    EXPECT_EQ(game.lastFunctionKey, '1');
    press({});
    EXPECT_EQ(game.lastFunctionKey, 0);
    menu.screen = ControlsScreen;
    tap(VkF8);
    EXPECT_EQ(settings.language, 0);
    EXPECT_STREQ(pick(kNewGame), "\xCD\xEE\xE2\xE0 \xE8\xE3\xF0\xE0");
    tap(VkF8);
    EXPECT_STREQ(pick(kNewGame), "N\xE5w Game");
}

TEST_F(MenuTest, DownAndEnterTogetherActivateTheNewRow) {
    press({VkDown, VkEnter});
    EXPECT_EQ(menu.screen, OptionsScreen);
    EXPECT_EQ(menu.selectedRow, 0);
    EXPECT_EQ(menu.lastRow, 7);
    EXPECT_EQ(game.lastFunctionKey, 'e');
}

TEST_F(MenuTest, EnterMustBeReleasedBeforeItActsAgain) {
    openMenuScreen(OptionsScreen, 6, 7);
    press({VkEnter});
    press({VkEnter});
    EXPECT_EQ(settings.language, 1);
    press({});
    press({VkEnter});
    EXPECT_EQ(settings.language, 0);
}

TEST_F(MenuTest, SystemTestStartsAFreshGameThatCannotBeContinued) {
    menu.selectedRow = 0;
    game.waveNumber = 17;
    game.score = 500;
    press({VkEnter});
    EXPECT_EQ(currentAppMode(), AppMode::Game);
    EXPECT_EQ(systemTest, 1);
    EXPECT_EQ(gameInProgress, 0);
    EXPECT_EQ(game.waveNumber, 200);
    EXPECT_EQ(game.score, 0.0f);
    EXPECT_EQ(keys.shipKeysLocked, 1);
    EXPECT_EQ(game.frameLimiter, 0);
    // The same call kept the menu's state for the return.
    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(menu.selectedRow, 0);
}

TEST_F(MenuTest, NewGameStartsAtWaveOneAndStaysInProgress) {
    systemTest = 1;
    game.waveNumber = 200;
    press({VkEnter});
    EXPECT_EQ(currentAppMode(), AppMode::Game);
    EXPECT_EQ(gameInProgress, 1);
    EXPECT_EQ(systemTest, 0);
    EXPECT_EQ(game.waveNumber, 1);
    EXPECT_EQ(ship.lives, 3);
    EXPECT_EQ(keys.shipKeysLocked, 0);
}

TEST_F(MenuTest, ContinueResumesTheGameAsItWas) {
    gameInProgress = 1;
    game.waveNumber = 7;
    game.score = 1234;
    ship.lives = 1;
    menu.selectedRow = 0;
    press({VkEnter});
    EXPECT_EQ(currentAppMode(), AppMode::Game);
    EXPECT_EQ(game.waveNumber, 7);
    EXPECT_EQ(game.score, 1234.0f);
    EXPECT_EQ(ship.lives, 1);
    EXPECT_EQ(gameInProgress, 1);
}

TEST_F(MenuTest, EndGameWithAQualifyingScoreOpensTheNameEntry) {
    gameInProgress = 1;
    game.score = 10;
    std::memset(nameBuffer, 'x', sizeof nameBuffer);
    press({VkEnter});
    EXPECT_EQ(currentAppMode(), AppMode::NameEntry);
    EXPECT_EQ(gameInProgress, 0);
    for (char c : nameBuffer) {
        EXPECT_EQ(c, 0);
    }
}

TEST_F(MenuTest, EndGameWithoutAQualifyingScoreStaysAndWritesNothing) {
    for (HighScoreEntry& entry : highScores) {
        entry.score = 100;
    }
    gameInProgress = 1;
    game.score = 100;  // equal to all three does not qualify
    press({VkEnter});
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
    EXPECT_EQ(gameInProgress, 0);
    EXPECT_EQ(menu.selectedRow, 1);
    EXPECT_FALSE(fileExists());
}

TEST_F(MenuTest, OptionsAndHighScoresOpenAndLeadBack) {
    menu.selectedRow = 3;
    tap(VkEnter);
    EXPECT_EQ(menu.screen, HighScoresScreen);
    EXPECT_EQ(menu.firstRow, 4);
    EXPECT_EQ(menu.lastRow, 4);
    EXPECT_EQ(menu.selectedRow, 4);
    tap(VkUp);
    tap(VkDown);
    EXPECT_EQ(menu.selectedRow, 4);
    tap(VkEnter);
    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(menu.firstRow, 0);
    EXPECT_EQ(menu.lastRow, 4);
    EXPECT_EQ(menu.selectedRow, 3);

    menu.selectedRow = 2;
    tap(VkEnter);
    EXPECT_EQ(menu.screen, OptionsScreen);
    EXPECT_EQ(menu.selectedRow, 0);
    EXPECT_EQ(menu.lastRow, 7);
}

TEST_F(MenuTest, LeftAndRightDoNothingOnTheMainMenu) {
    tap(VkLeft);
    tap(VkRight);
    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(menu.selectedRow, 1);
    EXPECT_EQ(settings.resolutionIndex, 1);
}

TEST_F(MenuTest, ExitWritesTheSettingsAndEndsWithStatusOne) {
    menu.selectedRow = 4;
    keys.forwardKey = 87;
    EXPECT_EXIT(press({VkEnter}), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(readFile().find("\r\nW=87\r\n"), std::string::npos);
}

TEST_F(MenuTest, F12EndsWithStatusOneAndWritesNothing) {
    EXPECT_EXIT(press({VkF12}), ::testing::ExitedWithCode(1), "");
    EXPECT_FALSE(fileExists());
}

TEST_F(MenuTest, NothingIsReadWhileTheWindowLacksTheFocus) {
    fake_keyboard::reset();
    fake_keyboard::setFocused(false);
    fake_keyboard::hold(VkDown);
    fake_keyboard::hold(VkEnter);
    menuIdle();
    EXPECT_EQ(menu.selectedRow, 1);
    EXPECT_EQ(menu.screen, MainMenu);
}

TEST_F(MenuTest, RowsSitAtTheirBaselines) {
    // 1024 x 768: rows 0.04375 W apart, row 2 placed by the height lands in line.
    displayMode.width = 1024;
    displayMode.height = 768;
    const double expected[8] = {275.2, 320.0, 364.8, 409.6, 454.4, 499.2, 544.0, 588.8};
    for (int row = 0; row < 8; ++row) {
        EXPECT_NEAR(menuRowY(row), expected[row], 1e-9) << row;
    }
}

TEST_F(MenuTest, AnIdleCallWithinOneClockTickSleepsAMillisecond) {
    // The fake clock never moves, so every call sleeps; a lower bound holds on any machine.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        press({});
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}
