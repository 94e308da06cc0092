#include "app/window.h"

#include "app/modes.h"
#include "platform/port.h"
#include "render/draw.h"
#include "render/screen_mapping.h"

bool changeDisplayMode(DisplayMode mode) {
    return !switchDisplayMode(mode.width, mode.height, mode.colourBits, mode.refreshRate);
}

int createGameWindow() {
    computeScreenMapping();
    if (displayMode.fullScreen) {
        if (changeDisplayMode(displayMode)) {
            return 1;
        }
    } else {
        // A window leaves the desktop in the mode the player had before any full screen.
        restoreDisplayMode();
    }
    openWindow(WindowRequest{static_cast<int>(displayMode.width), static_cast<int>(displayMode.height),
                             displayMode.colourBits, displayMode.fullScreen != 0, kWindowTitle});
    // Only the 16-bit mode asks for a depth buffer; Mesa hands the others one unasked, and there
    // drawing order alone must decide what is on top.
    startDrawing(windowDrawBackend());
    setDepthTest(displayMode.colourBits == 16);
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
    setDrawView(w, h, viewBoxFor(w, h));
}

bool recreateGameWindow() {
    if (displayMode.fullScreen && changeDisplayMode(displayMode)) {
        return true;
    }
    // The old window goes and the new one comes in the same callback: a desktop window system
    // ends its loop when a callback returns with no window left.
    closeWindow();
    createGameWindow();
    setAppMode(AppMode::Menu);
    setReshapeCallback(reshapeWindow);
    return false;
}
