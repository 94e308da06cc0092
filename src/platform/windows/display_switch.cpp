#include "platform/port.h"
#include "platform/desktop/desktop.h"

#include <windows.h>

#include <cstdlib>

namespace {

bool switched = false;
bool handlersInstalled = false;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

// A crash must not leave the player's desktop in the game's mode; the crash itself goes on
// to whoever handled it before.
LONG WINAPI restoreOnCrash(EXCEPTION_POINTERS* info) {
    restoreDisplayMode();
    return previousFilter != nullptr ? previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

void installRestoreHandlers() {
    if (handlersInstalled) {
        return;
    }
    handlersInstalled = true;
    std::atexit(restoreDisplayMode);
    previousFilter = SetUnhandledExceptionFilter(restoreOnCrash);
}

}  // namespace

bool switchDisplayMode(unsigned width, unsigned height, unsigned colourBits, unsigned refreshHz) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = colourBits;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (refreshHz != 0) {
        mode.dmDisplayFrequency = refreshHz;
        mode.dmFields |= DM_DISPLAYFREQUENCY;
    }
    // Asked first without switching: a refused mode leaves the screen and the window alone.
    if (ChangeDisplaySettingsA(&mode, CDS_TEST) != DISP_CHANGE_SUCCESSFUL) {
        return false;
    }
    installRestoreHandlers();
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
        return false;
    }
    switched = true;
    return true;
}

void restoreDisplayMode() {
    if (!switched) {
        return;
    }
    switched = false;
    // The registry's mode is the desktop's: a CDS_FULLSCREEN switch never touched it.
    ChangeDisplaySettingsA(nullptr, 0);
}

bool windowManagerDoesFullScreen() {
    return true;
}
