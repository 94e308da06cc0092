// The real program on a private display: a game runs, is left and continued, and ends.
#include "e2e/harness.h"

#include <gtest/gtest.h>

namespace {

// The grey HUD texts at 800 x 600: the frame rate at x 732, baseline y 12; wave and score at x 390, y 15.
int hudPixels(const Image& image) {
    return image.count(730, 0, 800, 14, 178, 178, 178, 10) + image.count(388, 2, 480, 17, 178, 178, 178, 10);
}

int titlePixels(const Image& image) {
    return image.count(195, 105, 500, 145, 153, 255, 153, 12);
}

}  // namespace

TEST(GameEndToEnd, SystemTestShowsEnemiesAndTheHudThenEndsWithGameOver) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Up");      // "System Test"
    run.tap("Return");
    run.pause(5000);    // the countdown, then wave 200 pours in
    Image playing = run.screenshot();
    ASSERT_TRUE(playing.valid());
    EXPECT_EQ(titlePixels(playing), 0) << "the menu is gone";
    EXPECT_GT(hudPixels(playing), 20);
    EXPECT_GT(playing.countLit(0, 60, 800, 600), 2000) << "enemies on the field";

    // The ship's keys are locked; the enemies wear the three lives down.
    bool over = false;
    for (int i = 0; i < 240 && !over; ++i) {
        run.pause(1000);
        Image frame = run.screenshot();
        // "Game Over" is pale yellow at x 296, baseline y 288.
        over = frame.count(290, 255, 520, 292, 255, 255, 128, 10) > 40;
    }
    EXPECT_TRUE(over);
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
    EXPECT_EQ(run.output(), "") << "the game and its libraries stay quiet, sound device or none";
}

TEST(GameEndToEnd, BackLeavesANewGameThatContinueResumes) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Return");  // "Nеw Game"
    run.pause(1500);
    Image playing = run.screenshot();
    EXPECT_EQ(titlePixels(playing), 0);
    EXPECT_GT(hudPixels(playing), 20);

    run.tap("Escape");
    run.pause(300);
    Image menu = run.screenshot();
    EXPECT_GT(titlePixels(menu), 20) << "back in the menu";

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
}
