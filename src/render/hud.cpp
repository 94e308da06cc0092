#include "render/hud.h"

#include "app/display_mode.h"
#include "app/text.h"
#include "game/game_state.h"
#include "render/enemy_drawing.h"
#include "render/scene.h"
#include "sound/sound.h"

#include <GL/gl.h>

namespace {

// The icons are the scene's own drawings pointed for a moment at the HUD's corner: enemy record 0
// as a half-size, full-strength kind 1, the ship at half size without moving its muzzle.
// Keeps a pose in saved and puts another in its place; with the saved pose as `to`, puts it back.
void movePose(double& x, double& y, double& heading, double saved[3], const double to[3]) {
    if (saved != to) {
        saved[0] = x;
        saved[1] = y;
        saved[2] = heading;
    }
    x = to[0];
    y = to[1];
    heading = to[2];
}

void drawIcons() {
    Enemy& icon = fleet.enemies[0];  // the caller checked the table exists
    movePose(icon.x, icon.y, icon.heading, fleet.iconSavedPose, layout.enemyIconPose);
    fleet.shapeScale[1] *= 0.5;
    fleet.iconSavedStrength = icon.strength;
    icon.strength = 1.0f;
    movePose(ship.x, ship.y, ship.heading, ship.savedPose, layout.shipIconPose);
    ship.shipScale *= 0.5;
    ship.iconMode = 1;

    glDisable(GL_BLEND);
    glDisable(GL_LINE_SMOOTH);
    glLineWidth(1.0f);
    drawEnemyKind1(fleet, 0);
    drawShip(ship);

    // Halving and doubling a double is exact, so every value comes back bit for bit.
    movePose(icon.x, icon.y, icon.heading, fleet.iconSavedPose, fleet.iconSavedPose);
    fleet.shapeScale[1] *= 2.0;
    icon.strength = fleet.iconSavedStrength;
    movePose(ship.x, ship.y, ship.heading, ship.savedPose, ship.savedPose);
    ship.shipScale *= 2.0;
    ship.iconMode = 0;
}

}  // namespace

void drawBonusReadout(float px, float py) {
    const BonusItem kept = bonus;
    bonus.kind = 1;
    bonus.x = px;
    bonus.y = py;
    bonus.radius = bonus.fieldWidth * 0.015;
    // 0.13, the kind-4 damage of a new game, reads as 100%.
    printText(px + 0.02 * bonus.fieldWidth, py + 0.006 * bonus.fieldHeight, 0.5, smallFont, "%1.0lf%%",
              game.damage[4] * 769.2307692307693);
    drawBonus();
    // The radius is put back too, so that the item on the field is left exactly as it was.
    bonus.kind = kept.kind;
    bonus.x = kept.x;
    bonus.y = kept.y;
    bonus.radius = kept.radius;
}

void drawHud() {
    if (fleet.enemies != nullptr) {
        drawIcons();
    }
    const double w = displayMode.width;
    const double h = displayMode.height;
    glColor3f(0.7f, 0.7f, 0.7f);
    printText(0.05 * h, 0.025 * w, 0.5, smallFont, "x %d; %d%%", ship.lives, ship.shield);
    printText(0.05 * h, 0.076 * h, 0.5, smallFont, "x %d", fleet.aliveCount);
    printText(1.22 * h, 0.02 * h, 0.5, smallFont, "FPS: %1.0f", game.frameRate);
    printText(0.65 * h, 0.025 * h, 0.5, smallFont, "[ %d ] [ %1.0lf ]", game.waveNumber,
              static_cast<double>(game.score));
    if (game.now <= game.volumeShownUntil) {
        glColor3f(1.0f, 1.0f, 0.3f);
        printText(0.45 * w, 0.98 * h, 0.5, smallFont, "F7 - (( %d%% )) + F8", sound.soundVolume * 100 / 127);
    }
    glColor3f(0.7f, 0.7f, 0.7f);
    drawBonusReadout(static_cast<float>(0.026 * h), static_cast<float>(0.114 * h));
}
