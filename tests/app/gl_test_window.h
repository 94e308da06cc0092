#pragma once
// A real GLUT window for drawing tests under Xvfb, through the game's own window code.
#include "app/display_mode.h"
#include "app/window.h"

#include <GL/freeglut.h>
#include <cstdlib>
#include <vector>

inline void doNothingDisplay() {}

// Opens (or re-opens) the game window windowed at width x height, 32-bit, with the view box of
// a window that size. False when there is no X display to open it on.
inline bool openTestWindow(unsigned width, unsigned height, unsigned colourBits = 32) {
    static bool glutReady = false;
    if (std::getenv("DISPLAY") == nullptr) {
        return false;
    }
    if (!glutReady) {
        int argc = 1;
        char name[] = "zarv-test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutReady = true;
    }
    displayMode = DisplayMode{0.0, 0.0, width, height, colourBits, 60, 0};
    if (gameWindowExists()) {
        recreateGameWindow();
    } else {
        createGameWindow();
    }
    // The menu's callbacks belong to other tests: this window only needs to exist.
    glutDisplayFunc(doNothingDisplay);
    glutIdleFunc(nullptr);
    glutReshapeFunc(nullptr);
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
    }
    reshapeWindow(static_cast<int>(width), static_cast<int>(height));
    return true;
}

// One feedback record: its token and the 7 floats (x, y, z, r, g, b, a) of its first vertex.
struct FeedbackItem {
    float token;
    float v[7];
};

// Runs draw in GL_FEEDBACK mode (GL_3D_COLOR) and returns the bitmap and point tokens with
// their vertex, the polygon and line tokens with their first vertex.
template <typename Draw>
std::vector<FeedbackItem> captureFeedback(Draw draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<FeedbackItem> items;
    GLint i = 0;
    while (i < count) {
        const float token = buffer[i++];
        int vertices = 0;
        if (token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN ||
            token == GL_POINT_TOKEN) {
            vertices = 1;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            vertices = 2;
        } else if (token == GL_POLYGON_TOKEN) {
            vertices = static_cast<int>(buffer[i++]);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
            continue;
        } else {
            break;
        }
        FeedbackItem item{token, {}};
        for (int k = 0; k < 7; ++k) {
            item.v[k] = buffer[i + k];
        }
        items.push_back(item);
        i += vertices * 7;
    }
    return items;
}
