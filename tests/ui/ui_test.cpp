// The menus, options, key capture and name entry, with a scripted keyboard, no window, a private
// settings file and the window and fonts of the options' apply replaced by counters: a seeded
// session of key presses through every screen and the screens drawn, against stored digests (see
// support/test_support.h), and the focus gate. (The two ways out, Exit saving the settings and F12
// saving nothing, are the end-to-end tests'.)
#include "app/modes.h"
#include "app/startup.h"
#include "platform/keys.h"
#include "seams/seams.h"
#include "render/text.h"
#include "settings/settings_fixture.h"  // also the settings, bindings, table and game records
#include "support/gl_test_support.h"
#include "support/test_support.h"
#include "ui/menu.h"
#include "ui/options.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <tuple>
#include <vector>

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
    if (++total > 50'000) {  // a passing test asks about 3000 times between resets at most
        std::abort();  // a wait without an end: fail now rather than hang the run
    }
    KeyScript* key = vk >= 0 && vk <= 255 ? &script[vk] : nullptr;
    if (key != nullptr && key->remaining > 0) {
        return --key->remaining, true;
    }
    return key != nullptr && (key->held || (total - 1 >= key->from && total - 1 < key->until));
}

void reset() {
    std::fill(std::begin(script), std::end(script), KeyScript{});
    total = 0, focus = true;
}

}  // namespace fake_keyboard

int recreateCalls = 0, fontBuilds = 0;

class MenuTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp(), fake_keyboard::reset();
        keySource = {fake_keyboard::down, [] { return fake_keyboard::focus; }};
        useFakeClock(1000), connectLayers();
        recreateCalls = fontBuilds = keys.shipKeysLocked = 0;
        uiHooks.recreateWindow = [] { return ++recreateCalls < 0; };  // never refused
        uiHooks.rebuildFonts = [] { ++fontBuilds; };
        menu = MenuState{MainMenu, 1, 0, 4, -1, 0, 0, 0, {0, 0, 0, 0}};
        game.lastFunctionKey = gameInProgress = systemTest = nameLength = 0;
        std::memset(nameBuffer, 0, sizeof nameBuffer), setAppMode(AppMode::Menu);
    }

    void TearDown() override {
        keySource = kPortKeySource, useRealClock(), SettingsTest::TearDown();
    }
};

static void digestRecords(Digest& d) {
    const std::pair<const char*, double> named[] = {
        {"screen", menu.screen}, {"row", menu.selectedRow}, {"firstRow", menu.firstRow}, {"lastRow", menu.lastRow},
        {"savedResolution", menu.savedResolutionIndex}, {"fullScreenChanged", menu.fullScreenChanged},
        {"mode", double(currentAppMode())}, {"W", keys.forwardKey}, {"A", keys.rightKey}, {"D", keys.leftKey},
        {"TAB", keys.shootKey}, {"back", keys.backKey}, {"language", settings.language},
        {"resolution", settings.resolutionIndex}, {"width", displayMode.width}, {"colourBits", displayMode.colourBits},
        {"refresh", displayMode.refreshRate}, {"fullScreen", displayMode.fullScreen}, {"volume", sound.soundVolume},
        {"inGame", gameInProgress}, {"systemTest", systemTest}, {"nameLength", nameLength},
        {"recreations", recreateCalls}, {"fontBuilds", fontBuilds}, {"wave", game.waveNumber},
        {"score1", highScores[0].score}, {"score2", highScores[1].score}, {"score3", highScores[2].score}};
    for (const auto& [name, v] : named) {
        d.add(name, v);
    }
    for (const HighScoreEntry& e : highScores) {
        for (char c : e.name) {
            d.add(c);
        }
    }
    for (char c : nameBuffer) {
        d.add(c);
    }
    d.step();
}

TEST_F(MenuTest, ASeededSessionThroughEveryScreenDigestsTheSame) {
    sound.soundVolume = 127;  // the sound screen open to the session
    const int pool[] = {VkUp, VkDown, VkDown, VkLeft, VkRight, VkEnter, VkEnter, VkEscape, VkF5, VkF8, 'A', 'Q', '7',
                        VkBackspace, VkShift, VkSpace};
    std::mt19937 rng(7);
    Digest d{.every = 50};
    for (int step = 0; step < 3000; ++step) {
        if (currentAppMode() == AppMode::Game) {
            // Back from a game, sometimes with a score to keep.
            game.score = rng() % 2 ? 5000.0f + step : 0, setAppMode(AppMode::Menu);
        }
        int vk = pool[rng() % std::size(pool)];
        const bool onExit = currentAppMode() == AppMode::Menu && menu.screen == MainMenu && menu.selectedRow == 4;
        vk = vk == VkEnter && onExit ? VkUp : vk;
        fake_keyboard::reset();
        if (std::count(menu.capturePending, menu.capturePending + 4, 1) > 0) {
            // A pending capture waits for every key up, then for a key down, then for its release.
            fake_keyboard::script[vk == VkEnter ? 'Q' : vk] = {false, 0, 600, 3000};
        } else if (vk == VkEnter) {
            // Screens that wait for Enter's release see it go up, and then a key a capture can take.
            fake_keyboard::script[VkEnter].remaining = 3;
            fake_keyboard::script[pool[rng() % 3]] = {false, 0, 200, 1L << 30};
        } else {
            // Some key is always down: a pending capture takes it at once.
            fake_keyboard::script[vk].held = true;
            fake_keyboard::script[rng() % 4 == 0 ? VkShift : vk].held = true;
        }
        (currentAppMode() == AppMode::NameEntry ? nameEntryIdle : menuIdle)();
        fakeNow += 1, digestRecords(d);
    }
    expectDigest("menu_session", d);
}

TEST_F(MenuTest, EveryScreenDrawnInBothLanguages) {
    if (!openTestWindow(800, 600)) {
        GTEST_SKIP() << "no X display";
    }
    createFonts(), prepareGameForDisplay(true);
    highScores[0] = HighScoreEntry{"ivo", 1234.7f};
    std::snprintf(nameBuffer, sizeof nameBuffer, "%s", "ivo");
    for (int language = 0; language < 2; ++language) {
        settings.language = static_cast<std::uint8_t>(language);
        const struct { MenuScreen screen; std::uint8_t row, lastRow; } screens[] = {
            {MainMenu, 0, 4}, {MainMenu, 3, 4}, {OptionsScreen, 0, 7}, {OptionsScreen, 6, 7},
            {ControlsScreen, 2, 5}, {HighScoresScreen, 4, 4}, {SoundScreen, 1, 2}};
        Digest d{.every = 10};
        for (int sound_ = -1; sound_ < 128; sound_ += 128) {
            sound.soundVolume = static_cast<std::int8_t>(sound_);  // the sound row grey without a device
            for (const auto& s : screens) {
                openMenuScreen(s.screen, s.row, s.lastRow);
                menu.capturePending[2] = s.screen == ControlsScreen;
                for (const FbPrimitive& p : captureFeedback(menuDisplay)) {
                    d.add("token", p.token), d.add("x", p.v[0].x), d.add("y", p.v[0].y), d.add("red", p.v[0].r),
                        d.add("blue", p.v[0].b), d.step();
                }
            }
        }
        for (const FbPrimitive& p : captureFeedback(nameEntryDisplay)) {
            d.add("token", p.token), d.add("x", p.v[0].x), d.add("y", p.v[0].y), d.add("green", p.v[0].g), d.step();
        }
        expectDigest(withSystemText("menu_screens_" + std::to_string(language)), d);
    }
}

// A table as a file may hold it (in order, out of order, all equal) and a game's score: the
// table after the name is placed, and the score qualifies exactly when the name is placed. Ties go
// below the entry they equal.
TEST_F(MenuTest, HighScorePlacement) {
    using Table = std::vector<std::pair<std::string, float>>;
    const Table sorted{{"a", 300}, {"b", 200}, {"c", 100}}, equal{{"x", 100}, {"y", 100}, {"z", 100}};
    const std::tuple<Table, float, Table> cases[] = {
        {sorted, 300, {{"a", 300}, {"new", 300}, {"b", 200}}},
        {sorted, 200, {{"a", 300}, {"b", 200}, {"new", 200}}},
        {sorted, 100, sorted},
        {{{"c", 100}, {"a", 300}, {"b", 200}}, 250, {{"a", 300}, {"new", 250}, {"b", 200}}},
        {{{"c", 100}, {"a", 300}, {"b", 200}}, 50, sorted},
        {equal, 100, equal},
        {equal, 101, {{"new", 101}, {"x", 100}, {"y", 100}}},
    };
    for (const auto& [before, score, expected] : cases) {
        for (int i = 0; i < 3; ++i) {
            highScores[i].score = before[i].second;
            std::snprintf(highScores[i].name, sizeof highScores[i].name, "%s", before[i].first.c_str());
        }
        EXPECT_EQ(scoreQualifies(score), std::count(expected.begin(), expected.end(), std::pair(std::string("new"), score)) == 1)
            << score;
        insertHighScore("new", score);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(std::pair(std::string(highScores[i].name), highScores[i].score), expected[i]) << score;
        }
    }
}

// The name entry End Game opens, with a score to keep and a letter tapped during play still
// pending (letters are asked only by the name entry, so the tap waits for its code's next query):
// the name holds only what is typed after it opened. Eight characters at most, lower case unless
// Shift, digits and space as they are, Backspace, nothing for other keys, one character a press
// however long it is held, F5 resetting the bindings instead of typing, and Enter doing nothing on
// an empty name; then Enter places the name in the table and the file.
TEST_F(MenuTest, NameEntryTypesOnlyWhatIsTypedInItAndKeepsItsLimits) {
    // Each code down for two name-entry frames and up for one; Shift held throughout when asked.
    const auto type = [](const std::vector<int>& codes, bool shift) {
        for (int code : codes) {
            for (int down : {1, 1, 0}) {
                fake_keyboard::reset();
                fake_keyboard::script[code].held = down, fake_keyboard::script[VkShift].held = shift;
                nameEntryIdle();
            }
        }
    };
    const std::tuple<std::vector<int>, bool, const char*> cases[] = {
        {{VkEnter, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P'}, false, "qwertyui"},  // Enter on no name
        {{'A', '1', VkSpace, 'B'}, true, "A1 B"},
        {{VkBackspace, 'A', 'B', VkBackspace, 'C'}, false, "ac"},
        {{'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', VkBackspace, 'Z'}, false, "qwertyuz"},
        {{VkLeft, 188, VkF2, VkF7, VkTab, 'K'}, false, "k"},
        {{VkF5}, false, ""},  // last: the name is left empty
    };
    gameInProgress = 1, game.score = 5000, menu.selectedRow = 1, keys.forwardKey = 87;  // End Game
    fake_keyboard::script[VkX].remaining = fake_keyboard::script[VkEnter].remaining = 1;
    menuIdle();
    ASSERT_EQ(currentAppMode(), AppMode::NameEntry);
    nameEntryIdle();  // a frame before anything is typed
    for (const auto& [codes, shift, name] : cases) {
        type(codes, shift);
        EXPECT_STREQ(nameBuffer, name);
        EXPECT_EQ(keys.forwardKey, codes[0] == VkF5 ? VkNumpad8 : 87);
        EXPECT_EQ(currentAppMode(), AppMode::NameEntry) << name;
        std::memset(nameBuffer, 0, sizeof nameBuffer), nameLength = 0, keys.forwardKey = 87;
    }
    type({'Q'}, true);
    fake_keyboard::script[VkEnter].remaining = 40;  // down a while, then up
    nameEntryIdle();
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
    EXPECT_NE(readFile().find("lud1=Q\r\nlut1=5000\r\n"), std::string::npos) << readFile();  // the table saved
}

// Back after a full screen the monitor refused: the window is made again with what the visit
// changed put back, and the file keeps those values; the next visit starts afresh.
TEST_F(MenuTest, BackAfterARefusedFullScreenPutsTheVisitsValuesBack) {
    uiHooks.recreateWindow = [] { return ++recreateCalls == 1; };
    openMenuScreen(OptionsScreen, 0, 7);
    optionsLeft(0), optionsLeft(1), optionsRight(2), optionsRight(3);  // 640x480, 16-bit, 70 Hz, full
    optionsEnter(7);
    const auto mode = [] {
        return std::vector<int>{settings.resolutionIndex, int(displayMode.width), int(displayMode.height),
                                int(displayMode.colourBits), int(displayMode.refreshRate), displayMode.fullScreen};
    };
    EXPECT_EQ(recreateCalls, 2);
    EXPECT_EQ(mode(), (std::vector<int>{1, 800, 600, 32, 60, 0}));
    EXPECT_EQ(std::tuple(menu.screen, menu.selectedRow), std::tuple(MainMenu, 2));
    EXPECT_NE(readFile().find("razdelitelna=1\r\ncvetove=32\r\nczestota=60\r\ncqlEkran=0\r\n"),
              std::string::npos) << readFile();
    openMenuScreen(OptionsScreen, 3, 7), optionsRight(3), optionsEnter(7);
    EXPECT_EQ(recreateCalls, 3);
    EXPECT_EQ(mode(), (std::vector<int>{1, 800, 600, 32, 60, 1}));
}

// A capture skips the fixed keys held down (Esc, F-keys, the generic Shift, Control and Alt) and
// takes the letter pressed next; F5 resets the bindings instead of binding itself, and nothing
// typed into another window is taken.
TEST_F(MenuTest, KeyCaptureRefusesTheFixedKeys) {
    // Esc, Shift, Control, Alt, and every F-key but F5
    for (int fixed : {27, 16, 17, 18, 112, 113, 114, 115, 117, 118, 119, 120, 121, 122, 123}) {
        fake_keyboard::reset(), fake_keyboard::script[fixed].held = true;
        fake_keyboard::script[int('Q')] = {false, 0, 2000, 1L << 30};
        std::int16_t binding = 7;
        EXPECT_TRUE(captureKey(binding, true) == 'Q' && binding == 'Q') << fixed;
    }
    fake_keyboard::reset();
    fake_keyboard::script[VkF5].held = true, keys.forwardKey = 87, fake_keyboard::focus = false;
    EXPECT_EQ(captureKey(keys.shootKey, false), 0);
    EXPECT_EQ(keys.forwardKey, 87) << "F5 typed into another window keeps the bindings";
    fake_keyboard::focus = true;
    EXPECT_EQ(captureKey(keys.shootKey, true), VkF5);
    EXPECT_TRUE(keys.forwardKey == VkNumpad8 && keys.shootKey == VkTab) << "reset, F5 not bound";
}
