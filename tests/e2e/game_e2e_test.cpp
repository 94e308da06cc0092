// The real program on a private display: menus, options and the settings file, a game that runs,
// is left and continued, and ends; exit statuses; and faults a player met: keys held across a
// window's re-creation, taps shorter than a frame, a full screen the monitor refused.
#include "e2e/harness.h"

#include <gtest/gtest.h>

namespace {

// At 800 x 600 the highlight triangle of row r spans x 220..230, y 195 + 35 r .. 215 + 35 r.
int highlightPixels(const Image& image, int row) {
    return image.count(219, 194 + 35 * row, 232, 217 + 35 * row, 255, 255, 255);
}

// The light-green title starts at x 200 in Bulgarian, at x 260 in English.
int titlePixels(const Image& image) {
    return image.count(195, 105, 258, 145, 153, 255, 153, 12);
}

// The grey HUD texts at 800 x 600: the frame rate at x 732, baseline y 12; wave and score at x 390, y 15.
int hudPixels(const Image& image) {
    return image.count(730, 0, 800, 14, 178, 178, 178, 10) + image.count(388, 2, 480, 17, 178, 178, 178, 10);
}

void exitThroughTheMenu(GameRun& run) {
    run.tap("Escape");  // the highlight jumps to "Exit"
    run.tap("Return");
    EXPECT_EQ(run.waitExit(5000), 1);
}

}  // namespace

// F8 switches the language both ways, a new game is left with Esc and resumed with Continue, and
// F12 ends the program without writing anything.
TEST(EndToEnd, StartsOnNewGameF8SwitchesTheLanguageBackAndContinueResumeF12WritesNothing) {
    GameRun run;
    ASSERT_TRUE(run.start());
    Image first = run.screenshot();
    ASSERT_EQ(first.width, 800);
    EXPECT_EQ(first.height, 600);
    EXPECT_GT(highlightPixels(first, 1), 30);
    EXPECT_EQ(highlightPixels(first, 0), 0);
    EXPECT_GT(titlePixels(first), 20);
    run.tap("F8");
    run.pause(300);
    EXPECT_EQ(titlePixels(run.screenshot()), 0) << "English title starts at x = 260";
    run.tap("F8");  // and back
    run.tap("Return");  // "New Game"
    run.pause(1500);
    EXPECT_GT(hudPixels(run.screenshot()), 20);
    run.tap("Escape");
    run.pause(300);
    EXPECT_GT(titlePixels(run.screenshot()), 20) << "back in the menu";
    for (int i = 0; i < 5; ++i) {
        run.tap("Up");  // to "Continue", whichever row Esc left highlighted
    }
    run.tap("Return");
    run.pause(800);
    Image resumed = run.screenshot();
    EXPECT_EQ(titlePixels(resumed), 0);
    EXPECT_GT(hudPixels(resumed), 20);
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
    EXPECT_FALSE(run.settingsExist());
    EXPECT_EQ(run.output(), "") << "the game and its libraries stay quiet, sound device or none";
}

// Another program's window takes the focus during a key capture: the game keeps handling its
// window's events, takes the focus back with a click, and binds neither the click nor what was
// typed into the other window.
TEST(EndToEnd, AKeyCaptureOutlivesAnotherWindowTakingTheFocus) {
    GameRun run;
    ASSERT_TRUE(run.start());
    for (const char* key : {"Down", "Return", "Down", "Down", "Down", "Down", "Down", "Return", "Return"}) {
        run.tap(key);  // Options, down to Controls, Forward:, start the capture
    }
    ASSERT_TRUE(run.typeIntoAnotherWindow("q"));
    run.pause(500);
    run.clickGame();
    EXPECT_TRUE(waitFor([&] {
        const Image shot = run.screenshot();
        return highlightPixels(shot, 0) > 30 && shot.count(400, 450, 790, 590, 255, 255, 255) < 50;
    })) << "the controls screen drawn again where the other window was";
    run.pause(300);
    run.tap("w");
    for (const char* key : {"Escape", "Return", "Escape", "Return"}) {
        run.tap(key);  // back to the options, back and save
    }
    run.pause(800);
    exitThroughTheMenu(run);
    EXPECT_NE(run.readSettings().find("\r\nW=87\r\n"), std::string::npos) << run.readSettings();
}

// (A start from a saved file is the refused full screen's case below; the file's round trip the
// settings test's.)
TEST(EndToEnd, OptionsRecreateTheWindowAndTheChoicesAreSaved) {
    GameRun run;
    ASSERT_TRUE(run.start());
    for (const char* key : {"Down", "Return", "Right", "Down", "Down", "Down", "Down", "Down", "Return", "Return"}) {
        run.tap(key);  // Options, 960 x 720, down to Controls, Forward:, start the capture
    }
    run.pause(200);
    run.tap("w");  // virtual-key code 87
    run.pause(200);
    for (const char* key : {"Escape", "Return", "Escape", "Return"}) {
        run.tap(key);  // back to the options, back, apply and save
    }
    run.pause(800);
    int w = 0, h = 0;
    ASSERT_TRUE(run.windowSize(w, h));
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 720);
    // Back from the options screen highlights "Options" (row 2); rows are 0.04375 W apart.
    const int top = static_cast<int>(0.24375 * 960 + 2 * 0.04375 * 960);
    EXPECT_GT(run.screenshot().count(263, top - 1, 278, top + 26, 255, 255, 255), 30);
    exitThroughTheMenu(run);
    const std::string text = run.readSettings();
    EXPECT_NE(text.find("\r\nrazdelitelna=2\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nW=87\r\n"), std::string::npos);
}

// The full screen stays chosen in the file until the options change it.
TEST(EndToEnd, ARefusedFullScreenAtStartUpFallsBackToAWindowOfTheSameSize) {
    GameRun run;  // the virtual display offers no mode switch at all
    run.writeSettings("razdelitelna=0\r\ncqlEkran=1\r\n");
    ASSERT_TRUE(run.start());
    int w = 0, h = 0;
    ASSERT_TRUE(run.windowSize(w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    for (const char* key : {"Down", "Return", "Escape", "Return"}) {
        run.tap(key);  // the options visited and applied, full screen untouched
    }
    run.pause(1500);  // the apply re-creates the window: slow under a sanitizer
    EXPECT_NE(run.readSettings().find("cqlEkran=1\r\n"), std::string::npos);
    for (const char* key : {"Return", "Down", "Down", "Down", "Left", "Escape", "Return"}) {
        run.tap(key);  // "Full screen: No" chosen
    }
    run.pause(1500);
    EXPECT_NE(run.readSettings().find("cqlEkran=0\r\n"), std::string::npos);
    exitThroughTheMenu(run);
}

// Its end, "Game Over" after the three lives, is the game test's and the drawn frame's to check.
TEST(EndToEnd, SystemTestShowsEnemiesAndTheHud) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Up");  // "System Test"
    run.tap("Return");
    run.pause(5000);  // the countdown, then wave 200 pours in
    Image playing = run.screenshot();
    EXPECT_EQ(titlePixels(playing), 0) << "the menu is gone";
    EXPECT_GT(hudPixels(playing), 20);
    EXPECT_GT(playing.countLit(0, 60, 800, 600), 2000) << "enemies on the field";
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
    EXPECT_EQ(run.output(), "");
}

// Then a tap shorter than a frame on "Exit" ends the program.
TEST(EndToEnd, BackWithAnOrdinaryEnterReturnsToTheMainMenuOnceAndATapOnExitEnds) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Down");        // "Options"
    run.tap("Return");
    run.tap("Escape");      // "Back"
    // Enter held across the window's re-creation, as a person presses it. A window manager would
    // give the new window the focus while Enter is still down; here the next key press does.
    run.keyDown("Return");
    run.pause(150);
    run.keyDown("Shift_L");
    run.pause(30);
    run.keyUp("Return");
    run.keyUp("Shift_L");
    run.pause(600);
    const Image menu = run.screenshot();
    EXPECT_GT(highlightPixels(menu, 2), 30) << "the main menu with \"Options\" highlighted";
    EXPECT_EQ(highlightPixels(menu, 0), 0) << "not the options screen opened again";
    run.tap("Escape");  // the highlight jumps to "Exit"
    run.pause(300);
    ASSERT_GT(highlightPixels(run.screenshot(), 4), 30);
    // Down and up in one xdotool call, microseconds apart: no poll sees the key down.
    run.keyDown("--delay 0 Return keyup --delay 0 Return");
    EXPECT_EQ(run.waitExit(5000), 1);
}
