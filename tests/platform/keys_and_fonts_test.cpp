// The virtual-key code table against an X server, and the glyph lists of the bold sans-serif face.
#define GL_GLEXT_PROTOTYPES 1  // glWindowPos, to place glyphs in window pixels
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "platform/fonts.h"
#include "platform/keys.h"
#include "support/gl_test_support.h"
#include "support/test_support.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <iconv.h>

TEST(KeyTable, DigestAndKeypadKeysOnTheirOwnKeycodes) {
    Digest d;
    for (int vk = -1; vk <= 256; ++vk) {
        d.add(double(vkToKeysym(vk))), d.add(double(vkAlternateKeysym(vk))), d.add(pcKeycode(vk));
    }
    expectDigest("key_table", d);
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    // Players bind keypad and main keys apart: digits, arrows, Home/End/PgUp/PgDn, Insert/Delete.
    // Both names of a keypad digit (NumLock on and off) are one key; X also puts KP_Decimal elsewhere.
    const int pairs[][2] = {{96, 48}, {97, 49}, {98, 50}, {99, 51}, {100, 52}, {101, 53}, {102, 54}, {103, 55},
                            {104, 56}, {105, 57}, {104, 38}, {98, 40}, {100, 37}, {102, 39}, {96, 45}, {110, 46},
                            {103, 36}, {97, 35}, {105, 33}, {99, 34}, {107, 187}, {109, 189}, {111, 191}};
    for (const auto& [pad, main] : pairs) {
        const KeyCode padCode = XKeysymToKeycode(dpy, vkToKeysym(pad));
        EXPECT_NE(padCode, 0) << pad;
        EXPECT_NE(padCode, XKeysymToKeycode(dpy, vkToKeysym(main))) << pad << " " << main;
        EXPECT_TRUE(pad > 105 || vkAlternateKeysym(pad) == 0 || XKeysymToKeycode(dpy, vkAlternateKeysym(pad)) == padCode) << pad;
    }
    // Every key the program polls exists; on a US layout the PC places agree with the server.
    for (int vk : {8, 9, 13, 16, 27, 32, 37, 38, 39, 40, 113, 116, 118, 119, 120, 122, 123}) {
        EXPECT_NE(XKeysymToKeycode(dpy, vkToKeysym(vk)), 0) << vk;
    }
    for (int vk = 0; vk < 256 && XKeysymToKeycode(dpy, 'q') == 24; ++vk) {
        EXPECT_TRUE(pcKeycode(vk) == 0 || pcKeycode(vk) == XKeysymToKeycode(dpy, vkToKeysym(vk))) << vk;
    }
    XCloseDisplay(dpy);
}

TEST(Cp1251, MatchesTheSystemConverterForEveryByte) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1251");
    for (int b = 0; b < 256; ++b) {
        char in[1] = {static_cast<char>(b)};
        unsigned char out[8] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
        EXPECT_EQ(cp1251ToUnicode(static_cast<unsigned char>(b)), ok ? out[0] | (out[1] << 8) : 0u) << b;
    }
    iconv_close(cd);
}

TEST(Fonts, ListsAdvanceAndGrowWithTheHeight) {
    if (!openTestWindow(800, 600)) {
        GTEST_SKIP() << "no X display";
    }
    const auto lit = [](unsigned base, unsigned char code, float* advance) {
        glClear(GL_COLOR_BUFFER_BIT);
        glWindowPos2i(100, 100);
        glCallList(base + code);
        GLfloat end[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
        *advance = end[0] - 100;
        std::vector<unsigned char> pixels(800 * 600);
        glReadPixels(0, 0, 800, 600, GL_RED, GL_UNSIGNED_BYTE, pixels.data());
        return int(pixels.size()) - int(std::count(pixels.begin(), pixels.end(), 0));
    };
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    glColor3f(1, 1, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    const unsigned small = buildBitmapFont(13, 204);
    const unsigned large = buildBitmapFont(30, 204);
    const unsigned none = buildBitmapFont(0, 204);
    float a = 0;
    float b = 0;
    EXPECT_TRUE(glIsList(large + 255) && glIsList(none + 255));
    EXPECT_EQ(lit(large, ' ', &a), 0);
    EXPECT_GT(a, 3.0f);  // a space has no pixels but must still move the pen
    lit(large, 'i', &b);
    lit(large, 'W', &a);
    EXPECT_GT(a, b);
    EXPECT_EQ(lit(none, 'A', &a), 0);
    for (int code : {0x41, 0xC4, 0xE6, 0xA8}) {
        const int s = lit(small, static_cast<unsigned char>(code), &a);
        EXPECT_GT(s, 10) << int(code);
        EXPECT_GT(lit(large, static_cast<unsigned char>(code), &a), 2 * s) << int(code);
    }
    glDeleteLists(small, 256);
    glDeleteLists(large, 256);
    glDeleteLists(none, 256);
}
