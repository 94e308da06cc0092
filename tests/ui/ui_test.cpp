// The menus, options, key capture and name entry: a seeded session of key presses through every
// screen and the screens drawn, against stored digests (see support/test_support.h), and the two
// ways out of the program.
#include "support/gl_test_support.h"
#include "ui_fixture.h"

#include <algorithm>
#include <random>

namespace {

void digestRecords(Digest& d) {
    for (double v : {double(menu.screen), double(menu.selectedRow), double(menu.firstRow), double(menu.lastRow),
                     double(menu.savedResolutionIndex), double(menu.fullScreenChanged), double(currentAppMode()),
                     double(keys.forwardKey), double(keys.rightKey), double(keys.leftKey), double(keys.shootKey),
                     double(keys.backKey), double(settings.language), double(settings.resolutionIndex),
                     double(displayMode.width), double(displayMode.colourBits), double(displayMode.refreshRate),
                     double(displayMode.fullScreen), double(sound.soundVolume), double(gameInProgress),
                     double(systemTest), double(nameLength), double(fakeDisplay.recreateCalls),
                     double(fakeDisplay.fontBuilds), double(game.waveNumber)}) {
        d.add(v);
    }
    for (const HighScoreEntry& e : highScores) {
        d.add(e.score);
        for (char c : e.name) {
            d.add(c);
        }
    }
    for (char c : nameBuffer) {
        d.add(c);
    }
}

}  // namespace

// First in the program: the death tests fork, which is safe only before a window exists.
TEST_F(MenuTest, ExitWritesTheSettingsAndF12NothingBothWithStatusOne) {
    EXPECT_EXIT(press({VkF12}), ::testing::ExitedWithCode(1), "");
    EXPECT_FALSE(fileExists());
    menu.selectedRow = 4;
    keys.forwardKey = 87;
    EXPECT_EXIT(press({VkEnter}), ::testing::ExitedWithCode(1), "");
    EXPECT_NE(readFile().find("\r\nW=87\r\n"), std::string::npos);
}

TEST_F(MenuTest, ASeededSessionThroughEveryScreenDigestsTheSame) {
    sound.soundVolume = 127;
    const int pool[] = {VkUp, VkDown, VkDown, VkLeft, VkRight, VkEnter, VkEnter, VkEscape, VkF5, VkF8, 'A', 'Q', '7',
                        VkBackspace, VkShift, VkSpace};
    std::mt19937 rng(7);
    Digest d;
    for (int step = 0; step < 3000; ++step) {
        if (currentAppMode() == AppMode::Game) {
            game.score = rng() % 2 ? 5000.0f + step : 0;  // back from a game, sometimes with a score to keep
            setAppMode(AppMode::Menu);
        }
        int vk = pool[rng() % std::size(pool)];
        const bool onExit = currentAppMode() == AppMode::Menu && menu.screen == MainMenu && menu.selectedRow == 4;
        vk = vk == VkEnter && onExit ? VkUp : vk;
        fake_keyboard::reset();
        if (std::count(menu.capturePending, menu.capturePending + 4, 1) > 0) {
            // A pending capture waits for every key up, then for a key down, then for its release.
            fake_keyboard::holdBetween(vk == VkEnter ? 'Q' : vk, 600, 3000);
        } else if (vk == VkEnter) {
            // Screens that wait for Enter's release see it go up, and then a key a capture can take.
            fake_keyboard::holdForQueries(VkEnter, 3);
            fake_keyboard::holdBetween(pool[rng() % 3], 200, 1L << 30);
        } else {
            fake_keyboard::hold(vk);  // some key is always down: a pending capture takes it at once
            fake_keyboard::hold(rng() % 4 == 0 ? VkShift : vk);
        }
        (currentAppMode() == AppMode::NameEntry ? nameEntryIdle : menuIdle)();
        fakeNow += 1;
        digestRecords(d);
    }
    for (int code = 0; code < 256; ++code) {
        for (const char* c = keyName(code); *c != '\0'; ++c) {
            d.add(*c);
        }
        d.add(captureSkips(code));
    }
    expectDigest("menu_session", d);
}

TEST_F(MenuTest, EveryScreenDrawnInBothLanguages) {
    if (!openTestWindow(800, 600)) {
        GTEST_SKIP() << "no X display";
    }
    createFonts();
    prepareGame(false, true);
    highScores[0] = HighScoreEntry{"ivo", 1234.7f};
    std::snprintf(nameBuffer, sizeof nameBuffer, "%s", "ivo");
    for (int language = 0; language < 2; ++language) {
        settings.language = static_cast<std::uint8_t>(language);
        const int screens[][3] = {{MainMenu, 0, 4}, {MainMenu, 3, 4}, {OptionsScreen, 0, 7}, {OptionsScreen, 6, 7},
                                  {ControlsScreen, 2, 5}, {HighScoresScreen, 4, 4}, {SoundScreen, 1, 2}};
        Digest d;
        for (int sound_ = -1; sound_ < 128; sound_ += 128) {
            sound.soundVolume = static_cast<std::int8_t>(sound_);  // the sound row grey without a device
            for (const auto& s : screens) {
                openMenuScreen(static_cast<MenuScreen>(s[0]), static_cast<std::uint8_t>(s[1]),
                               static_cast<std::uint8_t>(s[2]));
                menu.capturePending[2] = s[0] == ControlsScreen;
                for (const FbPrimitive& p : captureFeedback(menuDisplay)) {
                    d.add(p.token), d.add(p.v[0].x), d.add(p.v[0].y), d.add(p.v[0].r), d.add(p.v[0].b);
                }
            }
        }
        for (const FbPrimitive& p : captureFeedback(nameEntryDisplay)) {
            d.add(p.token), d.add(p.v[0].x), d.add(p.v[0].y), d.add(p.v[0].g);
        }
        expectDigest("menu_screens_" + std::to_string(language), d);
    }
}
