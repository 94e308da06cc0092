// Text drawn through the real fonts in a real window (Xvfb, Mesa).
#include "app/display_mode.h"
#include "app/screen_mapping.h"
#include "app/text.h"
#include "app/window.h"
#include "settings/settings.h"
#include "support/gl_test_support.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openTestWindow(640, 480)) {
            GTEST_SKIP() << "no X display";
        }
        createFonts();
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // The back buffer's pixels as RGB bytes, rows bottom-up.
    std::vector<unsigned char> readBack() {
        glFinish();
        std::vector<unsigned char> pixels(640 * 480 * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
};

TEST_F(TextTest, FontsFollowTheResolution) {
    EXPECT_NE(smallFont, 0u);
    EXPECT_NE(largeFont, 0u);
    EXPECT_NE(smallFont, largeFont);
    EXPECT_TRUE(glIsList(smallFont + 255));
    EXPECT_TRUE(glIsList(largeFont + 255));
}

TEST_F(TextTest, BitmapsStartAtTheMappedBaselineInTheCurrentColour) {
    const auto items = captureFeedback([] {
        glColor3f(1.0f, 0.5f, 0.25f);
        printText(100.0, 200.0, 0.0, largeFont, "A%d", 7);
    });
    ASSERT_EQ(items.size(), 2u);  // one bitmap per character
    // (100, 200) in game units is view (0.125, 1.75): pixel (100, 280) of a 640 x 480 viewport.
    EXPECT_EQ(items[0].token, GL_BITMAP_TOKEN);
    EXPECT_NEAR(items[0].v[0].x, 100.0f, 1e-3);
    EXPECT_NEAR(items[0].v[0].y, 280.0f, 1e-3);
    EXPECT_NEAR(items[0].v[0].r, 1.0f, 1e-3);
    EXPECT_NEAR(items[0].v[0].g, 0.5f, 1e-3);
    EXPECT_NEAR(items[0].v[0].b, 0.25f, 1e-3);
    // The second glyph starts one advance further along the same baseline.
    EXPECT_GT(items[1].v[0].x, items[0].v[0].x + 5.0f);
    EXPECT_NEAR(items[1].v[0].y, 280.0f, 1e-3);
}

TEST_F(TextTest, ColourIsLatchedWhenTheTextStarts) {
    const auto items = captureFeedback([] {
        glColor3f(0.0f, 1.0f, 0.0f);
        printText(10.0, 10.0, 0.0, smallFont, "x");
        glColor3f(1.0f, 0.0f, 0.0f);
    });
    ASSERT_EQ(items.size(), 1u);
    EXPECT_NEAR(items[0].v[0].r, 0.0f, 1e-3);
    EXPECT_NEAR(items[0].v[0].g, 1.0f, 1e-3);
}

TEST_F(TextTest, NullFormatDrawsNothingAndKeepsTheListBase) {
    glListBase(42);
    const auto items = captureFeedback([] { printText(100.0, 100.0, 0.0, largeFont, nullptr); });
    EXPECT_TRUE(items.empty());
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 42);
}

TEST_F(TextTest, EmptyTextSetsTheRasterPositionAndRestoresTheListBase) {
    glListBase(7);
    printText(320.0, 240.0, 0.0, largeFont, "%s", "");
    GLfloat pos[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
    EXPECT_NEAR(pos[0], 320.0f, 1e-3);
    EXPECT_NEAR(pos[1], 240.0f, 1e-3);
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 7);
}

TEST_F(TextTest, PositionOutsideTheViewDrawsNothing) {
    const auto items = captureFeedback([] { printText(-50.0, 100.0, 0.0, largeFont, "AB"); });
    EXPECT_TRUE(items.empty());
}

TEST_F(TextTest, OverlongTextIsCutNotOverrun) {
    const std::string longText(10000, 'i');
    const auto items = captureFeedback([&] { printText(0.0, 470.0, 0.0, smallFont, "%s", longText.c_str()); });
    // The raster position runs off the right edge long before 4,096 glyphs; nothing may crash.
    EXPECT_LE(items.size(), 4096u);
    EXPECT_FALSE(items.empty());
}

TEST_F(TextTest, GlyphPixelsSitOnTheBaselineInTheTextColour) {
    glColor3f(1.0f, 0.0f, 0.0f);
    printText(100.0, 200.0, 0.0, largeFont, "H");
    const auto pixels = readBack();
    int lit = 0;
    int minX = 640, minY = 480, maxY = -1;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * 640 + x) * 3];
            if (p[0] != 0 || p[1] != 0 || p[2] != 0) {
                ++lit;
                EXPECT_EQ(p[0], 255);
                EXPECT_EQ(p[1], 0);
                EXPECT_EQ(p[2], 0);
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    ASSERT_GT(lit, 50);
    // A capital H of a 24-pixel font: starts at the pen, stands on the baseline (row 280).
    EXPECT_GE(minX, 100);
    EXPECT_LE(minX, 104);
    EXPECT_EQ(minY, 280);
    EXPECT_GE(maxY - minY + 1, 14);
    EXPECT_LE(maxY - minY + 1, 24);
}

TEST_F(TextTest, CyrillicBytesDrawGlyphs) {
    glColor3f(1.0f, 1.0f, 1.0f);
    // "\xc4\xe0" is Bulgarian "Da": capital De and small a.
    printText(100.0, 200.0, 0.0, largeFont, "\xc4\xe0");
    const auto pixels = readBack();
    int lit = 0;
    for (unsigned char c : pixels) {
        lit += c != 0 ? 1 : 0;
    }
    EXPECT_GT(lit, 3 * 60);
    const auto items = captureFeedback([] { printText(100.0, 200.0, 0.0, largeFont, "\xc4\xe0"); });
    ASSERT_EQ(items.size(), 2u);
    EXPECT_GT(items[1].v[0].x, items[0].v[0].x + 8.0f);
}

TEST_F(TextTest, RebuildAfterRecreationFollowsTheNewSizeAndCharset) {
    ASSERT_TRUE(openTestWindow(1280, 960));
    settings.language = 1;
    fontCharset = 0;
    rebuildFonts();
    EXPECT_EQ(fontCharset, 204u);  // both languages use the Cyrillic set
    EXPECT_TRUE(glIsList(smallFont + 255));
    EXPECT_TRUE(glIsList(largeFont + 255));
    reshapeWindow(1280, 960);
    const auto items = captureFeedback([] {
        glColor3f(1, 1, 1);
        printText(0.0, 960.0, 0.0, largeFont, "%s", "\xc7\xe2\xf3\xea");
    });
    ASSERT_EQ(items.size(), 4u);
    EXPECT_NEAR(items[0].v[0].x, 0.0f, 1e-3);
    EXPECT_NEAR(items[0].v[0].y, 0.0f, 1e-3);
    // 48-pixel glyphs at 1280 x 960: the four letters span well over a hundred pixels.
    EXPECT_GT(items[3].v[0].x, 80.0f);
    settings.language = 2;
    rebuildFonts();
    EXPECT_EQ(fontCharset, 0u);
    settings.language = 0;
}

}  // namespace
