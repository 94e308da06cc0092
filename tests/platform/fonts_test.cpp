// The Windows-1251 table and the glyph lists built from the bold sans-serif face.
#define GL_GLEXT_PROTOTYPES 1  // glWindowPos, to place glyphs in window pixels
#include "platform/fonts.h"
#include "support/gl_test_support.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <vector>

namespace {

TEST(Cp1251, MatchesTheSystemConverterForEveryByte) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0; b < 256; ++b) {
        char in[1] = {static_cast<char>(b)};
        unsigned char out[8] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1)) {
            EXPECT_EQ(cp1251ToUnicode(static_cast<unsigned char>(b)), 0u) << b;
            continue;
        }
        const unsigned expected = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<unsigned>(out[3]) << 24);
        EXPECT_EQ(cp1251ToUnicode(static_cast<unsigned char>(b)), expected) << b;
    }
    iconv_close(cd);
    EXPECT_EQ(cp1251ToUnicode(0x98), 0u);
    EXPECT_EQ(cp1251ToUnicode(0xC0), 0x0410u);  // capital A
    EXPECT_EQ(cp1251ToUnicode(0xFF), 0x044Fu);  // small ya
}

class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openTestWindow(800, 600)) {
            GTEST_SKIP() << "no X display";
        }
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
    }

    // Where the raster position ends after drawing one glyph list from x = 0.
    float advanceOf(unsigned base, unsigned char code) {
        glWindowPos2i(0, 0);
        glCallList(base + code);
        GLfloat pos[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
        return pos[0];
    }

    // Lit pixels after drawing one glyph at (100, 100).
    int litPixels(unsigned base, unsigned char code) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glWindowPos2i(100, 100);
        glCallList(base + code);
        glFinish();
        std::vector<unsigned char> pixels(200 * 200);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(50, 50, 200, 200, GL_RED, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (unsigned char p : pixels) {
            lit += p != 0 ? 1 : 0;
        }
        return lit;
    }
};

TEST_F(FontTest, EveryCodeHasAListThatAdvances) {
    const unsigned base = buildBitmapFont(30, 204);
    ASSERT_NE(base, 0u);
    for (unsigned n = 0; n < 256; ++n) {
        EXPECT_TRUE(glIsList(base + n)) << n;
    }
    // A space has no pixels but must still move the pen (Mesa drops it for a null image).
    EXPECT_GT(advanceOf(base, ' '), 3.0f);
    EXPECT_EQ(litPixels(base, ' '), 0);
    EXPECT_GT(advanceOf(base, 'W'), advanceOf(base, 'i'));
    EXPECT_GT(advanceOf(base, 0xC4), 10.0f);  // capital De
    glDeleteLists(base, 256);
}

TEST_F(FontTest, LatinAndCyrillicGlyphsHavePixelsThatGrowWithTheHeight) {
    const unsigned small = buildBitmapFont(13, 204);
    const unsigned large = buildBitmapFont(30, 204);
    for (unsigned char code : {static_cast<unsigned char>('A'), static_cast<unsigned char>(0xC4),
                               static_cast<unsigned char>(0xE6), static_cast<unsigned char>(0xA8)}) {
        const int s = litPixels(small, code);
        const int l = litPixels(large, code);
        EXPECT_GT(s, 10) << int(code);
        EXPECT_GT(l, 2 * s) << int(code);
    }
    glDeleteLists(small, 256);
    glDeleteLists(large, 256);
}

TEST_F(FontTest, ZeroHeightStillGivesValidLists) {
    const unsigned base = buildBitmapFont(0, 204);
    ASSERT_NE(base, 0u);
    EXPECT_TRUE(glIsList(base + 255));
    EXPECT_EQ(litPixels(base, 'A'), 0);
    glDeleteLists(base, 256);
}

}  // namespace
