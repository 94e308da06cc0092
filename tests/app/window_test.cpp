// The reshape box, the screen mapping, and window creation and re-creation under Xvfb.
#include "app/display_mode.h"
#include "app/modes.h"
#include "app/screen_mapping.h"
#include "app/window.h"
#include "support/gl_test_support.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

void expectBox(int w, int h, double left, double right, double bottom, double top) {
    const ViewBox box = viewBoxFor(w, h);
    EXPECT_DOUBLE_EQ(box.left, left) << w << "x" << h;
    EXPECT_DOUBLE_EQ(box.right, right) << w << "x" << h;
    EXPECT_DOUBLE_EQ(box.bottom, bottom) << w << "x" << h;
    EXPECT_DOUBLE_EQ(box.top, top) << w << "x" << h;
}

TEST(ReshapeBox, ShowsTheWholeSquareExtendedAlongTheLongerSide) {
    expectBox(640, 480, -0.5, 3.5, 0.0, 3.0);
    expectBox(800, 400, -1.5, 4.5, 0.0, 3.0);
    expectBox(300, 600, 0.0, 3.0, -1.5, 4.5);
    expectBox(0, 0, 0.0, 3.0, 0.0, 3.0);
    expectBox(500, 500, 0.0, 3.0, 0.0, 3.0);
    // Only one side minimised: the zero side counts as one pixel.
    expectBox(0, 300, 0.0, 3.0, -448.5, 451.5);
}

void setResolution(std::uint32_t w, std::uint32_t h) {
    displayMode.width = w;
    displayMode.height = h;
    computeScreenMapping();
}

TEST(ScreenMapping, ScaleIsOneOverTheGcdAtEveryOfferedResolution) {
    const std::uint32_t widths[] = {640, 800, 960, 1024, 1152, 1280, 1440, 1600, 2048};
    for (std::uint32_t w : widths) {
        const std::uint32_t h = w * 3 / 4;
        setResolution(w, h);
        const double g = w / 4.0;
        EXPECT_DOUBLE_EQ(displayMode.xScale, (w / static_cast<std::uint32_t>(g)) / static_cast<double>(w)) << w;
        EXPECT_DOUBLE_EQ(displayMode.yScale, (h / static_cast<std::uint32_t>(g)) / static_cast<double>(h)) << w;
        EXPECT_NEAR(displayMode.xScale, 1.0 / g, 1e-15) << w;
        // The whole field fills the 4:3 view box exactly.
        EXPECT_NEAR(mapX(0), -0.5, 1e-6);
        EXPECT_NEAR(mapX(w), 3.5, 1e-6);
        EXPECT_NEAR(mapY(0), 3.0, 1e-6);
        EXPECT_NEAR(mapY(h), 0.0, 1e-6);
    }
}

TEST(ScreenMapping, CornersAndCentreAt640And2048) {
    setResolution(640, 480);
    EXPECT_DOUBLE_EQ(displayMode.xScale, 0.00625);
    EXPECT_DOUBLE_EQ(mapX(0), -0.5);
    EXPECT_DOUBLE_EQ(mapX(640), 3.5);
    EXPECT_DOUBLE_EQ(mapY(0), 3.0);
    EXPECT_DOUBLE_EQ(mapY(480), 0.0);
    EXPECT_DOUBLE_EQ(mapX(320), 1.5);
    EXPECT_DOUBLE_EQ(mapY(240), 1.5);
    setResolution(2048, 1536);
    EXPECT_DOUBLE_EQ(displayMode.xScale, 0.001953125);
    EXPECT_DOUBLE_EQ(mapX(0), -0.5);
    EXPECT_DOUBLE_EQ(mapX(2048), 3.5);
    EXPECT_DOUBLE_EQ(mapY(0), 3.0);
    EXPECT_DOUBLE_EQ(mapY(1536), 0.0);
    EXPECT_DOUBLE_EQ(mapX(1024), 1.5);
    EXPECT_DOUBLE_EQ(mapY(768), 1.5);
}

TEST(ScreenMapping, NonFourThreeSizesStillEndTheGcdLoop) {
    setResolution(1000, 700);  // gcd 100
    EXPECT_DOUBLE_EQ(displayMode.xScale, 0.01);
    setResolution(7, 5);  // gcd 1
    EXPECT_DOUBLE_EQ(displayMode.yScale, 1.0);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openTestWindow(640, 480)) {
            GTEST_SKIP() << "no X display";
        }
    }
};

int windowWidth() {
    return glutGet(GLUT_WINDOW_WIDTH);
}
int windowHeight() {
    return glutGet(GLUT_WINDOW_HEIGHT);
}

void settle() {
    for (int i = 0; i < 10; ++i) {
        glutMainLoopEvent();
    }
}

TEST_F(WindowTest, WindowHasTheConfiguredSizeAndTheDepthTestFollowsTheColourDepth) {
    EXPECT_TRUE(gameWindowExists());
    EXPECT_EQ(windowWidth(), 640);
    EXPECT_EQ(windowHeight(), 480);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    ASSERT_TRUE(openTestWindow(800, 600, 16));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GT(depthBits, 0);
    ASSERT_TRUE(openTestWindow(800, 600, 8));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint alphaBits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    EXPECT_GT(alphaBits, 0);
}

TEST_F(WindowTest, ReshapeSetsViewportAndOrthographicBox) {
    reshapeWindow(800, 400);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 400);
    GLdouble m[16] = {};
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    // glOrtho(-1.5, 4.5, 0, 3, -1, 1): x scale 2/6, x offset -(4.5-1.5)/6.
    EXPECT_NEAR(m[0], 2.0 / 6.0, 1e-6);
    EXPECT_NEAR(m[12], -3.0 / 6.0, 1e-6);
    EXPECT_NEAR(m[5], 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(m[13], -1.0, 1e-6);
    GLdouble p[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    EXPECT_DOUBLE_EQ(p[0], 1.0);
    EXPECT_DOUBLE_EQ(p[12], 0.0);
}

TEST_F(WindowTest, RecreationGivesAWindowOfTheNewSizeWithANewContext) {
    const int oldId = glutGetWindow();
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEndList();
    setAppMode(AppMode::Game);
    displayMode.width = 1024;
    displayMode.height = 768;
    EXPECT_FALSE(recreateGameWindow());
    EXPECT_EQ(currentAppMode(), AppMode::Menu);
    glutDisplayFunc(doNothingDisplay);
    glutIdleFunc(nullptr);
    settle();
    EXPECT_TRUE(gameWindowExists());
    EXPECT_NE(glutGetWindow(), 0);
    EXPECT_EQ(windowWidth(), 1024);
    EXPECT_EQ(windowHeight(), 768);
    EXPECT_DOUBLE_EQ(displayMode.xScale, 0.00390625);
    // The lists of the old context are gone: the fonts must be built again.
    EXPECT_FALSE(glIsList(list));
    (void)oldId;
}

TEST_F(WindowTest, RefusedFullScreenKeepsTheWindowAndCreatesNone) {
    // Xvfb offers only its own screen size, so 640 x 480 full screen is refused.
    const int before = glutGetWindow();
    displayMode.fullScreen = 1;
    EXPECT_TRUE(changeDisplayMode(displayMode));
    EXPECT_TRUE(recreateGameWindow());
    EXPECT_EQ(glutGetWindow(), before);
    EXPECT_TRUE(gameWindowExists());
    EXPECT_EQ(createGameWindow(), 1);
    EXPECT_EQ(glutGetWindow(), before);
    displayMode.fullScreen = 0;
}

TEST_F(WindowTest, FullScreenAtTheScreensOwnSizeCoversTheScreen) {
    // Xvfb accepts exactly its own size, so this is the one full-screen switch it allows.
    const int screenWidth = glutGet(GLUT_SCREEN_WIDTH);
    const int screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
    displayMode.width = static_cast<std::uint32_t>(screenWidth);
    displayMode.height = static_cast<std::uint32_t>(screenHeight);
    displayMode.refreshRate = 0;
    displayMode.fullScreen = 1;
    EXPECT_FALSE(recreateGameWindow());
    glutDisplayFunc(doNothingDisplay);
    glutIdleFunc(nullptr);
    settle();
    EXPECT_EQ(windowWidth(), screenWidth);
    EXPECT_EQ(windowHeight(), screenHeight);
    EXPECT_EQ(glutGet(GLUT_WINDOW_CURSOR), GLUT_CURSOR_NONE);
    displayMode.fullScreen = 0;
}

}  // namespace
