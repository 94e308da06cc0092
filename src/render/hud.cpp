#include "render/hud.h"

#include "game/bursts_and_bonus.h"
#include "game/game_state.h"
#include "render/display_mode.h"
#include "render/enemy_drawing.h"
#include "render/scene.h"
#include "render/text.h"
#include "sound/sound.h"

#include "render/draw.h"

namespace {

// The icons are the scene's own drawings of copies placed in the HUD's corner: enemy record 0 as
// a half-size, full-strength AntennaEnemy, and the ship at half size.
void drawIcons() {
    const double w = layout.keptWidth;
    const double h = layout.keptHeight;
    Enemy enemyIcon = fleet.enemies[0];  // the caller checked the table exists
    enemyIcon.x = 0.025 * h;
    enemyIcon.y = 0.05 * w;
    enemyIcon.heading = kPi / 2;
    enemyIcon.strength = 1.0f;
    PlayerShip shipIcon = ship;
    shipIcon.x = 0.025 * h;
    shipIcon.y = 0.025 * h;
    shipIcon.heading = kPi / 2;
    shipIcon.shipScale *= 0.5;

    setBlend(false);
    setLineSmooth(false);
    setLineWidth(1.0f);
    drawEnemyShape(AntennaEnemy, enemyIcon, fleet.shapeScale[AntennaEnemy] * 0.5);
    drawShip(shipIcon);
}

}  // namespace

void drawBonusReadout(float px, float py) {
    BonusItem icon = bonus;
    icon.kind = kUpgradeItem;
    icon.x = px;
    icon.y = py;
    icon.radius = bonusRadius(bonus.fieldWidth);
    // 0.13, the StrutEnemy damage of a new game, reads as 100%.
    printText(px + 0.02 * bonus.fieldWidth, py + 0.006 * bonus.fieldHeight, 0.5, smallFont, "%1.0lf%%",
              game.damage[StrutEnemy] * 769.2307692307693);
    drawBonusItem(icon);
}

void drawHud() {
    if (fleet.enemies != nullptr) {
        drawIcons();
    }
    const double w = displayMode.width;
    const double h = displayMode.height;
    setColour(0.7f, 0.7f, 0.7f);
    printText(0.05 * h, 0.025 * w, 0.5, smallFont, "x %d; %d%%", ship.lives, ship.shield);
    printText(0.05 * h, 0.076 * h, 0.5, smallFont, "x %d", fleet.aliveCount);
    printText(1.22 * h, 0.02 * h, 0.5, smallFont, "FPS: %1.0f", game.frameRate);
    printText(0.65 * h, 0.025 * h, 0.5, smallFont, "[ %d ] [ %1.0lf ]", game.waveNumber,
              static_cast<double>(game.score));
    if (game.now <= game.volumeShownUntil) {
        setColour(1.0f, 1.0f, 0.3f);
        printText(0.45 * w, 0.98 * h, 0.5, smallFont, "F7 - (( %d%% )) + F8", sound.soundVolume * 100 / 127);
    }
    setColour(0.7f, 0.7f, 0.7f);
    drawBonusReadout(static_cast<float>(0.026 * h), static_cast<float>(0.114 * h));
}
