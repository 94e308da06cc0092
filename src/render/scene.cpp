#include "render/scene.h"

#include "game/ship_and_shots.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/enemy_drawing.h"
#include "render/hud.h"
#include "render/screen_mapping.h"
#include "render/ship_shape.h"
#include "render/text.h"

#include "render/draw.h"
#include <cmath>

SceneHooks sceneHooks{};

namespace {

void vertex(double x, double y, double z) {
    shapeVertex(static_cast<float>(mapX(x)), static_cast<float>(mapY(y)), static_cast<float>(z));
}

}  // namespace

void drawShip(const PlayerShip& s) {
    setLineSmooth(true);
    setBlend(true);
    setLineWidth(1.0f);

    double px[14];
    double py[14];
    for (int k = 0; k < 14; ++k) {
        const double angle = s.heading + kShipPoints[k].theta * kPi;
        const double d = s.shipScale * kShipPoints[k].r;
        px[k] = s.x + d * std::cos(angle);
        py[k] = s.y + d * std::sin(-s.heading - kShipPoints[k].theta * kPi);
    }

    // Green at full shield, through yellow to orange as it drains; an overcharged shield stays green.
    float red = 0.0f;
    float green = 0.7f;
    if (s.shield <= 100) {
        red = static_cast<float>(0.8 - 0.008 * s.shield);
        green = static_cast<float>(0.5 + 0.002 * s.shield);
    }
    setColour(red, green, 0.0f);
    beginShape(Shape::TriangleStrip);
    for (int k = 0; k <= 8; ++k) {
        vertex(px[k], py[k], 0.2);
    }
    endShape();

    setLineWidth(2.0f);
    beginShape(Shape::Lines);
    drawSegment(px[8], py[8], px[7], py[7], 0);
    setColour(0.9f, 0.0f, 0.0f);
    drawSegment(px[9], py[9], px[11], py[11], 0);
    drawSegment(px[10], py[10], px[12], py[12], 0);
    endShape();

    setColour(0.9f, 0.9f, 0.2f);
    const double s2 = s.shipScale * displayMode.xScale;
    drawRing(static_cast<float>(mapX(px[13])), static_cast<float>(mapY(py[13])), 0.21f, 0.26 * s2 - 0.5,
             0.262 * s2 - 0.5, 8);
}

void drawShots() {
    setLineWidth(2.0f);
    setLineSmooth(true);
    setBlend(true);
    beginShape(Shape::Lines);
    // The player's shots turn from green towards blue as upgrades raise the StrutEnemy damage.
    const float p = game.damage[StrutEnemy];
    const double behind = shotPool.fieldWidth / 150.0;
    const double ahead = shotPool.fieldHeight / 150.0;
    const int total = shotPool.totalSlots < kTotalShotSlots ? shotPool.totalSlots : kTotalShotSlots;
    for (int i = 0; i < total; ++i) {
        const Shot& shot = shotPool.shots[i];
        if (shot.angle == kFreeShotAngle) {
            continue;
        }
        if (i >= shotPool.playerSlots) {
            setColour(1.0f, 0.3f, 0.0f);
        } else {
            setColour(0.1f, 1.26f - 2 * p, 6 * p - 0.78f);
        }
        const double c = std::cos(shot.angle);
        const double s = std::sin(shot.angle);
        drawSegment(shot.x - c * behind, shot.y - s * behind, shot.x + c * ahead, shot.y + s * ahead, -0.3);
    }
    endShape();
}

void drawBursts() {
    if (burstPool.bursts == nullptr) {
        return;
    }
    const std::uint32_t count = burstPool.burstCount < kBurstCount ? burstPool.burstCount : kBurstCount;
    for (std::uint32_t b = 0; b < count; ++b) {
        const Burst& burst = burstPool.bursts[b];
        if (burst.age == 0) {
            continue;
        }
        // Fades on a log curve; from age 36 on it is below zero, which draws fully transparent.
        // An age past the curve's end (never left by the game) draws transparent, not NaN.
        const double left = 36.995 - burst.age;
        const double alpha = left > 0 ? (std::log(left) - 0.66) * 0.3448275862068966 : 0.0;
        setBlend(true);
        setPointSize(1.0f);
        setColour(1.0f, 1.0f, 0.35f, static_cast<float>(alpha));
        beginShape(Shape::Points);
        for (const Particle& particle : burst.particles) {
            vertex(particle.x - 2, particle.y, 0.3);
            vertex(particle.x, particle.y - 2, 0.3);
            vertex(particle.x, particle.y + 2, 0.3);
            vertex(particle.x + 2, particle.y, 0.3);
        }
        endShape();
    }
}

void drawStars() {
    setBlend(false);
    setPointSize(2.0f);
    beginShape(Shape::Points);
    if (stars.stars != nullptr) {
        for (std::uint32_t i = 0; i < stars.count; ++i) {
            const Star& star = stars.stars[i];
            const auto g = static_cast<float>(star.brightness - random(100) * 0.002);
            setColour(g, g, g);
            vertex(star.x, star.y, -0.9);
        }
    }
    endShape();
}

void drawBonusItem(const BonusItem& item) {
    if (item.kind == kNoItem) {
        return;
    }
    const double c = random(100) * 0.003;
    setBlend(true);
    if (item.kind == kUpgradeItem) {
        const double r = item.radius;
        setColour(static_cast<float>(c), static_cast<float>(c + 0.7), static_cast<float>(c));
        setLineWidth(1.0f);
        beginShape(Shape::Lines);
        drawSegment(item.x + r * std::cos(kPi / 2), item.y + r * std::sin(kPi / 2),
                    item.x + r * std::cos(1.5 * kPi), item.y + r * std::sin(1.5 * kPi), 0);
        drawSegment(item.x + r, item.y, item.x + r * std::cos(kPi), item.y + r * std::sin(kPi), 0);
        endShape();
    } else if (item.kind == kShieldItem) {
        setColour(static_cast<float>(c - 0.2), static_cast<float>(c + 0.1), static_cast<float>(c + 0.7));
    }
    const double w = item.fieldWidth * displayMode.xScale;
    drawRing(static_cast<float>(mapX(item.x)), static_cast<float>(mapY(item.y)), 0.0f, 0.135 * w - 0.5, 0.1375 * w - 0.5,
             static_cast<int>(0.035 * item.fieldWidth));
}

void drawBonus() {
    drawBonusItem(bonus);
}

void gameDisplay() {
    // The frame drawn by the previous call goes on screen first.
    swapWindowBuffers();
    drawGameFrame();
    requestRedisplay();
}

void drawGameFrame() {
    clearFrame();
    if (ship.lives != 0) {
        // Shots leave from the nose as it was last drawn in play (the HUD's icon leaves it be).
        updateMuzzle(ship);
        drawShip(ship);
    }
    drawShots();
    drawBursts();
    drawEnemies();
    drawStars();
    drawBonus();
    if (game.hudVisible) {
        drawHud();
    }
    const double w = displayMode.width;
    const double h = displayMode.height;
    if (game.countdown != 0) {
        setColour(1.0f, 1.0f, 1.0f);
        printText(0.49 * w, 0.45 * h, 0.9, largeFont, "%d", game.countdown);
    }
    if (game.endTime < 0 && sceneHooks.endText != nullptr) {
        // Both rows are placed by fractions of the width.
        setColour(1.0f, 1.0f, 0.5f);
        printText(0.37 * w, 0.36 * w, 0.9, largeFont, "%s", sceneHooks.endText(false));
        if (game.won) {
            printText(0.37 * w, 0.41 * w, 0.9, largeFont, "%s", sceneHooks.endText(true));
        }
    }
    flushDrawing();
}
