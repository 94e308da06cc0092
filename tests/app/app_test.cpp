// The window and its view box, the screen mapping, text and its fonts, and the keyboard poll.
#include "app/keyboard.h"
#include "app/window.h"
#include "seams/seams.h"
#include "render/screen_mapping.h"
#include "render/draw.h"
#include "render/text.h"
#include "support/gl_test_support.h"
#include "support/test_support.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

std::set<int> down;
bool focused = true;

// What one poll reads with these keys down: every flag, in the record's order, as the bits of one
// number.
int poll(std::set<int> keys, bool focus = true, int locked = 0, int forward = 104) {
    down = keys, focused = focus;
    keySource = {[](int vk) { return down.count(vk) != 0; }, [] { return focused; }};
    static KeyBindings b{};  // the flags stay from the previous poll, as in the game
    setDefaultKeyBindings(b);
    b.forwardKey = static_cast<std::int16_t>(forward), b.shipKeysLocked = static_cast<std::uint8_t>(locked);
    pollKeyboard(b);
    int bits = 0, bit = 0;
    for (int flag : {b.forwardHeld, b.rightHeld, b.leftHeld, b.shootHeld, b.f2Held, b.f11Held, b.f9Held, b.f7Held,
                     b.f8Held, b.backHeld, b.upHeld, b.downHeld, b.enterHeld, b.shipKeysLocked, b.shiftHeld,
                     b.leftArrowHeld, b.rightArrowHeld}) {
        bits += flag << bit++;
    }
    return bits;
}

// The text drawn at a tenth of the width, 0.625 of the height down (window y 180 of 480): the
// red of the back buffer's rows 100 to 299, counted from the bottom.
std::vector<unsigned char> drawn(std::uint32_t font, const char* text) {
    clearFrame(), setColour(1, 1, 1);
    printText(0.15625 * displayMode.width, 0.625 * displayMode.height, 0, font, "%s", text);
    std::vector<unsigned char> rgb(640 * 200 * 3), p(640 * 200);
    readFramePixels(0, 100, 640, 200, rgb.data());
    for (std::size_t i = 0; i < p.size(); ++i) {
        p[i] = rgb[3 * i];
    }
    return p;
}

}  // namespace

TEST(Keyboard, EveryKeyLandsInItsFlagsOnlyWhileFocused) {
    Digest d;  // a key (or a chord) a step
    for (int vk = 0; vk < 259; ++vk) {
        const int bits = vk == VkF12 ? 0 : vk < 256 ? poll({vk})
                         : vk == 256 ? poll({104, 102, 100, 9}) : vk == 257 ? poll({104, 102, 9, 27, 38, 13, 16, 113}, true, 1)
                                     : poll({38}, true, 0, 38);
        d.add("key", vk), d.add("flags", bits), d.step();
    }
    expectDigest("keyboard_poll", d);
    EXPECT_EQ(poll({38, 13, 104, 9, 27, VkF12}, false), poll({}));  // F12 unfocused: the program goes on
}

TEST(ViewBox, ShowsTheWholeSquareExtendedAlongTheLongerSide) {
    const double boxes[][6] = {{640, 480, -0.5, 3.5, 0, 3}, {800, 400, -1.5, 4.5, 0, 3}, {300, 600, 0, 3, -1.5, 4.5},
                               {0, 0, 0, 3, 0, 3},          {500, 500, 0, 3, 0, 3},      {0, 300, 0, 3, -448.5, 451.5}};
    for (const auto& b : boxes) {
        const ViewBox box = viewBoxFor(int(b[0]), int(b[1]));
        EXPECT_EQ(std::vector<double>({box.left, box.right, box.bottom, box.top}),
                  std::vector<double>({b[2], b[3], b[4], b[5]})) << b[0] << "x" << b[1];
    }
    for (unsigned w : {640u, 800u, 960u, 1024u, 1152u, 1280u, 1440u, 1600u, 2048u}) {
        displayMode.width = w, displayMode.height = w * 3 / 4, computeScreenMapping();
        EXPECT_EQ(std::vector<double>({mapX(0), mapX(w), mapY(0), mapY(w * 3 / 4), mapX(w / 2)}),
                  std::vector<double>({-0.5, 3.5, 3, 0, 1.5}));
    }
}

TEST(Window, SizeDepthTestRecreationAndARefusedFullScreen) {
    if (!openTestWindow(640, 480)) {
        GTEST_SKIP() << "no X display";
    }
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    // Re-created at the new size; only a 16-bit mode asks for a depth buffer.
    ASSERT_TRUE(openTestWindow(800, 600, 16));
    EXPECT_TRUE(glutGet(GLUT_WINDOW_WIDTH) == 800 && glIsEnabled(GL_DEPTH_TEST));
    ASSERT_TRUE(openTestWindow(800, 600, 8));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    const int kept = glutGetWindow();  // the virtual display refuses every switch
    displayMode.fullScreen = 1;
    EXPECT_TRUE(recreateGameWindow());
    EXPECT_EQ(glutGetWindow(), kept);
}

// A glyph that is not symmetric top to bottom (L has its bar at the foot, P its bowl at the top),
// and each font at the size for the resolution.
TEST(Text, GlyphsStandTheRightWayUpAtTheSizeForTheResolution) {
    if (!openTestWindow(640, 480)) {
        GTEST_SKIP() << "no X display";
    }
    createFonts(), setBlend(false);
    for (const char* glyph : {"L", "P"}) {
        const auto p = drawn(largeFont, glyph);
        std::vector<int> lit;  // lit pixels a row, from the bottom
        for (int y = 0; y < 200; ++y) {
            lit.push_back(int(std::count(p.begin() + y * 640, p.begin() + (y + 1) * 640, 255)));
        }
        const auto lowest = std::find_if(lit.begin(), lit.end(), [](int n) { return n > 0; });
        const auto highest = std::find_if(lit.rbegin(), lit.rend(), [](int n) { return n > 0; }).base() - 1;
        EXPECT_EQ(lowest - lit.begin(), 80) << glyph << " sits on the baseline";
        // L is widest at its foot, P at its top
        EXPECT_GT(glyph[0] == 'L' ? *lowest : *highest, glyph[0] == 'L' ? *highest : *lowest) << glyph;
    }
    const unsigned sizes[][4] = {{640, 480, 10, 24}, {1024, 768, 17, 38}, {2048, 1536, 34, 76}};
    for (const auto& s : sizes) {
        displayMode.width = s[0], displayMode.height = s[1], computeScreenMapping(), rebuildFonts();
        for (int large = 0; large < 2; ++large) {
            const std::uint32_t font = large ? largeFont : smallFont;
            const auto ours = drawn(font, "Hg");
            createTextFont(s[2 + large], font);
            EXPECT_EQ(ours, drawn(font, "Hg")) << s[0] << " " << large;
            createTextFont(s[2 + large] + 1, font);
            EXPECT_NE(ours, drawn(font, "Hg")) << s[0] << " " << large;
        }
    }
}
