// The real program on a private display: menus, options, the settings file, exit statuses.
#include "e2e/harness.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// At 800 x 600 the highlight triangle of row r spans x 220..230, y 195 + 35 r .. 215 + 35 r.
int highlightPixels(const Image& image, int row) {
    const int top = 195 + 35 * row;
    return image.count(219, top - 1, 232, top + 22, 255, 255, 255);
}

// The title is light green; in Bulgarian it starts at x = 200, in English at x = 260.
int titlePixelsLeftOf260(const Image& image) {
    return image.count(195, 105, 258, 145, 153, 255, 153, 12);
}

int lineCount(const std::string& text) {
    int lines = 1;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++lines;
        }
    }
    return lines;
}

bool hasLine(const std::string& text, const std::string& line) {
    const std::string crlf = text + "\r\n";
    return crlf.find("\r\n" + line + "\r\n") != std::string::npos || crlf.rfind(line + "\r\n", 0) == 0;
}

}  // namespace

TEST(MenuEndToEnd, StartsOnNewGameAndF8SwitchesTheLanguage) {
    GameRun run;
    ASSERT_TRUE(run.displayReady());
    ASSERT_TRUE(run.start());
    Image first = run.screenshot();
    ASSERT_TRUE(first.valid());
    EXPECT_EQ(first.width, 800);
    EXPECT_EQ(first.height, 600);
    EXPECT_GT(highlightPixels(first, 1), 30);
    EXPECT_EQ(highlightPixels(first, 0), 0);
    EXPECT_GT(titlePixelsLeftOf260(first), 20) << "Bulgarian title starts at x = 200";

    run.tap("F8");
    run.pause(300);
    Image english = run.screenshot();
    EXPECT_EQ(titlePixelsLeftOf260(english), 0) << "English title starts at x = 260";
    EXPECT_GT(highlightPixels(english, 1), 30);

    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
    EXPECT_FALSE(run.settingsExist()) << "F12 writes nothing";
}

TEST(MenuEndToEnd, ExitWritesTheWholeFileAndEndsWithStatusOne) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Escape");  // the highlight jumps to "Exit"
    Image onExit = run.screenshot();
    EXPECT_GT(highlightPixels(onExit, 4), 30);
    run.tap("Return");
    EXPECT_EQ(run.waitExit(5000), 1);
    ASSERT_TRUE(run.settingsExist());
    const std::string text = run.readSettings();
    const bool withSound = text.find("zvuk=") != std::string::npos;
    EXPECT_EQ(lineCount(text), withSound ? 18 : 17);
    EXPECT_EQ(text.rfind(";;;; zarv701a - \xF4\xE0\xE9\xEB \xF1 \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8 ;;;;\r\n\r\n", 0), 0u);
    EXPECT_TRUE(hasLine(text, "razdelitelna=1"));
    EXPECT_TRUE(hasLine(text, "W=104"));
    EXPECT_NE(text.back(), '\n');
}

TEST(MenuEndToEnd, AChangedResolutionRecreatesTheWindowAndIsSaved) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Down");    // "Options"
    run.tap("Return");  // options screen, row 0 "Resolution:"
    run.tap("Right");   // 960 x 720
    run.tap("Escape");  // "Back"
    run.tap("Return");  // apply
    run.pause(800);
    int w = 0;
    int h = 0;
    ASSERT_TRUE(run.windowSize(w, h));
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 720);
    ASSERT_TRUE(run.settingsExist());
    EXPECT_TRUE(hasLine(run.readSettings(), "razdelitelna=2"));
    Image menu = run.screenshot();
    EXPECT_EQ(menu.width, 960);
    // Back from the options screen highlights "Options" (row 2); rows are 0.04375 W apart.
    const int top = static_cast<int>(0.24375 * 960 + 2 * 0.04375 * 960);
    EXPECT_GT(menu.count(263, top - 1, 278, top + 26, 255, 255, 255), 30);
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
}

TEST(MenuEndToEnd, ABoundKeySurvivesARestart) {
    GameRun run;
    ASSERT_TRUE(run.start());
    run.tap("Down");    // "Options"
    run.tap("Return");
    for (int i = 0; i < 5; ++i) {
        run.tap("Down");  // "Controls"
    }
    run.tap("Return");  // controls screen, "Forward:"
    run.tap("Return");  // start the capture
    run.pause(200);
    run.tap("w");       // virtual-key code 87
    run.pause(200);
    run.tap("Escape");  // "Back" of the controls screen
    run.tap("Return");  // options screen
    run.tap("Escape");
    run.tap("Return");  // apply and save
    run.pause(800);
    run.tap("F12");
    EXPECT_EQ(run.waitExit(5000), 1);
    ASSERT_TRUE(hasLine(run.readSettings(), "W=87"));

    GameRun second;
    second.writeSettings(run.readSettings());
    ASSERT_TRUE(second.start());
    second.tap("Escape");
    second.tap("Return");  // "Exit" writes what was loaded
    EXPECT_EQ(second.waitExit(5000), 1);
    EXPECT_TRUE(hasLine(second.readSettings(), "W=87"));
}

TEST(MenuEndToEnd, BadValuesInAHandEditedFileFallBackOneKeyAtATime) {
    GameRun run;
    run.writeSettings(
        "razdelitelna=9\ncvetove=24\nczestota=61\ncqlEkran=2\nezik=5\n"
        "W=300\nA=65\nD=abc\nTAB=-4\nlud1=Ivan\nlut1=-5\nlut2=12.6\n");
    ASSERT_TRUE(run.start());
    int w = 0;
    int h = 0;
    ASSERT_TRUE(run.windowSize(w, h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    run.tap("Escape");
    run.tap("Return");
    EXPECT_EQ(run.waitExit(5000), 1);
    const std::string text = run.readSettings();
    for (const char* line : {"razdelitelna=1", "cvetove=32", "czestota=60", "cqlEkran=0", "ezik=0", "W=104",
                             "A=65", "D=0", "TAB=9", "lud1=Ivan", "lut1=0", "lut2=13", "lud2=Morvasta"}) {
        EXPECT_TRUE(hasLine(text, line)) << line << " in\n" << text;
    }
}

TEST(MenuEndToEnd, ARefusedFullScreenAtStartUpFallsBackToAWindowOfTheSameSize) {
    // The virtual display offers no mode switch at all.
    GameRun run;
    run.writeSettings("razdelitelna=0\r\ncqlEkran=1\r\n");
    ASSERT_TRUE(run.start());
    int w = 0;
    int h = 0;
    ASSERT_TRUE(run.windowSize(w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    run.tap("Escape");
    run.tap("Return");
    EXPECT_EQ(run.waitExit(5000), 1);
    EXPECT_TRUE(hasLine(run.readSettings(), "cqlEkran=1")) << "the player's choice is kept";
}
