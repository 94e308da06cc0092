#include "support/gl_test_support.h"

#include "app/window.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/draw.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

// Mesa compiles what a flush needs with LLVM, whose lazily made statics are destroyed early in
// exit: drawing still unflushed when the process ends would be compiled then and crash. Every
// test's drawing is finished while the program is still whole.
class FinishDrawing : public ::testing::Environment {
public:
    void TearDown() override {
        if (windowIsOpen()) {
            glFinish();
        }
    }
};
const ::testing::Environment* const finishDrawing = ::testing::AddGlobalTestEnvironment(new FinishDrawing);

}  // namespace

bool openTestWindow(unsigned width, unsigned height, unsigned colourBits) {
    if (std::getenv("DISPLAY") == nullptr) {
        return false;
    }
    if (glutGet(GLUT_INIT_STATE) == 0) {
        int argc = 1;
        char name[] = "zarv-test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
    }
    displayMode = DisplayMode{0.0, 0.0, width, height, colourBits, 60, 0};
    recreateGameWindow();  // the first window too
    // The menu's callbacks belong to other tests: this window only needs to exist.
    glutDisplayFunc([] {}), glutIdleFunc(nullptr), glutReshapeFunc(nullptr);
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
    }
    reshapeWindow(static_cast<int>(width), static_cast<int>(height));
    return true;
}

std::vector<FbPrimitive> captureFeedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK), draw(), flushDrawing();
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<FbPrimitive> out;
    for (GLint i = 0; i < count;) {
        FbPrimitive p{static_cast<GLint>(buffer[i++]), {}};
        const bool line = p.token == GL_LINE_TOKEN || p.token == GL_LINE_RESET_TOKEN;
        const int vertices = line ? 2 : p.token == GL_POLYGON_TOKEN && i < count ? static_cast<int>(buffer[i++]) : 1;
        for (int k = 0; k < vertices && i + 7 <= count; ++k, i += 7) {
            p.v.push_back(FbVertex{buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 3], buffer[i + 4],
                                   buffer[i + 5], buffer[i + 6]});
        }
        out.push_back(p);
    }
    return out;
}
