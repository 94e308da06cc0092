// The OpenGL ES 3 backend on its own, in an offscreen ES context: each kind of batch lights the
// pixels desktop GL would, at their colour, and leaves the rest black.
#include "platform/draw_backend.h"
#include "platform/rand.h"
#include "render/scene.h"
#include "render/scenes.h"
#include "support/egl_context.h"
#include "ui/high_scores.h"
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 64;  // window pixels, and view units: one a pixel
using Rgb = std::array<float, 3>;
constexpr Rgb kRed{1, 0, 0}, kGreen{0, 1, 0}, kBlue{0, 0, 1}, kWhite{1, 1, 1};

DrawVertex at(float x, float y, Rgb c, float z = 0, float u = 0, float v = 0) {
    return DrawVertex{x, y, z, c[0], c[1], c[2], 1, u, v};
}

// Two triangles over x0..x1, y0..y1 at depth z, the atlas from (0, 0) to (1, 1); colours from the
// left edge's to the right's.
std::vector<DrawVertex> quad(float x0, float y0, float x1, float y1, float z, Rgb left, Rgb right) {
    return {at(x0, y0, left, z, 0, 0), at(x1, y0, right, z, 1, 0), at(x1, y1, right, z, 1, 1),
            at(x0, y0, left, z, 0, 0), at(x1, y1, right, z, 1, 1), at(x0, y1, left, z, 0, 1)};
}

}  // namespace

TEST(EsBackend, EachKindOfBatchLightsItsPixelsAtItsColourAndNoOthers) {
    if (!useEglContext(EglKind::Es3, kSize, kSize)) {
        GTEST_SKIP() << "no OpenGL ES 3 context through EGL";
    }
    const DrawBackend& es = gles3Backend;
    const auto draw = [&](BatchState state, const std::vector<DrawVertex>& v) {
        es.draw(state, v.data(), static_cast<int>(v.size()));
    };
    ASSERT_TRUE(es.start());
    es.setView(kSize, kSize, ViewBox{0, kSize, 0, kSize});
    es.clear();
    // A smooth line 2 pixels wide, blended: row 8 covered, half of rows 7 and 9. A plain line 3 wide
    // running more across than up, shifted up and down as GL makes it, not turned across itself.
    draw(BatchState{kDrawLines, true, true, false, 0, 2}, {at(4, 8.5f, kRed), at(28, 8.5f, kRed)});
    draw(BatchState{kDrawLines, false, false, false, 0, 3}, {at(2, 10, kWhite), at(18, 24, kWhite)});
    draw(BatchState{kDrawLines, false, false, false, 0, 1},
         {at(40.5f, 2, kGreen), at(40.5f, 14, kGreen), at(34, 16.5f, kGreen), at(46, 16.5f, kGreen)});
    draw(BatchState{kDrawPoints, false, false, false, 0, 2}, {at(52, 8, kBlue)});
    draw(BatchState{kDrawPoints, false, false, false, 0, 3}, {at(58, 8, kBlue)});  // odd: centred on a pixel
    // Rows 0..15 of every 32 keep x % 32 in 0..3, 12..15 and 16..23; the upper 16 rows nothing.
    std::uint8_t mask[kStippleBytes] = {};
    for (int row = 0; row < 16; ++row) {
        mask[4 * row] = 0xF0, mask[4 * row + 1] = 0x0F, mask[4 * row + 2] = 0xFF;
    }
    es.setStipple(mask);
    draw(BatchState{kDrawTriangles, false, false, true, 0, 1}, quad(0, 24, 64, 40, 0, {2, 1, -1}, {2, 1, -1}));
    // A 4 x 4 atlas over 16 x 16 pixels: row 0 (the bottom) lit, then texel 2 of rows 1 and 2. Red
    // falls from 2 on the left to 0 on the right, clamped before it is interpolated.
    const std::uint8_t atlas[16] = {255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0};
    es.setAtlas(2, atlas, 4, 4);
    draw(BatchState{kDrawTriangles, false, false, false, 2, 1}, quad(40, 44, 56, 60, 0, {2, 0, 1}, kBlue));
    es.setDepthTest(true);  // the green square in front of the white one drawn after it
    draw(BatchState{}, quad(8, 44, 24, 60, 0.5f, kGreen, kGreen));
    draw(BatchState{}, quad(16, 44, 32, 60, -0.5f, kWhite, kWhite));
    std::vector<std::uint8_t> rgb(kSize * kSize * 3), again(rgb.size());
    es.finish(), es.readPixels(0, 0, kSize, kSize, rgb.data());

    const struct { int x, y, r, g, b; } expected[] = {
        {16, 8, 255, 0, 0}, {16, 7, 128, 0, 0}, {16, 9, 128, 0, 0}, {16, 6, 0, 0, 0}, {16, 10, 0, 0, 0},
        {29, 8, 0, 0, 0}, {12, 18, 255, 255, 255}, {12, 20, 255, 255, 255}, {12, 17, 0, 0, 0}, {12, 21, 0, 0, 0},
        {40, 8, 0, 255, 0}, {41, 8, 0, 0, 0}, {39, 8, 0, 0, 0}, {40, 16, 0, 255, 0}, {40, 17, 0, 0, 0},
        {51, 7, 0, 0, 255}, {52, 8, 0, 0, 255}, {53, 8, 0, 0, 0}, {52, 9, 0, 0, 0}, {57, 7, 0, 0, 255},
        {59, 9, 0, 0, 255}, {56, 8, 0, 0, 0}, {58, 10, 0, 0, 0}, {2, 34, 255, 255, 0}, {5, 34, 0, 0, 0},
        {9, 34, 0, 0, 0}, {13, 34, 255, 255, 0}, {20, 34, 255, 255, 0}, {26, 34, 0, 0, 0}, {34, 34, 255, 255, 0},
        {2, 28, 0, 0, 0}, {2, 23, 0, 0, 0}, {41, 45, 231, 0, 255}, {41, 49, 0, 0, 0}, {49, 53, 104, 0, 255},
        {49, 57, 0, 0, 0}, {45, 49, 0, 0, 0}, {39, 45, 0, 0, 0}, {20, 52, 0, 255, 0}, {28, 52, 255, 255, 255}};
    for (const auto& e : expected) {
        const std::uint8_t* p = &rgb[3 * (e.y * kSize + e.x)];
        EXPECT_TRUE(std::abs(p[0] - e.r) <= 16 && std::abs(p[1] - e.g) <= 16 && std::abs(p[2] - e.b) <= 16)
            << "(" << e.x << ", " << e.y << ") is " << +p[0] << " " << +p[1] << " " << +p[2];
    }
    float window[3];
    EXPECT_TRUE(es.windowPosition(16, 8, 0.5f, window));
    EXPECT_EQ(std::vector<float>(window, window + 3), (std::vector<float>{16, 8, 0.25f}));
    EXPECT_FALSE(es.windowPosition(70, 8, 0, window));
    // The desktop context made current in between leaves this one's frame as it was.
    if (useEglContext(EglKind::DesktopCompatibility, kSize, kSize)) {
        ASSERT_TRUE(useEglContext(EglKind::Es3, kSize, kSize));
        es.readPixels(0, 0, kSize, kSize, again.data());
        EXPECT_EQ(again, rgb);
    }
}

// Every scene the drawing tests digest, and the menus, drawn by the OpenGL ES 3 backend and by the desktop one, each
// in an offscreen context: as masks of lit pixels (a channel at 64 or more), each lit pixel of one
// has a lit pixel within one pixel in the other (antialiased edges differ): no line, glyph or shape
// missing or moved.
TEST_F(RenderTest, TheEsBackendLightsWhatTheDesktopOneLights) {
    using Scene = std::pair<std::string, std::function<void()>>;
    std::vector<Scene> scenes;
    for (int kind = 0; kind < 5; ++kind) {
        scenes.push_back({"enemy " + std::to_string(kind), [kind] { place(0, kind, 400, 300, 0.7), drawGameFrame(); }});
    }
    scenes.push_back({"frame", [] { setFrameScene(), platformSrand(7), drawGameFrame(); }});  // stars flicker by the generator
    scenes.push_back({"end", [] { ship.lives = 0, game.endTime = -1, game.won = 1, bonus.kind = 2, drawGameFrame(); }});
    for (int screen = 0; screen < 12; ++screen) {
        scenes.push_back({"menu " + std::to_string(screen), [screen] {
            settings.language = static_cast<std::uint8_t>(screen / 6);
            const MenuScreen shown[] = {MainMenu, OptionsScreen, ControlsScreen, HighScoresScreen, SoundScreen, MainMenu};
            openMenuScreen(shown[screen % 6], 1, 4);
            screen % 6 == 5 ? drawNameEntry() : drawMenuScreen();
        }});
    }
    const auto lit = [](EglKind kind, const DrawBackend& backend, const std::function<void()>& scene) {
        std::vector<unsigned char> rgb(800 * 600 * 3);
        if (!useEglContext(kind, 800, 600)) {
            return std::vector<bool>();
        }
        startDrawing(backend), setDrawView(800, 600, viewBoxFor(800, 600)), setDepthTest(false);
        platformSrand(7), scene();
        readFramePixels(0, 0, 800, 600, rgb.data());
        std::vector<bool> mask(800 * 600);
        for (std::size_t i = 0; i < mask.size(); ++i) {
            mask[i] = std::max({rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}) >= 64;
        }
        return mask;
    };
    // Lit pixels of a with no lit pixel of b within one pixel.
    const auto unmatched = [](const std::vector<bool>& a, const std::vector<bool>& b) {
        int n = 0;
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x) {
                bool near = !a[y * 800 + x];
                for (int dy = -1; dy <= 1 && !near; ++dy) {
                    for (int dx = -1; dx <= 1 && !near; ++dx) {
                        near = x + dx >= 0 && x + dx < 800 && y + dy >= 0 && y + dy < 600 && b[(y + dy) * 800 + x + dx];
                    }
                }
                n += !near;
            }
        }
        return n;
    };
    for (const auto& [name, scene] : scenes) {
        quiet();
        const auto desktop = lit(EglKind::DesktopCompatibility, gl11Backend, scene);
        quiet();
        const auto es = lit(EglKind::Es3, gles3Backend, scene);
        if (desktop.empty() || es.empty()) {
            GTEST_SKIP() << "no offscreen desktop and ES contexts through EGL";
        }
        EXPECT_GT(std::count(desktop.begin(), desktop.end(), true), 100) << name;
        EXPECT_EQ(unmatched(desktop, es), 0) << name << ": drawn on the desktop only";
        EXPECT_EQ(unmatched(es, desktop), 0) << name << ": drawn by ES only";
    }
}
