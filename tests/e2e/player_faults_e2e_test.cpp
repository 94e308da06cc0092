// Faults a player met on the real program: keys held across a window's re-creation, taps shorter
// than a frame, a full screen the monitor refused.
#include "e2e/harness.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// At 800 x 600 the highlight triangle of row r spans x 220..230, y 195 + 35 r .. 215 + 35 r.
int highlightPixels(const Image& image, int row) {
    const int top = 195 + 35 * row;
    return image.count(219, top - 1, 232, top + 22, 255, 255, 255);
}

}  // namespace

TEST(PlayerFaults, BackWithAnOrdinaryEnterReturnsToTheMainMenuOnce) {
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
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
}

TEST(PlayerFaults, ATapShorterThanAFrameOnExitEndsTheGame) {
    GameRun run;
    ASSERT_TRUE(run.start());
    // "Exit"; the very first key may reach the window before it can take the focus.
    for (int tries = 0; tries < 3 && highlightPixels(run.screenshot(), 4) < 30; ++tries) {
        run.tap("Escape");
    }
    ASSERT_GT(highlightPixels(run.screenshot(), 4), 30);
    // Down and up in one xdotool call, microseconds apart: no poll sees the key down.
    run.keyDown("--delay 0 Return keyup --delay 0 Return");
    EXPECT_EQ(run.waitExit(5000), 1);
}

TEST(PlayerFaults, AFullScreenRefusedAtStartUpStaysChosenUntilTheOptionsChangeIt) {
    GameRun run;  // the virtual display offers no mode switch at all
    run.writeSettings("razdelitelna=1\r\ncqlEkran=1\r\n");
    ASSERT_TRUE(run.start());
    for (const char* key : {"Down", "Return", "Escape", "Return"}) {
        run.tap(key);  // the options visited and applied, full screen untouched
    }
    run.pause(600);
    EXPECT_NE(run.readSettings().find("cqlEkran=1\r\n"), std::string::npos);
    for (const char* key : {"Return", "Down", "Down", "Down", "Left", "Escape", "Return"}) {
        run.tap(key);  // "Full screen: No" chosen
    }
    run.pause(600);
    EXPECT_NE(run.readSettings().find("cqlEkran=0\r\n"), std::string::npos);
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
}
