// The HUD in feedback mode: its texts at their places, the volume line's time window, the icons,
// and that every record it borrows for the icons comes back exactly.
#include "app/display_mode.h"
#include "game/game_state.h"
#include "platform/rand.h"
#include "render/hud.h"
#include "render/scene.h"
#include "render_support.h"
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class HudTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openRenderWindow()) {
            GTEST_SKIP() << "no X display";
        }
        clearScene();
        ship.lives = 2;
        ship.shield = 110;
        fleet.aliveCount = 17;
        game.frameRate = 61.4;
        game.waveNumber = 7;
        game.score = 1234.0f;
        game.now = 5000;
        game.volumeShownUntil = 0;
    }
};

struct Text {
    std::string text;
    double x, y;  // game position of the baseline's left end
};

std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* f, ...) {
    char buf[256];
    va_list args;
    va_start(args, f);
    std::vsnprintf(buf, sizeof buf, f, args);
    va_end(args);
    return buf;
}

std::vector<FbVertex> bitmapsOf(const std::vector<FbPrimitive>& got) {
    std::vector<FbVertex> out;
    for (const FbPrimitive& p : got) {
        if (p.kind == FbKind::Bitmap) {
            out.push_back(p.v[0]);
        }
    }
    return out;
}

// Each text is one glyph bitmap per byte, the first at the text's mapped position.
void expectTexts(const std::vector<FbVertex>& bitmaps, const std::vector<Text>& texts,
                 const std::vector<std::array<double, 3>>& colours) {
    std::size_t total = 0;
    for (const Text& t : texts) {
        total += t.text.size();
    }
    ASSERT_EQ(bitmaps.size(), total);
    std::size_t at = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const WinPoint want = toWindow(texts[i].x, texts[i].y);
        const FbVertex& v = bitmaps[at];
        EXPECT_NEAR(v.x, want.x, 1e-3) << texts[i].text;
        EXPECT_NEAR(v.y, want.y, 1e-3) << texts[i].text;
        EXPECT_NEAR(v.z, depthOf(0.5), 1e-5) << texts[i].text;
        EXPECT_NEAR(v.r, colours[i][0], 1e-3) << texts[i].text;
        EXPECT_NEAR(v.g, colours[i][1], 1e-3) << texts[i].text;
        EXPECT_NEAR(v.b, colours[i][2], 1e-3) << texts[i].text;
        at += texts[i].text.size();
    }
}

TEST_F(HudTest, TextsSitAtTheirPlacesInGrey) {
    const double w = displayMode.width;
    const double h = displayMode.height;
    const float px = static_cast<float>(0.026 * h);
    const float py = static_cast<float>(0.114 * h);
    const std::vector<Text> texts = {
        {"x 2; 110%", 0.05 * h, 0.025 * w},
        {"x 17", 0.05 * h, 0.076 * h},
        {"FPS: 61", 1.22 * h, 0.02 * h},
        {"[ 7 ] [ 1234 ]", 0.65 * h, 0.025 * h},
        {"100%", px + 0.02 * bonus.fieldWidth, py + 0.006 * bonus.fieldHeight},
    };
    const std::array<double, 3> grey{0.7, 0.7, 0.7};
    expectTexts(bitmapsOf(captureFeedback(drawHud)), texts, {grey, grey, grey, grey, grey});
}

TEST_F(HudTest, VolumeShowsUntilItsTimeInYellow) {
    const double w = displayMode.width;
    const double h = displayMode.height;
    sound.soundVolume = 117;
    game.volumeShownUntil = 7000;
    game.damage[4] = 0.143f;  // one upgrade: 110%
    for (double now : {5000.0, 7000.0, 7000.5}) {
        SCOPED_TRACE(testing::Message() << "now " << now);
        game.now = now;
        std::vector<Text> texts = {
            {"x 2; 110%", 0.05 * h, 0.025 * w},
            {"x 17", 0.05 * h, 0.076 * h},
            {"FPS: 61", 1.22 * h, 0.02 * h},
            {"[ 7 ] [ 1234 ]", 0.65 * h, 0.025 * h},
        };
        const std::array<double, 3> grey{0.7, 0.7, 0.7};
        std::vector<std::array<double, 3>> colours = {grey, grey, grey, grey};
        if (now <= 7000) {
            texts.push_back({"F7 - (( 92% )) + F8", 0.45 * w, 0.98 * h});
            colours.push_back({1, 1, 0.3});
        }
        texts.push_back({format("%1.0f%%", 0.143f * 769.2307692307693), static_cast<float>(0.026 * h) + 0.02 * bonus.fieldWidth,
                         static_cast<float>(0.114 * h) + 0.006 * bonus.fieldHeight});
        colours.push_back(grey);
        expectTexts(bitmapsOf(captureFeedback(drawHud)), texts, colours);
    }
}

TEST_F(HudTest, VolumeIsShownAsAWholePercentage) {
    game.volumeShownUntil = game.now;
    for (auto [volume, shown] : {std::pair{127, "100"}, {10, "7"}, {0, "0"}}) {
        sound.soundVolume = static_cast<std::int8_t>(volume);
        const std::string text = std::string("F7 - (( ") + shown + "% )) + F8";
        // Everything before it: 9 + 4 + 7 + 14 glyphs; the volume line follows.
        const auto bitmaps = bitmapsOf(captureFeedback(drawHud));
        ASSERT_EQ(bitmaps.size(), 9u + 4u + 7u + 14u + text.size() + 4u) << text;
    }
}

TEST_F(HudTest, IconsAreAHalfSizeFullStrengthKindOneAndAHalfSizeShip) {
    Enemy& record = fleet.enemies[0];
    record.strength = 0;  // a free slot still gives its record to the icon
    record.kind = 3;
    const auto got = captureFeedback(drawHud);
    const double s1 = fleet.shapeScale[1] / 2;
    const double* enemyPose = layout.enemyIconPose;
    // The kind-1 hull's first triangle starts at its nose tip, S/20 ahead: straight up.
    ASSERT_FALSE(got.empty());
    ASSERT_EQ(got[0].kind, FbKind::Polygon);
    const WinPoint nose = toWindow(enemyPose[0], enemyPose[1] - s1 / 20);
    EXPECT_NEAR(got[0].v[0].x, nose.x, 2e-2);
    EXPECT_NEAR(got[0].v[0].y, nose.y, 2e-2);
    EXPECT_NEAR(got[0].v[0].b, 0.8, 1e-3);
    // Its cockpit (triangles 8 to 10) in the full-strength amber.
    ASSERT_EQ(got[7].kind, FbKind::Polygon);
    EXPECT_NEAR(got[7].v[0].g, 0.7, 1e-3);
    // After the kind-1 shape's 7 + 3 triangles and 29 lines comes the ship, nose first.
    const std::size_t shipAt = 7 + 3 + 29;
    ASSERT_GT(got.size(), shipAt);
    ASSERT_EQ(got[shipAt].kind, FbKind::Polygon);
    const WinPoint shipNose = toWindow(layout.shipIconPose[0], layout.shipIconPose[1] - ship.shipScale / 2 / 20);
    EXPECT_NEAR(got[shipAt].v[0].x, shipNose.x, 2e-2);
    EXPECT_NEAR(got[shipAt].v[0].y, shipNose.y, 2e-2);
}

TEST_F(HudTest, BorrowedRecordsComeBackExactly) {
    Enemy& record = fleet.enemies[0];
    record.x = 123.456;
    record.y = 321.987;
    record.heading = 4.1;
    record.strength = 0.37f;
    record.kind = 3;
    ship.x = 77.7;
    ship.y = 88.8;
    ship.heading = 0.3;
    ship.muzzleX = -5;
    ship.muzzleY = -6;
    ship.muzzleAngle = -7;
    bonus.kind = 2;
    bonus.x = 500.5;
    bonus.y = 90.25;
    bonus.radius = 3.5;  // not the usual 0.015 W: must survive the readout's weapon icon
    bonus.radiusSquared = 12.25;
    bonus.expiresAt = 9999;

    unsigned char enemyBefore[sizeof(Enemy)];
    std::memcpy(enemyBefore, &record, sizeof(Enemy));
    const PlayerShip shipBefore = ship;
    const BonusItem bonusBefore = bonus;
    double scalesBefore[5];
    std::memcpy(scalesBefore, fleet.shapeScale, sizeof scalesBefore);

    drawHud();

    EXPECT_EQ(std::memcmp(enemyBefore, &record, sizeof(Enemy)), 0);
    EXPECT_EQ(std::memcmp(scalesBefore, fleet.shapeScale, sizeof scalesBefore), 0);
    EXPECT_EQ(ship.x, shipBefore.x);
    EXPECT_EQ(ship.y, shipBefore.y);
    EXPECT_EQ(ship.heading, shipBefore.heading);
    EXPECT_EQ(ship.shipScale, shipBefore.shipScale);
    EXPECT_EQ(ship.iconMode, 0);
    EXPECT_EQ(ship.muzzleX, -5);
    EXPECT_EQ(ship.muzzleY, -6);
    EXPECT_EQ(ship.muzzleAngle, -7);
    EXPECT_EQ(ship.lives, shipBefore.lives);
    EXPECT_EQ(ship.shield, shipBefore.shield);
    EXPECT_EQ(bonus.kind, bonusBefore.kind);
    EXPECT_EQ(bonus.x, bonusBefore.x);
    EXPECT_EQ(bonus.y, bonusBefore.y);
    EXPECT_EQ(bonus.radius, bonusBefore.radius);
    EXPECT_EQ(bonus.radiusSquared, bonusBefore.radiusSquared);
    EXPECT_EQ(bonus.expiresAt, bonusBefore.expiresAt);
}

TEST_F(HudTest, TurnedOffTheFrameHasNoHudButKeepsCountdownAndEndTexts) {
    game.hudVisible = 0;
    game.countdown = 2;
    ship.lives = 0;
    const auto bitmaps = bitmapsOf(captureFeedback(gameDisplay));
    ASSERT_EQ(bitmaps.size(), 1u);  // "2"
    EXPECT_NEAR(bitmaps[0].z, depthOf(0.9), 1e-5);

    game.hudVisible = 1;
    const auto withHud = captureFeedback(gameDisplay);
    EXPECT_GT(bitmapsOf(withHud).size(), 1u);
}

}  // namespace
