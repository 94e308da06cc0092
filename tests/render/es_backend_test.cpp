// The OpenGL ES 3 backend against the desktop one, each in an offscreen context.
#include "platform/draw_backend.h"
#include "platform/rand.h"
#include "render/scene.h"
#include "render/scenes.h"
#include "support/egl_context.h"
#include "ui/high_scores.h"
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

// Every scene the drawing tests digest (the frame once more with the depth test the 16-bit mode
// has), and the menus, drawn by the OpenGL ES 3 backend and by the desktop one: as masks of lit
// channels (at 64 or more), each lit channel of a pixel of one has the same channel lit within one
// pixel in the other (antialiased edges differ): no line, glyph or shape missing, moved or in
// another colour.
TEST_F(RenderTest, TheEsBackendLightsWhatTheDesktopOneLights) {
    using Scene = std::pair<std::string, std::function<void()>>;
    std::vector<Scene> scenes;
    for (int kind = 0; kind < 5; ++kind) {
        scenes.push_back({"enemy " + std::to_string(kind), [kind] { place(0, kind, 400, 300, 0.7), drawGameFrame(); }});
    }
    scenes.push_back({"frame", [] { setFrameScene(), platformSrand(7), drawGameFrame(); }});  // stars flicker by the generator
    scenes.push_back({"frame, depth-tested", [] { setFrameScene(), setDepthTest(true), platformSrand(7), drawGameFrame(); }});
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
        std::vector<bool> mask(rgb.size());
        for (std::size_t i = 0; i < mask.size(); ++i) {
            mask[i] = rgb[i] >= 64;
        }
        return mask;
    };
    // Lit pixels of a with no lit pixel of b within one pixel.
    const auto unmatched = [](const std::vector<bool>& a, const std::vector<bool>& b) {
        int n = 0;
        for (int i = 0; i < 800 * 600 * 3; ++i) {
            const int x = i / 3 % 800, y = i / 2400;
            bool near = !a[i];
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    near = x + dx >= 0 && x + dx < 800 && y + dy >= 0 && y + dy < 600 && b[i + 3 * (dy * 800 + dx)];
                }
            }
            n += !near;
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
