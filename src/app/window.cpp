#include "app/window.h"

#include "app/modes.h"
#include "app/screen_mapping.h"
#include "platform/clock.h"
#include "platform/display_switch.h"

#include <GL/freeglut.h>
#include <cstdlib>

DisplayMode displayMode{};

namespace {

// GLUT's id of the game window; 0 while none exists. Kept here because glutGetWindow
// may not be asked before glutInit.
int windowId = 0;

}  // namespace

bool changeDisplayMode(DisplayMode mode) {
    return !switchDisplayMode(mode.width, mode.height, mode.colourBits, mode.refreshRate);
}

int createGameWindow() {
    computeScreenMapping();
    // The colour depth goes straight into GLUT's mode bits: 8 asks for alpha, 16 for depth,
    // 32 for stencil. Asking for an impossible mode makes freeglut end the process, so a mode
    // the server cannot give falls back to plain double-buffered RGBA.
    glutInitDisplayMode(displayMode.colourBits | GLUT_DOUBLE);
    if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE);
    }
    if (displayMode.fullScreen) {
        if (changeDisplayMode(displayMode)) {
            return 1;
        }
        glutInitWindowPosition(0, 0);
    } else {
        // A window leaves the desktop in the mode the player had before any full screen.
        restoreDisplayMode();
        glutInitWindowPosition(10, 10);
    }
    // Physical pixels on every display: the Windows build declares itself DPI aware in its
    // manifest, so a scaled desktop neither stretches the window nor pushes it off the screen.
    glutInitWindowSize(static_cast<int>(displayMode.width), static_cast<int>(displayMode.height));
    windowId = glutCreateWindow(kWindowTitle);
    if (displayMode.fullScreen) {
        // The window already covers the switched screen. A window manager still has to be told,
        // to drop its frame; without one GLUT would stretch the window to the screen size it saw
        // at start-up, before the switch, and the picture would be cut off.
        if (windowManagerDoesFullScreen()) {
            glutFullScreen();
        }
        glutSetCursor(GLUT_CURSOR_NONE);
    }
    // Only the 16-bit mode asks for a depth buffer; Mesa hands the others one unasked, and there
    // drawing order alone must decide what is on top.
    if (displayMode.colourBits == 16) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    return 0;
}

ViewBox viewBoxFor(int w, int h) {
    const double width = w == 0 ? 1.0 : static_cast<double>(w);
    const double height = h == 0 ? 1.0 : static_cast<double>(h);
    const double a = 3.0 / width;
    const double b = 3.0 / height;
    if (a < b) {
        return ViewBox{1.5 - 1.5 * (b / a), 1.5 + 1.5 * (b / a), 0.0, 3.0};
    }
    return ViewBox{0.0, 3.0, 1.5 - 1.5 * (a / b), 1.5 + 1.5 * (a / b)};
}

void reshapeWindow(int w, int h) {
    glViewport(0, 0, w, h);
    const ViewBox box = viewBoxFor(w, h);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glOrtho(box.left, box.right, box.bottom, box.top, -1.0, 1.0);
}

bool recreateGameWindow() {
    if (displayMode.fullScreen && changeDisplayMode(displayMode)) {
        return true;
    }
    // The old window goes and the new one comes in the same callback: freeglut ends the main
    // loop when a callback returns with no window left.
    if (windowId != 0) {
        glutDestroyWindow(windowId);
        windowId = 0;
    }
    createGameWindow();
    setAppMode(AppMode::Menu);
    glutReshapeFunc(reshapeWindow);
    return false;
}

void endProgram(int status) {
    if (windowId != 0) {
        glFinish();
    }
    std::exit(status);
}

void serviceWindowWhileWaiting() {
    // On Windows a window's activation is processed by its own message queue, and a window that
    // takes no message for five seconds is replaced by a "Not Responding" ghost: a wait that
    // took none would never see the focus come back. GLUT's single turn runs the display and
    // reshape callbacks but never the idle one, so the wait in progress is not entered again.
    // Without a window (tests drive the menus alone) there is nothing to serve or wait for.
    if (windowId != 0) {
        glutMainLoopEvent();
        sleepMs(1);
    }
}

bool gameWindowExists() {
    return windowId != 0;
}
