// The menus drawn for real under Xvfb, read back in feedback mode.
#include "app/gl_test_window.h"
#include "ui/texts.h"
#include "ui_fixture.h"

#include <cstring>
#include <vector>

namespace {

struct Vertex {
    float x, y, z, r, g, b, a;
};

struct Primitive {
    float token;
    std::vector<Vertex> vertices;
};

template <typename Draw>
std::vector<Primitive> feedback(Draw draw) {
    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<Primitive> out;
    GLint i = 0;
    while (i < count) {
        Primitive p{buffer[i++], {}};
        int n = 0;
        if (p.token == GL_POLYGON_TOKEN) {
            n = static_cast<int>(buffer[i++]);
        } else if (p.token == GL_LINE_TOKEN || p.token == GL_LINE_RESET_TOKEN) {
            n = 2;
        } else if (p.token == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        } else {
            n = 1;  // bitmap, pixel and point tokens carry one vertex
        }
        for (int v = 0; v < n; ++v) {
            const GLfloat* f = &buffer[i];
            p.vertices.push_back(Vertex{f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
            i += 7;
        }
        out.push_back(p);
    }
    return out;
}

std::vector<Primitive> only(const std::vector<Primitive>& all, float token) {
    std::vector<Primitive> kept;
    for (const Primitive& p : all) {
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
std::vector<Primitive> textAt(const std::vector<Primitive>& all, double windowY) {
    std::vector<Primitive> kept;
    for (const Primitive& p : only(all, GL_BITMAP_TOKEN)) {
        if (std::abs(p.vertices[0].y - windowY) < 1e-3) {
            kept.push_back(p);
        }
    }
    return kept;
}

}  // namespace

TEST_F(MenuDrawingTest, HighlightTriangleFollowsTheSelectedRow) {
    menu.selectedRow = 3;
    glColor3f(1, 1, 1);
    const auto triangles = feedback(drawHighlight);
    ASSERT_EQ(triangles.size(), 1u);
    ASSERT_EQ(triangles[0].token, GL_POLYGON_TOKEN);
    ASSERT_EQ(triangles[0].vertices.size(), 3u);
    // At 800 x 600 a game unit is a pixel: window (x, 600 - y), d = 3 * 0.04375 * 800 = 105.
    const float expected[3][2] = {{220, 600 - 300}, {220, 600 - 320}, {230, 600 - 310}};
    for (int v = 0; v < 3; ++v) {
        EXPECT_NEAR(triangles[0].vertices[v].x, expected[v][0], 1e-3) << v;
        EXPECT_NEAR(triangles[0].vertices[v].y, expected[v][1], 1e-3) << v;
        EXPECT_NEAR(triangles[0].vertices[v].z, 0.5, 1e-3) << v;  // z = 0 in the -1..1 depth range
    }
}

TEST_F(MenuDrawingTest, MainMenuDrawsFrameRowsAndAWhiteHighlight) {
    settings.language = 1;
    const auto all = feedback(menuDisplay);
    const auto triangles = only(all, GL_POLYGON_TOKEN);
    ASSERT_EQ(triangles.size(), 1u);
    for (const Vertex& v : triangles[0].vertices) {
        EXPECT_FLOAT_EQ(v.r, 1.0f);
        EXPECT_FLOAT_EQ(v.g, 1.0f);
        EXPECT_FLOAT_EQ(v.b, 1.0f);
    }
    EXPECT_NEAR(triangles[0].vertices[0].y, 600 - (195 + 35), 1e-3);  // row 1

    // One glyph per character of each row, at the label x and the row's baseline.
    const char* rows[5] = {"System Test", "N\xE5w Game", "Options", "High Scores", "Exit"};
    for (int row = 0; row < 5; ++row) {
        const auto glyphs = textAt(all, 600 - menuRowY(row));
        ASSERT_EQ(glyphs.size(), std::strlen(rows[row])) << row;
        EXPECT_NEAR(glyphs[0].vertices[0].x, 240, 1e-3);
        EXPECT_FLOAT_EQ(glyphs[0].vertices[0].g, 1.0f);
    }
    // The title in green, the frame texts in grey.
    const auto title = textAt(all, 600 - 140);
    ASSERT_EQ(title.size(), 9u);
    EXPECT_NEAR(title[0].vertices[0].x, 260, 1e-3);
    EXPECT_FLOAT_EQ(title[0].vertices[0].r, 0.6f);
    const auto hint = textAt(all, 600 - 595.2);
    ASSERT_EQ(hint.size(), std::strlen(kLanguageHint));
    EXPECT_FLOAT_EQ(hint[0].vertices[0].r, 0.7f);
    EXPECT_FLOAT_EQ(hint[0].vertices[0].b, 0.7f);
}

TEST_F(MenuDrawingTest, SoundRowIsGreyWithoutADeviceAndWhiteAfterIt) {
    openMenuScreen(OptionsScreen, 0, 7);
    const auto all = feedback(menuDisplay);
    const auto soundRow = textAt(all, 600 - menuRowY(4));
    ASSERT_EQ(soundRow.size(), std::strlen(kSound.bulgarian));
    EXPECT_FLOAT_EQ(soundRow[0].vertices[0].r, 0.7f);
    const auto controlsRow = textAt(all, 600 - menuRowY(5));
    ASSERT_FALSE(controlsRow.empty());
    EXPECT_FLOAT_EQ(controlsRow[0].vertices[0].r, 1.0f);

    sound.soundVolume = 127;
    const auto withDevice = textAt(feedback(menuDisplay), 600 - menuRowY(4));
    ASSERT_FALSE(withDevice.empty());
    EXPECT_FLOAT_EQ(withDevice[0].vertices[0].r, 1.0f);
}

TEST_F(MenuDrawingTest, ControlsScreenShowsKeyNamesAndAGreyHint) {
    settings.language = 1;
    openMenuScreen(ControlsScreen, 0, 6);
    keys.forwardKey = 0;    // blanked by a capture: one space
    keys.shootKey = 300;    // beyond the names: its number
    const auto all = feedback(menuDisplay);
    const auto forward = textAt(all, 600 - menuRowY(0));
    EXPECT_EQ(forward.size(), std::strlen("Forward:") + 1);
    const auto shoot = textAt(all, 600 - menuRowY(3));
    EXPECT_EQ(shoot.size(), std::strlen("Shoot:") + 3);
    const auto hint = textAt(all, 600 - menuRowY(5));
    ASSERT_EQ(hint.size(), std::strlen("Back: ESC, Exit: F12"));
    EXPECT_FLOAT_EQ(hint[0].vertices[0].r, 0.7f);
    EXPECT_FLOAT_EQ(textAt(all, 600 - menuRowY(6))[0].vertices[0].r, 1.0f);
}

TEST_F(MenuDrawingTest, NameEntryShowsItsTwoLinesAndTheName) {
    std::snprintf(nameBuffer, sizeof nameBuffer, "%s", "ivo");
    const auto all = feedback(nameEntryDisplay);
    EXPECT_TRUE(only(all, GL_POLYGON_TOKEN).empty());
    EXPECT_EQ(textAt(all, 600 - 250).size(), std::strlen(kHighScoreSet.bulgarian));
    EXPECT_EQ(textAt(all, 600 - 285).size(), std::strlen(kEnterName.bulgarian));
    const auto name = textAt(all, 600 - 320);
    ASSERT_EQ(name.size(), 3u);
    EXPECT_NEAR(name[0].vertices[0].x, 240, 1e-3);
}

TEST_F(MenuDrawingTest, HighScoreScreenListsNamesAndRoundedScores) {
    openMenuScreen(HighScoresScreen, 4, 4);
    highScores[0] = HighScoreEntry{"ivo", 1234.7f};
    const auto all = feedback(menuDisplay);
    const auto first = textAt(all, 600 - menuRowY(0));
    ASSERT_EQ(first.size(), std::strlen("ivo") + std::strlen("1235"));
    EXPECT_NEAR(first[0].vertices[0].x, 240, 1e-3);
    EXPECT_NEAR(first[3].vertices[0].x, 448, 1e-3);  // the score at 0.56 W
    EXPECT_EQ(textAt(all, 600 - menuRowY(2)).size(), std::strlen("Zintok") + 1);
    EXPECT_TRUE(textAt(all, 600 - menuRowY(3)).empty());
    EXPECT_EQ(textAt(all, 600 - menuRowY(4)).size(), std::strlen(kBack.bulgarian));
    EXPECT_NEAR(only(all, GL_POLYGON_TOKEN)[0].vertices[0].y, 600 - (195 + 140), 1e-3);
}

TEST_F(MenuDrawingTest, SoundScreenShowsThePercentageAndAGreyHint) {
    settings.language = 1;
    sound.soundVolume = 7;
    openMenuScreen(SoundScreen, 0, 1);
    const auto all = feedback(menuDisplay);
    // "Volume: " and "5%": 7 * 100 / 127 truncates to 5.
    EXPECT_EQ(textAt(all, 600 - menuRowY(0)).size(), std::strlen("Volume: ") + 2);
    const auto hint = textAt(all, 600 - 285);
    ASSERT_EQ(hint.size(), std::strlen(kSoundHint.english));
    EXPECT_NEAR(hint[0].vertices[0].x, 240, 1e-3);
    EXPECT_FLOAT_EQ(hint[0].vertices[0].r, 0.7f);
    const auto back = textAt(all, 600 - menuRowY(1));
    ASSERT_FALSE(back.empty());
    EXPECT_FLOAT_EQ(back[0].vertices[0].r, 1.0f);
}
