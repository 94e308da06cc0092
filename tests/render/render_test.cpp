// The drawing at fixed poses against stored feedback digests (see support/test_support.h for how
// to store new ones after an intended change), and what only pixels or GL state show.
#include "app/startup.h"
#include "game/game_state.h"
#include "platform/port.h"
#include "platform/rand.h"
#include "render/display_mode.h"
#include "render/draw.h"
#include "render/enemy_drawing.h"
#include "render/scene.h"
#include "render/text.h"
#include "settings/settings.h"
#include "support/gl_test_support.h"
#include "support/test_support.h"
#include "render/scenes.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>

namespace {

// Every token, window position, depth and colour GL emits for draw(); returns the sums of red, green
// and blue.
std::array<double, 3> digestDrawing(Digest& d, const std::function<void()>& draw) {
    std::array<double, 3> colour{};
    for (const FbPrimitive& p : captureFeedback(draw)) {
        d.add("token", p.token);
        for (const FbVertex& v : p.v) {
            for (const auto& [name, f] : {std::pair{"x", v.x}, {"y", v.y}, {"z", v.z}, {"red", v.r}, {"green", v.g},
                                          {"blue", v.b}, {"alpha", v.a}}) {
                d.add(name, f);
            }
            colour[0] += v.r, colour[1] += v.g, colour[2] += v.b;
        }
        d.step();  // a primitive a step, its last vertex kept
    }
    return colour;
}

}  // namespace

// The colour moves in proportion to the strength left, from the spawn's 1 down: every channel in a
// straight line, and at least one of them by a visible amount.
TEST_F(RenderTest, EachEnemyKindAtAFixedPoseAndItsColourFollowingTheStrength) {
    for (int kind = 0; kind < 5; ++kind) {
        std::array<double, 3> colour[3] = {};
        for (int weak = 0; weak < 3; ++weak) {
            place(0, kind, 400, 300, 0.7, 1 - 0.375f * weak);
            Digest d{.every = 10};
            colour[weak] = digestDrawing(d, drawEnemies);
            expectDigest("enemy_kind" + std::to_string(kind) + "_" + std::to_string(weak), d);
        }
        double moved = 0;
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(colour[1][c], (colour[0][c] + colour[2][c]) / 2, 0.05) << "kind " << kind << " channel " << c;
            moved = std::max(moved, std::abs(colour[0][c] - colour[2][c]));
        }
        EXPECT_GT(moved, 1.0) << "kind " << kind << ": the colour ignores the strength";
    }
}

TEST_F(RenderTest, TheWholeFrameAndTheHudLeavesTheGameRecordsAlone) {
    setFrameScene();
    const Enemy record0 = fleet.enemies[0];
    const auto pose = [] { return std::vector<double>{ship.x, ship.y, ship.heading, ship.shipScale, double(bonus.kind),
                                                      bonus.x, bonus.y, bonus.radius, bonus.radiusSquared}; };
    for (int variant = 0; variant < 3; ++variant) {
        const auto before = pose();
        platformSrand(7);  // stars and the bonus item flicker by random numbers
        Digest d{.every = 10};
        digestDrawing(d, gameDisplay);
        expectDigest(withSystemText("frame" + std::to_string(variant)), d);
        EXPECT_TRUE(std::memcmp(&record0, &fleet.enemies[0], sizeof record0) == 0 && pose() == before)
            << "the HUD draws its icons from copies, leaving the records as they were";
        // Then the shield item, the end text without lives and a weaker ship.
        bonus.kind = 2, game.endTime = variant == 1 ? -1 : 0;
        ship.lives = variant == 1 ? 0 : 3, ship.shield = variant == 1 ? 150 : 100;
    }
}

// The enemies drawn as one group, state by state where they are apart, make the same pixels as each
// drawn on its own in table order: a crowd where most overlap, in a 32- and a 16-bit (depth-tested) window.
TEST_F(RenderTest, ACrowdOfEnemiesLooksTheSameDrawnAsAGroupOrOneByOne) {
    const auto render = [](bool grouped) {
        clearFrame();
        if (grouped) {
            drawEnemies();
        }
        for (std::uint32_t i = 0; !grouped && i < kEnemyCapacity; ++i) {
            void (*const draw[])(std::uint32_t) = {drawEnemyKind0, drawEnemyKind1, drawEnemyKind2, drawEnemyKind3, drawEnemyKind4};
            draw[fleet.enemies[i].kind](i);
        }
        std::vector<unsigned char> pixels(800 * 600 * 3);
        readFramePixels(0, 0, 800, 600, pixels.data());
        return pixels;
    };
    platformSrand(5);
    for (int i = 0; i < kEnemyCapacity; ++i) {
        place(i, i % 5, 100 + random(300), i < 100 ? 100 + random(200) : 40 * i - 3500, random(628) * 0.01);
    }
    setBlend(true), setLineSmooth(true);
    for (int depthTested = 0; depthTested < 2; ++depthTested) {
        setDepthTest(depthTested);
        const auto alone = render(false), grouped = render(true);
        EXPECT_TRUE(alone == grouped) << "depth test " << depthTested;
        EXPECT_GT(std::count(alone.begin(), alone.end(), 0), 800 * 600);  // drawn, and not everywhere
    }
    setDepthTest(false);
}

// Polygon stipple shows only in pixels: kind 3's body has holes where the fleet's noise mask is 0,
// anchored to the window, and nothing drawn after it is speckled.
TEST_F(RenderTest, KindThreeBodyHasHolesWhereTheMaskIsZero) {
    place(0, 3, 300, 300, 0.4), place(1, 4, 500, 300, 1.0);
    const auto render = [](std::uint8_t fill) {
        for (int i = 0; i < 128; ++i) {
            fleet.noise[i] = fill ? fill : static_cast<std::uint8_t>((i * 73 + 41) ^ (i >> 2));
        }
        // Opaque, unsmoothed lines: a line pixel does not depend on what is beneath.
        clearFrame(), setBlend(false), setLineSmooth(false);
        drawEnemyKind3(0), drawEnemyKind4(1);
        std::vector<unsigned char> pixels(800 * 600 * 3);
        readFramePixels(0, 0, 800, 600, pixels.data());
        return pixels;
    };
    const auto solid = render(0xFF), speckled = render(0);
    int body = 0, holes = 0;
    for (std::size_t i = 0; i < solid.size(); i += 3) {
        const unsigned x = (i / 3) % 800, y = (i / 3) / 800;
        // Row y % 32 is mask bytes 4 (y % 32) .. +3, the leftmost pixel of a byte its top bit.
        const unsigned byte = (y % 32) * 4 + (x % 32) / 8;
        const bool bit = static_cast<std::uint8_t>((byte * 73 + 41) ^ (byte >> 2)) & (0x80 >> (x % 8));
        const bool bodyGrey = std::abs(solid[i] - 64) <= 1 && solid[i] == solid[i + 1] && solid[i] == solid[i + 2];
        body += bodyGrey;
        holes += bodyGrey && !bit && speckled[i] + speckled[i + 1] + speckled[i + 2] == 0;
        ASSERT_TRUE(std::memcmp(&solid[i], &speckled[i], 3) == 0 || (bodyGrey && !bit)) << x << "," << y;
    }
    EXPECT_GT(holes, body / 4);  // and so a body to have them
}

// The end message of a won game: "Game Over" (yellow, at 0.36 W from the top) and "You win!" below
// it (0.41 W), one glyph quad (two triangles) a visible character on each baseline, in either
// language. (A game that is not won ends with Game Over alone: the frame digests hold that end.)
TEST_F(RenderTest, AWonGameSaysYouWinBelowGameOver) {
    for (int language = 0; language < 2; ++language) {
        settings.language = static_cast<std::uint8_t>(language), game.won = 1, game.endTime = -1;
        std::pair<int, int> triangles;  // yellow ones across window rows 600 - 288 and 600 - 328
        for (const FbPrimitive& p : captureFeedback(gameDisplay)) {
            const FbVertex& v = p.v[0];
            const auto [low, high] = std::ranges::minmax(p.v, {}, &FbVertex::y);
            const bool yellow = p.token == GL_POLYGON_TOKEN && v.r == 1 && v.g == 1 && std::abs(v.b - 0.5f) < 0.01f;
            triangles.first += yellow && low.y < 314 && high.y > 314;
            triangles.second += yellow && low.y < 274 && high.y > 274;
        }
        const auto visible = [](bool won) { return 2 * std::ranges::count_if(std::string(sceneHooks.endText(won)), [](char c) { return c != ' '; }); };
        EXPECT_EQ(triangles, std::pair(int(visible(false)), int(visible(true)))) << "language " << language;
        EXPECT_GT(triangles.second, 10);
    }
}
