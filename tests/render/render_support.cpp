#include "render_support.h"

#include "app/display_mode.h"
#include "app/text.h"
#include "app/window.h"
#include "game/game_state.h"
#include "render/scene.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>

namespace {

unsigned openWidth = 0;
unsigned openHeight = 0;

void ignoreDisplay() {}

// Mesa compiles what a flush needs with LLVM, whose lazily made statics are destroyed early in
// exit: drawing still unflushed when the process ends would be compiled then and crash. Every
// test's drawing is finished while the program is still whole.
class FinishDrawing : public ::testing::Environment {
public:
    void TearDown() override {
        if (openWidth != 0) {
            glFinish();
        }
    }
};
const ::testing::Environment* const finishDrawing = ::testing::AddGlobalTestEnvironment(new FinishDrawing);

}  // namespace

bool openRenderWindow(unsigned width, unsigned height) {
    static bool glutReady = false;
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
    if (!glutReady) {
        int argc = 1;
        char name[] = "zarv-render-test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutReady = true;
    }
    displayMode = DisplayMode{0.0, 0.0, width, height, 32, 60, 0};
    if (gameWindowExists()) {
        recreateGameWindow();
    } else {
        createGameWindow();
    }
    // This window only needs to exist: the tests call the drawing themselves.
    glutDisplayFunc(ignoreDisplay);
    glutIdleFunc(nullptr);
    glutReshapeFunc(nullptr);
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
    }
    reshapeWindow(static_cast<int>(width), static_cast<int>(height));
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

std::vector<FbPrimitive> captureFeedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<FbPrimitive> out;
    GLint i = 0;
    while (i < count) {
        const auto token = static_cast<GLint>(buffer[i++]);
        FbPrimitive p{FbKind::Point, {}};
        int vertices = 0;
        switch (token) {
        case GL_POINT_TOKEN:
            vertices = 1;
            break;
        case GL_BITMAP_TOKEN:
            p.kind = FbKind::Bitmap;
            vertices = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            p.kind = FbKind::Line;
            vertices = 2;
            break;
        case GL_POLYGON_TOKEN:
            p.kind = FbKind::Polygon;
            vertices = static_cast<int>(buffer[i++]);
            break;
        case GL_PASS_THROUGH_TOKEN:
            ++i;
            continue;
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            i += 7;
            continue;
        default:
            return out;
        }
        for (int k = 0; k < vertices && i + 7 <= count; ++k, i += 7) {
            p.v.push_back(FbVertex{buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 3], buffer[i + 4],
                                   buffer[i + 5], buffer[i + 6]});
        }
        out.push_back(p);
    }
    return out;
}

WinPoint toWindow(double gameX, double gameY) {
    // The view box shows the whole field in the whole window.
    return WinPoint{gameX * openWidth / displayMode.width,
                    (displayMode.height - gameY) * openHeight / displayMode.height};
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

unsigned windowHeight() {
    return openHeight;
}

std::string describe(const FbPrimitive& p) {
    static const char* names[] = {"point", "line", "polygon", "bitmap"};
    std::string s = names[static_cast<int>(p.kind)];
    char buf[128];
    for (const FbVertex& v : p.v) {
        std::snprintf(buf, sizeof buf, " (%.3f %.3f %.3f | %.3f %.3f %.3f %.3f)", v.x, v.y, v.z, v.r, v.g, v.b,
                      v.a);
        s += buf;
    }
    return s;
}
