#pragma once
// The menus at their start-up state, with a scripted keyboard, no window, a private settings file
// and the window and fonts of the options' apply replaced by counters.
#include "app/display_mode.h"
#include "app/key_bindings.h"
#include "app/modes.h"
#include "app/text.h"
#include "fake_keyboard.h"
#include "settings/settings_fixture.h"
#include "game/game_state.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "support/test_support.h"
#include "ui/high_scores.h"
#include "ui/menu.h"
#include "ui/options.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

struct FakeDisplay {
    int recreateCalls;
    int refusals;  // this many recreate calls report a refused full screen
    int fontBuilds;
    DisplayMode recreatedWith[4];
};
inline FakeDisplay fakeDisplay{};

inline bool fakeRecreate() {
    if (fakeDisplay.recreateCalls < 4) {
        fakeDisplay.recreatedWith[fakeDisplay.recreateCalls] = displayMode;
    }
    ++fakeDisplay.recreateCalls;
    if (fakeDisplay.refusals > 0) {
        --fakeDisplay.refusals;
        return true;
    }
    return false;
}

inline void fakeRebuildFonts() {
    ++fakeDisplay.fontBuilds;
}

class MenuTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        fake_keyboard::install();
        useFakeClock(1000);
        fakeDisplay = FakeDisplay{};
        displayApplyHooks = DisplayApplyHooks{fakeRecreate, fakeRebuildFonts};
        keys.shipKeysLocked = 0;
        menu = MenuState{MainMenu, 1, 0, 4, -1, 0, 0, 0, {0, 0, 0, 0}};
        game.lastFunctionKey = 0;
        gameInProgress = 0;
        systemTest = 0;
        std::memset(nameBuffer, 0, sizeof nameBuffer);
        nameLength = 0;
        setAppMode(AppMode::Menu);
    }

    void TearDown() override {
        fake_keyboard::uninstall();
        useRealClock();
        SettingsTest::TearDown();
    }

    // One idle call with exactly these keys down.
    static void press(std::initializer_list<int> held, void (*idle)() = menuIdle) {
        fake_keyboard::reset();
        for (int vk : held) {
            fake_keyboard::hold(vk);
        }
        idle();
    }

    // Presses a key for one call and releases it in the next.
    static void tap(int vk) {
        press({vk});
        press({});
    }

    // Enter down for its first few queries only: the controls screen waits for its release itself.
    static void enterBriefly() {
        fake_keyboard::reset();
        fake_keyboard::holdForQueries(VkEnter, 3);
        menuIdle();
        press({});
    }

    bool fileExists() const {
        return std::ifstream(path).good();
    }
};
