// What reaches the pixels: kind 3's speckled body, and the ship's absence without lives.
#include "game/game_state.h"
#include "render/enemy_drawing.h"
#include "render/scene.h"
#include "render_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class PixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openRenderWindow()) {
            GTEST_SKIP() << "no X display";
        }
        clearScene();
        glClearColor(0, 0, 0, 0);
    }

    struct Rgb {
        int r, g, b;
    };

    static Rgb at(const std::vector<unsigned char>& pixels, unsigned x, unsigned y) {
        const std::size_t i = (static_cast<std::size_t>(y) * windowWidth() + x) * 3;
        return Rgb{pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    static bool isBlack(Rgb c) {
        return c.r == 0 && c.g == 0 && c.b == 0;
    }

    static int litPixels(const std::vector<unsigned char>& pixels, unsigned x0, unsigned y0, unsigned x1,
                         unsigned y1) {
        int lit = 0;
        for (unsigned y = y0; y <= y1; ++y) {
            for (unsigned x = x0; x <= x1; ++x) {
                lit += isBlack(at(pixels, x, y)) ? 0 : 1;
            }
        }
        return lit;
    }
};

// The mask is anchored to the window: row y % 32 is bytes 4 (y % 32) .. +3, the leftmost pixel
// of each byte its most significant bit.
bool maskBit(const std::uint8_t* mask, unsigned x, unsigned y) {
    const std::uint8_t byte = mask[(y % 32) * 4 + (x % 32) / 8];
    return (byte & (0x80 >> (x % 8))) != 0;
}

TEST_F(PixelTest, KindThreeBodyHasHolesWhereTheMaskIsZeroAndNothingElseIsSpeckled) {
    auto place = [](int index, int kind, double x, double y, double heading) {
        Enemy& e = fleet.enemies[index];
        e.x = x;
        e.y = y;
        e.heading = heading;
        e.strength = 1;
        e.kind = static_cast<std::int8_t>(kind);
    };
    place(0, 3, 300, 300, 0.4);
    place(1, 3, 331, 270, kPi / 2);  // a second one shares the window-fixed pattern
    place(2, 4, 500, 300, 1.0);      // drawn after the speckled fill: never speckled
    // Opaque, unsmoothed lines, so a line pixel does not depend on what lies beneath it.
    auto render = [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_BLEND);
        glDisable(GL_LINE_SMOOTH);
        glLineWidth(1.0f);
        drawEnemyKind3(0);
        drawEnemyKind3(1);
        drawEnemyKind4(2);
        return readBackBuffer();
    };
    std::uint8_t kept[128];
    std::memcpy(kept, fleet.noise, sizeof kept);

    std::memset(fleet.noise, 0xFF, sizeof fleet.noise);
    const auto solid = render();
    std::uint8_t mask[128];
    for (int i = 0; i < 128; ++i) {
        mask[i] = static_cast<std::uint8_t>((i * 73 + 41) ^ (i >> 2));
    }
    mask[0] = 0;  // as the fleet has it
    std::memcpy(fleet.noise, mask, sizeof mask);
    const auto speckled = render();
    std::memcpy(fleet.noise, kept, sizeof kept);

    int body = 0;
    int holes = 0;
    for (unsigned y = 0; y < windowHeight(); ++y) {
        for (unsigned x = 0; x < windowWidth(); ++x) {
            const Rgb s = at(solid, x, y);
            const Rgb p = at(speckled, x, y);
            const bool bodyGrey = std::abs(s.r - 64) <= 1 && s.r == s.g && s.g == s.b;
            if (bodyGrey) {
                ++body;
                if (maskBit(mask, x, y)) {
                    ASSERT_EQ(p.r, s.r) << x << "," << y;
                } else {
                    ++holes;
                    ASSERT_TRUE(isBlack(p)) << x << "," << y;
                }
            } else {
                ASSERT_TRUE(p.r == s.r && p.g == s.g && p.b == s.b) << "not part of the fill, changed at " << x
                                                                   << "," << y;
            }
        }
    }
    EXPECT_GT(body, 600);
    EXPECT_GT(holes, body / 4);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_STIPPLE));
}

TEST_F(PixelTest, WithoutLivesTheShipIsGoneButItsIconStays) {
    game.hudVisible = 1;
    ship.lives = 3;
    gameDisplay();
    const auto alive = readBackBuffer();
    ship.lives = 0;
    gameDisplay();
    const auto dead = readBackBuffer();

    // The ship at the field's centre, window (400, 300); the icon at game (15, 15), window (15, 585).
    EXPECT_GT(litPixels(alive, 380, 280, 420, 320), 50);
    EXPECT_EQ(litPixels(dead, 370, 270, 430, 330), 0);
    EXPECT_GT(litPixels(dead, 3, 576, 27, 598), 20);
    EXPECT_EQ(litPixels(dead, 3, 576, 27, 598), litPixels(alive, 3, 576, 27, 598));
}

}  // namespace
