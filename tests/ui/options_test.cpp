#include "ui_fixture.h"

namespace {

void openOptions(int row) {
    openMenuScreen(OptionsScreen, static_cast<std::uint8_t>(row), 7);
}

}  // namespace

TEST_F(MenuTest, OptionValuesStepAndClampAndRecordTheirFirstValue) {
    openOptions(0);
    settings.resolutionIndex = 0;
    tap(VkLeft);  // already lowest: nothing changes, but the value is recorded
    EXPECT_EQ(settings.resolutionIndex, 0);
    EXPECT_EQ(menu.savedResolutionIndex, 0);
    for (int i = 0; i < 10; ++i) {
        tap(VkRight);
    }
    EXPECT_EQ(settings.resolutionIndex, 8);
    EXPECT_EQ(menu.savedResolutionIndex, 0);
    EXPECT_EQ(displayMode.width, 800u);  // shown at once, applied only on leaving

    menu.selectedRow = 1;
    tap(VkRight);
    EXPECT_EQ(displayMode.colourBits, 32u);
    EXPECT_EQ(menu.savedColourBits, 32u);
    tap(VkLeft);
    tap(VkLeft);
    tap(VkLeft);
    EXPECT_EQ(displayMode.colourBits, 8u);
    tap(VkRight);
    EXPECT_EQ(displayMode.colourBits, 16u);
    EXPECT_EQ(menu.savedColourBits, 32u);

    menu.selectedRow = 2;
    const std::uint32_t up[] = {70, 75, 85, 90, 100, 120, 150, 150};
    for (std::uint32_t rate : up) {
        tap(VkRight);
        EXPECT_EQ(displayMode.refreshRate, rate);
    }
    EXPECT_EQ(menu.savedRefreshRate, 60u);
    const std::uint32_t down[] = {120, 100, 90, 85, 75, 70, 60, 60};
    for (std::uint32_t rate : down) {
        tap(VkLeft);
        EXPECT_EQ(displayMode.refreshRate, rate);
    }
    displayMode.refreshRate = 72;  // not in the list: left alone
    tap(VkRight);
    EXPECT_EQ(displayMode.refreshRate, 72u);

    menu.selectedRow = 3;
    tap(VkRight);
    EXPECT_EQ(displayMode.fullScreen, 1);
    EXPECT_EQ(menu.fullScreenChanged, 1);
    tap(VkLeft);
    EXPECT_EQ(displayMode.fullScreen, 0);

    EXPECT_EQ(fakeDisplay.recreateCalls, 0);
    EXPECT_FALSE(fileExists());
}

TEST_F(MenuTest, ApplyRecreatesTheWindowRebuildsFontsAndSaves) {
    openOptions(0);
    tap(VkRight);
    tap(VkRight);
    tap(VkLeft);  // back and forth: the final value counts
    menu.selectedRow = 1;
    tap(VkLeft);
    fontCharset = 0;
    menu.selectedRow = 7;
    tap(VkEnter);

    EXPECT_EQ(fakeDisplay.recreateCalls, 1);
    EXPECT_EQ(fakeDisplay.recreatedWith[0].width, 960u);
    EXPECT_EQ(fakeDisplay.recreatedWith[0].height, 720u);
    EXPECT_EQ(fakeDisplay.recreatedWith[0].colourBits, 16u);
    EXPECT_EQ(fakeDisplay.fontBuilds, 1);
    EXPECT_EQ(fontCharset, 204u);
    EXPECT_EQ(layout.keptWidth, 960.0);  // the game's sizes follow the new resolution
    EXPECT_EQ(ship.fieldWidth, 960u);

    EXPECT_EQ(menu.screen, MainMenu);
    EXPECT_EQ(menu.selectedRow, 2);
    EXPECT_EQ(menu.lastRow, 4);
    EXPECT_EQ(menu.savedResolutionIndex, -1);
    EXPECT_EQ(menu.savedColourBits, 0u);
    EXPECT_EQ(menu.savedRefreshRate, 0u);
    EXPECT_EQ(menu.fullScreenChanged, 0);

    const std::string file = readFile();
    EXPECT_NE(file.find("\r\nrazdelitelna=2\r\ncvetove=16\r\n"), std::string::npos);
}

TEST_F(MenuTest, ApplyWithNothingChangedStillRecreatesAndSaves) {
    openOptions(7);
    tap(VkEnter);
    EXPECT_EQ(fakeDisplay.recreateCalls, 1);
    EXPECT_EQ(fakeDisplay.fontBuilds, 1);
    EXPECT_EQ(fakeDisplay.recreatedWith[0].width, 800u);
    EXPECT_TRUE(fileExists());
}

TEST_F(MenuTest, RefusedFullScreenRestoresTheVisitsValues) {
    displayMode.refreshRate = 75;
    openOptions(0);
    tap(VkRight);  // 960 x 720
    menu.selectedRow = 2;
    tap(VkRight);  // 85 Hz
    menu.selectedRow = 3;
    tap(VkRight);  // full screen
    menu.selectedRow = 7;
    fakeDisplay.refusals = 1;
    tap(VkEnter);

    ASSERT_EQ(fakeDisplay.recreateCalls, 2);
    EXPECT_EQ(fakeDisplay.recreatedWith[0].width, 960u);
    EXPECT_EQ(fakeDisplay.recreatedWith[0].fullScreen, 1);
    const DisplayMode& again = fakeDisplay.recreatedWith[1];
    EXPECT_EQ(again.width, 800u);
    EXPECT_EQ(again.height, 600u);
    EXPECT_EQ(again.refreshRate, 75u);
    EXPECT_EQ(again.colourBits, 32u);  // untouched in this visit: kept
    EXPECT_EQ(again.fullScreen, 0);
    EXPECT_EQ(settings.resolutionIndex, 1);
    EXPECT_EQ(layout.keptWidth, 800.0);
    EXPECT_EQ(fakeDisplay.fontBuilds, 1);
    EXPECT_EQ(menu.savedResolutionIndex, -1);
    EXPECT_NE(readFile().find("razdelitelna=1\r\ncvetove=32\r\nczestota=75\r\ncqlEkran=0\r\n"), std::string::npos);
}

TEST_F(MenuTest, SoundRowOpensOnlyWithADevice) {
    openOptions(4);
    tap(VkEnter);
    EXPECT_EQ(menu.screen, OptionsScreen);
    EXPECT_EQ(menu.selectedRow, 4);

    sound.soundVolume = 127;
    tap(VkEnter);
    EXPECT_EQ(menu.screen, SoundScreen);
    EXPECT_EQ(menu.selectedRow, 0);
    EXPECT_EQ(menu.lastRow, 1);

    const int downSteps[] = {117, 107, 97, 87, 77, 67, 57, 47, 37, 27, 17, 7, 0, 0};
    for (int volume : downSteps) {
        tap(VkLeft);
        EXPECT_EQ(sound.soundVolume, volume);
    }
    const int upSteps[] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 127, 127};
    for (int volume : upSteps) {
        tap(VkRight);
        EXPECT_EQ(sound.soundVolume, volume);
    }
    tap(VkEnter);  // row 0: nothing
    EXPECT_EQ(menu.screen, SoundScreen);
    tap(VkDown);
    tap(VkEnter);
    EXPECT_EQ(menu.screen, OptionsScreen);
    EXPECT_EQ(menu.selectedRow, 4);
    EXPECT_EQ(menu.lastRow, 7);
}

TEST_F(MenuTest, LanguageRowAndControlsRows) {
    openOptions(6);
    tap(VkEnter);
    EXPECT_EQ(settings.language, 1);

    tap(VkUp);
    tap(VkEnter);
    EXPECT_EQ(menu.screen, ControlsScreen);
    EXPECT_EQ(menu.selectedRow, 0);
    EXPECT_EQ(menu.lastRow, 6);

    scrambleBindings();
    menu.selectedRow = 5;
    enterBriefly();  // the hint row does nothing
    EXPECT_EQ(keys.forwardKey, 1);
    EXPECT_EQ(menu.screen, ControlsScreen);
    menu.selectedRow = 4;
    enterBriefly();
    expectDefaultBindings();
    tap(VkEscape);
    EXPECT_EQ(menu.selectedRow, 6);
    enterBriefly();
    EXPECT_EQ(menu.screen, OptionsScreen);
    EXPECT_EQ(menu.selectedRow, 5);
    EXPECT_EQ(menu.lastRow, 7);
    EXPECT_FALSE(fileExists());
}
