#include "render_support.h"

#include "app/display_mode.h"
#include "app/text.h"
#include "game/game_state.h"
#include "render/scene.h"

#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>

namespace {

unsigned openWidth = 0;
unsigned openHeight = 0;

}  // namespace

bool openRenderWindow(unsigned width, unsigned height) {
    static bool tablesReady = false;
    if (std::getenv("DISPLAY") == nullptr) {
        return false;
    }
    if (!tablesReady) {
        initialiseGameTables();
        prepareGame(false, false);
        tablesReady = true;
    }
    if (openWidth == width && openHeight == height) {
        return true;
    }
    if (!openTestWindow(width, height)) {
        return false;
    }
    prepareGame(false, true);
    if (quadric == nullptr) {
        quadric = gluNewQuadric();
    }
    gluQuadricDrawStyle(quadric, GLU_SILHOUETTE);
    createFonts();
    openWidth = width;
    openHeight = height;
    return true;
}

void clearScene() {
    for (int i = 0; i <= kEnemyCapacity; ++i) {
        fleet.enemies[i].strength = 0;
    }
    for (Shot& shot : shotPool.shots) {
        shot.angle = kFreeShotAngle;
    }
    for (int b = 0; b < kBurstCount; ++b) {
        burstPool.bursts[b].age = 0;
    }
    bonus.kind = 0;
    stars.count = 0;
    game.countdown = 0;
    game.endTime = 0;
    game.won = 0;
    game.hudVisible = 0;
    game.volumeShownUntil = -1;
    game.now = 0;
    resetDamage();
    ship.lives = 3;
    ship.shield = 100;
    ship.iconMode = 0;
    ship.x = 0.5 * displayMode.width;
    ship.y = 0.5 * displayMode.height;
    ship.heading = kPi / 2;
}

std::vector<unsigned char> readBackBuffer() {
    glFinish();
    std::vector<unsigned char> pixels(static_cast<std::size_t>(openWidth) * openHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(openWidth), static_cast<GLsizei>(openHeight), GL_RGB,
                 GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

unsigned windowWidth() {
    return openWidth;
}
