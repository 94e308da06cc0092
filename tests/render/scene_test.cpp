// The scene's passes in feedback mode: the ship, the shots, the bursts, the stars, the bonus item,
// and the order in which the game's display callback draws them.
#include "app/display_mode.h"
#include "game/game_state.h"
#include "platform/rand.h"
#include "render/scene.h"
#include "settings/settings.h"
#include "render_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openRenderWindow()) {
            GTEST_SKIP() << "no X display";
        }
        clearScene();
    }
};

void expectAt(const FbVertex& v, WinPoint p, const std::string& what, double tolerance = 2e-2) {
    EXPECT_NEAR(v.x, p.x, tolerance) << what;
    EXPECT_NEAR(v.y, p.y, tolerance) << what;
}

void expectColour(const FbVertex& v, double r, double g, double b, const std::string& what) {
    EXPECT_NEAR(v.r, std::clamp(r, 0.0, 1.0), 1e-3) << what;
    EXPECT_NEAR(v.g, std::clamp(g, 0.0, 1.0), 1e-3) << what;
    EXPECT_NEAR(v.b, std::clamp(b, 0.0, 1.0), 1e-3) << what;
}

// count lines of a silhouette disk: its outer polygon, then its inner one, around a centre.
void expectDisk(const std::vector<FbPrimitive>& got, std::size_t at, int slices, WinPoint centre, double inner,
                double outer, const std::string& what) {
    ASSERT_GE(got.size(), at + 2 * slices) << what;
    for (int k = 0; k < 2 * slices; ++k) {
        const FbPrimitive& line = got[at + k];
        ASSERT_EQ(line.kind, FbKind::Line) << what << " line " << k;
        for (const FbVertex& v : line.v) {
            EXPECT_NEAR(std::hypot(v.x - centre.x, v.y - centre.y), k < slices ? outer : inner, 2e-2)
                << what << " line " << k;
        }
    }
}

// ---- The ship

// The fourteen outline points: angle from the nose (x pi) and distance as a fraction of the scale.
const double kShipTheta[14] = {0, 0.2, 1.8, 0.5, 1.5, 0.625, 1.375, 0.62, 1.38, 0.74, 1.26, 0.43, 1.57, 1};
const double kShipR[14] = {1.0 / 20, 1.0 / 65, 1.0 / 65, 1.0 / 60, 1.0 / 60, 1.0 / 30, 1.0 / 30,
                           1.0 / 27, 1.0 / 27, 1.0 / 20, 1.0 / 20, 1.0 / 27, 1.0 / 27, 1.0 / 350};

WinPoint shipPoint(const PlayerShip& s, int k) {
    const double angle = s.heading + kShipTheta[k] * kPi;
    return toWindow(s.x + s.shipScale * kShipR[k] * std::cos(angle),
                    s.y + s.shipScale * kShipR[k] * std::sin(-angle));
}

void expectShip(const std::vector<FbPrimitive>& got, const PlayerShip& s, double r, double g) {
    ASSERT_EQ(got.size(), 7u + 3u + 16u);
    // The body strip P0..P8 as its seven triangles.
    for (int i = 0; i < 7; ++i) {
        const int a = i % 2 == 0 ? i : i + 1;
        const int b = i % 2 == 0 ? i + 1 : i;
        const FbPrimitive& t = got[i];
        ASSERT_EQ(t.kind, FbKind::Polygon);
        ASSERT_EQ(t.v.size(), 3u);
        expectAt(t.v[0], shipPoint(s, a), "strip");
        expectAt(t.v[1], shipPoint(s, b), "strip");
        expectAt(t.v[2], shipPoint(s, i + 2), "strip");
        for (const FbVertex& v : t.v) {
            expectColour(v, r, g, 0, "body");
            EXPECT_NEAR(v.z, depthOf(0.2), 1e-5);
        }
    }
    // The back edge in the body colour, then the two red fins.
    const int ends[3][2] = {{8, 7}, {9, 11}, {10, 12}};
    for (int i = 0; i < 3; ++i) {
        const FbPrimitive& line = got[7 + i];
        ASSERT_EQ(line.kind, FbKind::Line);
        expectAt(line.v[0], shipPoint(s, ends[i][0]), "line");
        expectAt(line.v[1], shipPoint(s, ends[i][1]), "line");
        EXPECT_NEAR(line.v[0].z, depthOf(0), 1e-5);
        if (i == 0) {
            expectColour(line.v[0], r, g, 0, "back edge");
        } else {
            expectColour(line.v[0], 0.9, 0, 0, "fin");
        }
    }
    // The tail ring: radii go through the same "- 0.5" as mapX.
    const double pixels = windowWidth() / 4.0;
    const double k = s.shipScale * displayMode.xScale;
    expectDisk(got, 10, 8, shipPoint(s, 13), (0.26 * k - 0.5) * pixels, (0.262 * k - 0.5) * pixels, "tail ring");
    expectColour(got[10].v[0], 0.9, 0.9, 0.2, "tail ring");
    EXPECT_NEAR(got[10].v[0].z, depthOf(0.21), 1e-5);
}

TEST_F(SceneTest, ShipOutlineFinsAndTailRingFollowThePoseAndTheShield) {
    struct Case {
        int shield;
        double r, g;
    };
    const Case cases[] = {{100, 0, 0.7}, {50, 0.4, 0.6}, {0, 0.8, 0.5}, {150, 0, 0.7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shield " << c.shield);
        ship.shield = c.shield;
        ship.x = 420.5;
        ship.y = 280.25;
        ship.heading = c.shield == 50 ? 2.2 : kPi / 2;
        expectShip(captureFeedback([] { drawShip(ship); }), ship, c.r, c.g);
    }
}

TEST_F(SceneTest, ShipLeavesTheMuzzleAtItsNoseUnlessDrawnAsTheIcon) {
    ship.x = 300;
    ship.y = 200;
    ship.heading = 1.0;
    drawShip(ship);
    const double nose = ship.shipScale / 20;
    EXPECT_NEAR(ship.muzzleX, 300 + nose * std::cos(1.0), 1e-9);
    EXPECT_NEAR(ship.muzzleY, 200 - nose * std::sin(1.0), 1e-9);
    EXPECT_EQ(ship.muzzleAngle, -1.0);

    ship.iconMode = 1;
    ship.heading = 2.0;
    ship.x = 10;
    drawShip(ship);
    EXPECT_NEAR(ship.muzzleX, 300 + nose * std::cos(1.0), 1e-9);
    EXPECT_EQ(ship.muzzleAngle, -1.0);
    ship.iconMode = 0;
}

// ---- Shots

TEST_F(SceneTest, ShotStreaksRunBehindAndAheadInTheirOwnersColours) {
    shotPool.shots[0] = Shot{300, 200, -1.0};
    shotPool.shots[50] = Shot{500, 400, -2.5};
    shotPool.shots[3] = Shot{100, 100, kFreeShotAngle};  // free, though on the field
    const double w = displayMode.width;
    const double h = displayMode.height;
    auto ends = [&](const Shot& s) {
        return std::pair{toWindow(s.x - std::cos(s.angle) * w / 150, s.y - std::sin(s.angle) * w / 150),
                         toWindow(s.x + std::cos(s.angle) * h / 150, s.y + std::sin(s.angle) * h / 150)};
    };
    const double damages[] = {0.13, 0.2, 0.3};
    for (double p : damages) {
        SCOPED_TRACE(testing::Message() << "damage " << p);
        game.damage[4] = static_cast<float>(p);
        const auto got = captureFeedback(drawShots);
        ASSERT_EQ(got.size(), 2u);
        const auto player = ends(shotPool.shots[0]);
        expectAt(got[0].v[0], player.first, "player tail");
        expectAt(got[0].v[1], player.second, "player head");
        expectColour(got[0].v[0], 0.1, 1.26 - 2 * p, 6 * p - 0.78, "player");
        const auto enemy = ends(shotPool.shots[50]);
        expectAt(got[1].v[0], enemy.first, "enemy tail");
        expectAt(got[1].v[1], enemy.second, "enemy head");
        expectColour(got[1].v[0], 1, 0.3, 0, "enemy");
        EXPECT_NEAR(got[1].v[0].z, depthOf(-0.3), 1e-5);
    }
}

// ---- Bursts

void placeBurst(int index, int age, int liveParticles) {
    Burst& burst = burstPool.bursts[index];
    burst.age = static_cast<std::uint16_t>(age);
    for (int i = 0; i < kParticlesPerBurst; ++i) {
        burst.particles[i].x = i < liveParticles ? 100 + i * 2.5 : -1;
        burst.particles[i].y = i < liveParticles ? 150 + (i % 17) * 3 : -1;
    }
}

TEST_F(SceneTest, BurstParticlesAreFourPointsFadingWithAge) {
    for (int age : {1, 20, 35, 36}) {
        SCOPED_TRACE(testing::Message() << "age " << age);
        placeBurst(3, age, kParticlesPerBurst);
        const auto got = captureFeedback(drawBursts);
        ASSERT_EQ(got.size(), 4u * kParticlesPerBurst);
        const double alpha = std::clamp((std::log(36.995 - age) - 0.66) / 2.9, 0.0, 1.0);
        const Burst& burst = burstPool.bursts[3];
        for (int i = 0; i < kParticlesPerBurst; ++i) {
            const double x = burst.particles[i].x;
            const double y = burst.particles[i].y;
            const WinPoint want[4] = {toWindow(x - 2, y), toWindow(x, y - 2), toWindow(x, y + 2), toWindow(x + 2, y)};
            for (int k = 0; k < 4; ++k) {
                const FbVertex& v = got[4 * i + k].v[0];
                expectAt(v, want[k], "particle");
                if (i == 0) {
                    expectColour(v, 1, 1, 0.35, "particle");
                    EXPECT_NEAR(v.a, alpha, 1e-4);
                    EXPECT_NEAR(v.z, depthOf(0.3), 1e-5);
                }
            }
        }
    }
    EXPECT_NEAR((std::log(36.995 - 20) - 0.66) / 2.9, 0.749, 1e-3);
}

TEST_F(SceneTest, SmallBurstsParkedParticlesFallOutsideTheView) {
    placeBurst(0, 5, kSmallBurstParticles);
    placeBurst(49, 0, kParticlesPerBurst);  // free: nothing
    EXPECT_EQ(captureFeedback(drawBursts).size(), 4u * kSmallBurstParticles);
}

// ---- Stars

TEST_F(SceneTest, StarsFlickerDarkerByAFreshRandomEachFrame) {
    Star table[3] = {{10, 20, 0.5}, {400, 300, 0.99}, {799, 599, 0.0}};
    Star* kept = stars.stars;
    stars.stars = table;
    stars.count = 3;
    platformSrand(1234);
    double grey[3];
    for (double& g : grey) {
        g = 0;
    }
    for (int i = 0; i < 3; ++i) {
        grey[i] = table[i].brightness - random(100) * 0.002;
    }
    platformSrand(1234);
    const auto got = captureFeedback(drawStars);
    stars.stars = kept;
    stars.count = 0;
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i].kind, FbKind::Point);
        expectAt(got[i].v[0], toWindow(table[i].x, table[i].y), "star");
        expectColour(got[i].v[0], grey[i], grey[i], grey[i], "star");
        EXPECT_NEAR(got[i].v[0].z, depthOf(-0.9), 1e-5);
    }
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 2.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// ---- The bonus item

TEST_F(SceneTest, WeaponUpgradeIsAFlickeringPlusInItsDisk) {
    bonus.kind = 1;
    bonus.x = 400;
    bonus.y = 300;
    bonus.radius = 0.015 * displayMode.width;
    platformSrand(99);
    const double c = random(100) * 0.003;
    platformSrand(99);
    const auto got = captureFeedback(drawBonus);
    const int slices = static_cast<int>(0.035 * displayMode.width);
    ASSERT_EQ(got.size(), 2u + 2u * slices);
    const double r = bonus.radius;
    expectAt(got[0].v[0], toWindow(400, 300 + r), "vertical");
    expectAt(got[0].v[1], toWindow(400, 300 - r), "vertical");
    expectAt(got[1].v[0], toWindow(400 + r, 300), "horizontal");
    expectAt(got[1].v[1], toWindow(400 - r, 300), "horizontal");
    for (const FbPrimitive& p : got) {
        expectColour(p.v[0], c, c + 0.7, c, "weapon upgrade");
        EXPECT_NEAR(p.v[0].z, depthOf(0), 1e-5);
    }
    const double pixels = windowWidth() / 4.0;
    const double w = bonus.fieldWidth * displayMode.xScale;
    expectDisk(got, 2, slices, toWindow(400, 300), (0.135 * w - 0.5) * pixels, (0.1375 * w - 0.5) * pixels, "disk");
}

TEST_F(SceneTest, ShieldIsABlueDiskAndNoItemDrawsNothing) {
    bonus.kind = 2;
    bonus.x = 250;
    bonus.y = 350;
    platformSrand(5);
    const double c = random(100) * 0.003;
    platformSrand(5);
    const auto got = captureFeedback(drawBonus);
    ASSERT_EQ(got.size(), 2u * static_cast<int>(0.035 * displayMode.width));
    expectColour(got[0].v[0], c - 0.2, c + 0.1, c + 0.7, "shield");

    bonus.kind = 0;
    EXPECT_TRUE(captureFeedback(drawBonus).empty());
}

// ---- The frame

// What each primitive of a full frame belongs to, told apart by place, depth and token.
std::string familyOf(const FbPrimitive& p) {
    const FbVertex& v = p.v[0];
    auto near = [&](double gx, double gy, double r) {
        const WinPoint w = toWindow(gx, gy);
        return std::hypot(v.x - w.x, v.y - w.y) < r;
    };
    if (p.kind == FbKind::Bitmap) {
        if (std::fabs(v.z - depthOf(0.5)) < 1e-4) {
            return "hud";
        }
        return v.b > 0.9 ? "countdown" : "end";  // white, the end texts pale yellow
    }
    if (v.x < 80 && v.y > 480) {
        return "hud";  // the icons in the top left corner
    }
    if (p.kind == FbKind::Point) {
        return std::fabs(v.z - depthOf(-0.9)) < 1e-4 ? "star" : "burst";
    }
    if (p.kind == FbKind::Line && std::fabs(v.z - depthOf(-0.3)) < 1e-4) {
        return "shot";
    }
    if (near(400, 300, 40)) {
        return "ship";
    }
    if (near(200, 400, 40)) {
        return "enemy";
    }
    if (near(600, 450, 40)) {
        return "bonus";
    }
    return "unknown";
}

TEST_F(SceneTest, GameDisplayDrawsEveryFamilyInTheFrameOrder) {
    fleet.enemies[5] = Enemy{};
    fleet.enemies[5].x = 200;
    fleet.enemies[5].y = 400;
    fleet.enemies[5].heading = 0;
    fleet.enemies[5].strength = 1;
    fleet.enemies[5].kind = 4;
    shotPool.shots[10] = Shot{100, 200, -0.5};
    placeBurst(7, 10, kSmallBurstParticles);
    Star table[1] = {{700, 100, 0.8}};
    Star* kept = stars.stars;
    stars.stars = table;
    stars.count = 1;
    bonus.kind = 2;
    bonus.x = 600;
    bonus.y = 450;
    game.hudVisible = 1;
    game.countdown = 3;
    game.endTime = -1;
    game.won = 1;
    const auto got = captureFeedback(gameDisplay);
    stars.stars = kept;
    stars.count = 0;

    std::vector<std::string> order;
    for (const FbPrimitive& p : got) {
        const std::string family = familyOf(p);
        if (order.empty() || order.back() != family) {
            order.push_back(family);
        }
    }
    const std::vector<std::string> want = {"ship", "shot", "burst", "enemy", "star", "bonus", "hud", "countdown", "end"};
    EXPECT_EQ(order, want);
}

TEST_F(SceneTest, WithoutLivesTheShipIsLeftOutOfTheFrame) {
    ship.lives = 0;
    const auto got = captureFeedback(gameDisplay);
    EXPECT_TRUE(got.empty());
}

TEST_F(SceneTest, EndTextsAreTheCurrentLanguagesAndTheWinLineSitsBelow) {
    game.endTime = -1;
    game.won = 1;
    auto bitmaps = [] {
        std::vector<FbVertex> out;
        for (const FbPrimitive& p : captureFeedback(gameDisplay)) {
            if (p.kind == FbKind::Bitmap) {
                out.push_back(p.v[0]);
            }
        }
        return out;
    };
    settings.language = 1;
    const auto english = bitmaps();
    ASSERT_EQ(english.size(), std::string("Game Over").size() + std::string("You win!").size());
    expectAt(english[0], toWindow(0.37 * 800, 0.36 * 800), "game over", 1e-3);
    expectAt(english[9], toWindow(0.37 * 800, 0.41 * 800), "you win", 1e-3);
    expectColour(english[0], 1, 1, 0.5, "end text");
    EXPECT_NEAR(english[0].z, depthOf(0.9), 1e-5);

    game.won = 0;
    EXPECT_EQ(bitmaps().size(), 9u);

    // "Край на играта" and "Печелиш!": one glyph per Windows-1251 byte.
    settings.language = 0;
    game.won = 1;
    EXPECT_EQ(bitmaps().size(), 14u + 8u);
}

TEST_F(SceneTest, EachPassSetsTheStateItNeeds) {
    glLineWidth(5.0f);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    drawShots();
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 2.0f);
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint hint = 0;
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &hint);
    EXPECT_EQ(hint, GL_NICEST);

    placeBurst(0, 2, kSmallBurstParticles);
    glDisable(GL_BLEND);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(4.0f);
    drawBursts();
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
}

}  // namespace
