// The menus drawn for real under Xvfb, read back in feedback mode.
#include "support/gl_test_support.h"
#include "ui/texts.h"
#include "ui_fixture.h"

#include <cstring>
#include <vector>

namespace {

std::vector<FbPrimitive> only(const std::vector<FbPrimitive>& all, GLint token) {
    std::vector<FbPrimitive> kept;
    for (const FbPrimitive& p : all) {
        if (p.token == token) {
            kept.push_back(p);
        }
    }
    return kept;
}

class MenuDrawingTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        if (!openTestWindow(800, 600)) {
            GTEST_SKIP() << "no X display";
        }
        createFonts();
        prepareGame(false, true);
    }
};

// The bitmap tokens at one baseline (window y), in drawing order.
std::vector<FbPrimitive> textAt(const std::vector<FbPrimitive>& all, double windowY) {
    std::vector<FbPrimitive> kept;
    for (const FbPrimitive& p : only(all, GL_BITMAP_TOKEN)) {
        if (std::abs(p.v[0].y - windowY) < 1e-3) {
            kept.push_back(p);
        }
    }
    return kept;
}

}  // namespace

TEST_F(MenuDrawingTest, HighlightTriangleFollowsTheSelectedRow) {
    menu.selectedRow = 3;
    glColor3f(1, 1, 1);
    const auto triangles = captureFeedback(drawHighlight);
    ASSERT_EQ(triangles.size(), 1u);
    ASSERT_EQ(triangles[0].token, GL_POLYGON_TOKEN);
    ASSERT_EQ(triangles[0].v.size(), 3u);
    // At 800 x 600 a game unit is a pixel: window (x, 600 - y), d = 3 * 0.04375 * 800 = 105.
    const float expected[3][2] = {{220, 600 - 300}, {220, 600 - 320}, {230, 600 - 310}};
    for (int v = 0; v < 3; ++v) {
        EXPECT_NEAR(triangles[0].v[v].x, expected[v][0], 1e-3) << v;
        EXPECT_NEAR(triangles[0].v[v].y, expected[v][1], 1e-3) << v;
        EXPECT_NEAR(triangles[0].v[v].z, 0.5, 1e-3) << v;  // z = 0 in the -1..1 depth range
    }
}

TEST_F(MenuDrawingTest, MainMenuDrawsFrameRowsAndAWhiteHighlight) {
    settings.language = 1;
    const auto all = captureFeedback(menuDisplay);
    const auto triangles = only(all, GL_POLYGON_TOKEN);
    ASSERT_EQ(triangles.size(), 1u);
    for (const FbVertex& v : triangles[0].v) {
        EXPECT_FLOAT_EQ(v.r, 1.0f);
        EXPECT_FLOAT_EQ(v.g, 1.0f);
        EXPECT_FLOAT_EQ(v.b, 1.0f);
    }
    EXPECT_NEAR(triangles[0].v[0].y, 600 - (195 + 35), 1e-3);  // row 1

    // One glyph per character of each row, at the label x and the row's baseline.
    const char* rows[5] = {"System Test", "N\xE5w Game", "Options", "High Scores", "Exit"};
    for (int row = 0; row < 5; ++row) {
        const auto glyphs = textAt(all, 600 - menuRowY(row));
        ASSERT_EQ(glyphs.size(), std::strlen(rows[row])) << row;
        EXPECT_NEAR(glyphs[0].v[0].x, 240, 1e-3);
        EXPECT_FLOAT_EQ(glyphs[0].v[0].g, 1.0f);
    }
    // The title in green, the frame texts in grey.
    const auto title = textAt(all, 600 - 140);
    ASSERT_EQ(title.size(), 9u);
    EXPECT_NEAR(title[0].v[0].x, 260, 1e-3);
    EXPECT_FLOAT_EQ(title[0].v[0].r, 0.6f);
    const auto hint = textAt(all, 600 - 595.2);
    ASSERT_EQ(hint.size(), std::strlen(kLanguageHint));
    EXPECT_FLOAT_EQ(hint[0].v[0].r, 0.7f);
    EXPECT_FLOAT_EQ(hint[0].v[0].b, 0.7f);
}

TEST_F(MenuDrawingTest, SoundRowIsGreyWithoutADeviceAndWhiteAfterIt) {
    openMenuScreen(OptionsScreen, 0, 7);
    const auto all = captureFeedback(menuDisplay);
    const auto soundRow = textAt(all, 600 - menuRowY(4));
    ASSERT_EQ(soundRow.size(), std::strlen(kSound.bulgarian));
    EXPECT_FLOAT_EQ(soundRow[0].v[0].r, 0.7f);
    const auto controlsRow = textAt(all, 600 - menuRowY(5));
    ASSERT_FALSE(controlsRow.empty());
    EXPECT_FLOAT_EQ(controlsRow[0].v[0].r, 1.0f);

    sound.soundVolume = 127;
    const auto withDevice = textAt(captureFeedback(menuDisplay), 600 - menuRowY(4));
    ASSERT_FALSE(withDevice.empty());
    EXPECT_FLOAT_EQ(withDevice[0].v[0].r, 1.0f);
}

TEST_F(MenuDrawingTest, ControlsScreenShowsKeyNamesAndAGreyHint) {
    settings.language = 1;
    openMenuScreen(ControlsScreen, 0, 6);
    keys.forwardKey = 0;    // blanked by a capture: one space
    keys.shootKey = 300;    // beyond the names: its number
    const auto all = captureFeedback(menuDisplay);
    const auto forward = textAt(all, 600 - menuRowY(0));
    EXPECT_EQ(forward.size(), std::strlen("Forward:") + 1);
    const auto shoot = textAt(all, 600 - menuRowY(3));
    EXPECT_EQ(shoot.size(), std::strlen("Shoot:") + 3);
    const auto hint = textAt(all, 600 - menuRowY(5));
    ASSERT_EQ(hint.size(), std::strlen("Back: ESC, Exit: F12"));
    EXPECT_FLOAT_EQ(hint[0].v[0].r, 0.7f);
    EXPECT_FLOAT_EQ(textAt(all, 600 - menuRowY(6))[0].v[0].r, 1.0f);
}

TEST_F(MenuDrawingTest, NameEntryShowsItsTwoLinesAndTheName) {
    std::snprintf(nameBuffer, sizeof nameBuffer, "%s", "ivo");
    const auto all = captureFeedback(nameEntryDisplay);
    EXPECT_TRUE(only(all, GL_POLYGON_TOKEN).empty());
    EXPECT_EQ(textAt(all, 600 - 250).size(), std::strlen(kHighScoreSet.bulgarian));
    EXPECT_EQ(textAt(all, 600 - 285).size(), std::strlen(kEnterName.bulgarian));
    const auto name = textAt(all, 600 - 320);
    ASSERT_EQ(name.size(), 3u);
    EXPECT_NEAR(name[0].v[0].x, 240, 1e-3);
}

TEST_F(MenuDrawingTest, HighScoreScreenListsNamesAndRoundedScores) {
    openMenuScreen(HighScoresScreen, 4, 4);
    highScores[0] = HighScoreEntry{"ivo", 1234.7f};
    const auto all = captureFeedback(menuDisplay);
    const auto first = textAt(all, 600 - menuRowY(0));
    ASSERT_EQ(first.size(), std::strlen("ivo") + std::strlen("1235"));
    EXPECT_NEAR(first[0].v[0].x, 240, 1e-3);
    EXPECT_NEAR(first[3].v[0].x, 448, 1e-3);  // the score at 0.56 W
    EXPECT_EQ(textAt(all, 600 - menuRowY(2)).size(), std::strlen("Zintok") + 1);
    EXPECT_TRUE(textAt(all, 600 - menuRowY(3)).empty());
    EXPECT_EQ(textAt(all, 600 - menuRowY(4)).size(), std::strlen(kBack.bulgarian));
    EXPECT_NEAR(only(all, GL_POLYGON_TOKEN)[0].v[0].y, 600 - (195 + 140), 1e-3);
}

TEST_F(MenuDrawingTest, SoundScreenShowsThePercentageAndAGreyHint) {
    settings.language = 1;
    sound.soundVolume = 7;
    openMenuScreen(SoundScreen, 0, 1);
    const auto all = captureFeedback(menuDisplay);
    // "Volume: " and "5%": 7 * 100 / 127 truncates to 5.
    EXPECT_EQ(textAt(all, 600 - menuRowY(0)).size(), std::strlen("Volume: ") + 2);
    const auto hint = textAt(all, 600 - 285);
    ASSERT_EQ(hint.size(), std::strlen(kSoundHint.english));
    EXPECT_NEAR(hint[0].v[0].x, 240, 1e-3);
    EXPECT_FLOAT_EQ(hint[0].v[0].r, 0.7f);
    const auto back = textAt(all, 600 - menuRowY(1));
    ASSERT_FALSE(back.empty());
    EXPECT_FLOAT_EQ(back[0].v[0].r, 1.0f);
}
