// The menus, options, key capture and name entry, with a scripted keyboard, no window, a private
// settings file and the window and fonts of the options' apply replaced by counters: a seeded
// session of key presses through every screen and the screens drawn, against stored digests (see
// support/test_support.h), and the focus gate. (The two ways out, Exit saving the settings and F12
// saving nothing, are the end-to-end tests'.)
#include "app/display_mode.h"
#include "app/key_bindings.h"
#include "app/modes.h"
#include "app/text.h"
#include "game/game_state.h"
#include "platform/keys.h"
#include "settings/settings.h"
#include "settings/settings_fixture.h"
#include "sound/sound.h"
#include "support/gl_test_support.h"
#include "support/test_support.h"
#include "ui/high_scores.h"
#include "ui/menu.h"
#include "ui/options.h"
#include "platform/test_hooks.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

// Keys held, held for their next n queries, or held while the total query count lies in
// [from, until). A wait that never ends aborts after a large budget of queries instead of hanging.
namespace fake_keyboard {

struct KeyScript {
    bool held;
    long remaining, from, until;
};
KeyScript script[256];
long total = 0;
bool focus = true;

bool down(int vk) {
    if (++total > 20'000'000) {
        std::abort();  // a wait without an end: fail now rather than hang the run
    }
    if (vk < 0 || vk > 255) {
        return false;
    }
    KeyScript& key = script[vk];
    if (key.remaining > 0) {
        --key.remaining;
        return true;
    }
    return key.held || (total - 1 >= key.from && total - 1 < key.until);
}

void reset() {
    std::fill(std::begin(script), std::end(script), KeyScript{});
    total = 0;
    focus = true;
}

void holdBetween(int vk, long from, long until) {
    script[vk].from = from;
    script[vk].until = until;
}

}  // namespace fake_keyboard

int recreateCalls = 0, fontBuilds = 0;

class MenuTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        fake_keyboard::reset();
        setKeySource(fake_keyboard::down, [] { return fake_keyboard::focus; });
        useFakeClock(1000);
        recreateCalls = fontBuilds = 0;
        displayApplyHooks = DisplayApplyHooks{[] { return ++recreateCalls < 0; },  // never refused
                                              [] { ++fontBuilds; }};
        keys.shipKeysLocked = 0;
        menu = MenuState{MainMenu, 1, 0, 4, -1, 0, 0, 0, {0, 0, 0, 0}};
        game.lastFunctionKey = gameInProgress = systemTest = nameLength = 0;
        std::memset(nameBuffer, 0, sizeof nameBuffer);
        setAppMode(AppMode::Menu);
    }

    void TearDown() override {
        setKeySource(nullptr, nullptr);
        useRealClock();
        SettingsTest::TearDown();
    }
};

namespace {

void digestRecords(Digest& d) {
    for (double v : {double(menu.screen), double(menu.selectedRow), double(menu.firstRow), double(menu.lastRow),
                     double(menu.savedResolutionIndex), double(menu.fullScreenChanged), double(currentAppMode()),
                     double(keys.forwardKey), double(keys.rightKey), double(keys.leftKey), double(keys.shootKey),
                     double(keys.backKey), double(settings.language), double(settings.resolutionIndex),
                     double(displayMode.width), double(displayMode.colourBits), double(displayMode.refreshRate),
                     double(displayMode.fullScreen), double(sound.soundVolume), double(gameInProgress),
                     double(systemTest), double(nameLength), double(recreateCalls),
                     double(fontBuilds), double(game.waveNumber)}) {
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
            fake_keyboard::script[VkEnter].remaining = 3;
            fake_keyboard::holdBetween(pool[rng() % 3], 200, 1L << 30);
        } else {
            // Some key is always down: a pending capture takes it at once.
            fake_keyboard::script[vk].held = true;
            fake_keyboard::script[rng() % 4 == 0 ? VkShift : vk].held = true;
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

// Keys typed into another window reach neither the high-score name nor the key bindings.
TEST_F(MenuTest, AnUnfocusedWindowTypesNoLetterAndCapturesNoKey) {
    fake_keyboard::script[VkF5].held = true;
    fake_keyboard::focus = false;
    keys.forwardKey = 1;
    std::int16_t binding = 7;
    EXPECT_EQ(captureKey(binding, false), 0);
    EXPECT_EQ(keys.forwardKey, 1) << "F5 typed elsewhere keeps the bindings";
    fake_keyboard::script[VkF5].held = false;
    fake_keyboard::script[int('A')].held = true;
    nameEntryIdle();
    EXPECT_EQ(nameLength, 0);
    EXPECT_EQ(fake_keyboard::total, 0) << "no key is read at all";
    fake_keyboard::focus = true;
    nameEntryIdle();
    EXPECT_STREQ(nameBuffer, "a") << "the same key, once the window has the focus";
}
