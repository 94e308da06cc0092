// The window system of the desktop ports, on freeglut.
#include "platform/desktop/desktop.h"
#include "platform/port.h"

#include <GL/freeglut.h>
#include <cstdlib>

namespace {

// GLUT's id of the game window; 0 while none exists. Kept here because glutGetWindow may not be
// asked before glutInit.
int windowId = 0;

}  // namespace

const DrawBackend& windowDrawBackend() {
    return gl11Backend;
}

void startWindowSystem(int* argc, char** argv) {
    glutInit(argc, argv);
}

void openWindow(const WindowRequest& request) {
    // The colour depth goes straight into GLUT's mode bits: 8 asks for alpha, 16 for depth,
    // 32 for stencil. Asking for an impossible mode makes freeglut end the process, so a mode
    // the server cannot give falls back to plain double-buffered RGBA.
    glutInitDisplayMode(request.colourBits | GLUT_DOUBLE);
    if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
        glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE);
    }
    if (request.fullScreen) {
        glutInitWindowPosition(0, 0);
    } else {
        glutInitWindowPosition(10, 10);
    }
    // Physical pixels on every display: the Windows build declares itself DPI aware in its
    // manifest, so a scaled desktop neither stretches the window nor pushes it off the screen.
    glutInitWindowSize(request.width, request.height);
    windowId = glutCreateWindow(request.title);
    // The game reads the keyboard itself.
    glutKeyboardFunc(nullptr);
    glutSpecialFunc(nullptr);
    if (request.fullScreen) {
        // The window already covers the switched screen. A window manager still has to be told,
        // to drop its frame; without one GLUT would stretch the window to the screen size it saw
        // at start-up, before the switch, and the picture would be cut off.
        if (windowManagerDoesFullScreen()) {
            glutFullScreen();
        }
        glutSetCursor(GLUT_CURSOR_NONE);
    }
}

void closeWindow() {
    if (windowId != 0) {
        glutDestroyWindow(windowId);
        windowId = 0;
    }
}

bool windowIsOpen() {
    return windowId != 0;
}

void setWindowCallbacks(void (*display)(), void (*idle)()) {
    glutIdleFunc(idle);
    glutDisplayFunc(display);
}

void setReshapeCallback(void (*reshape)(int width, int height)) {
    glutReshapeFunc(reshape);
}

void swapWindowBuffers() {
    glutSwapBuffers();
}

void requestRedisplay() {
    glutPostRedisplay();
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

void runWindowLoop() {
    glutMainLoop();
    std::exit(0);
}

void endProgram(int status) {
    // The GL driver compiles what a late flush needs with parts of its compiler that the exit has
    // already destroyed, and would crash: drawing still in flight is finished first.
    if (windowId != 0) {
        glFinish();
    }
    std::exit(status);
}
