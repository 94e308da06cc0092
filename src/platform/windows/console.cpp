#include "platform/port.h"

#include <windows.h>

// Only a console the game is alone in was opened for it; a command prompt it was started
// from also lists the shell and must stay visible.
void hideConsoleWindow() {
    const HWND console = GetConsoleWindow();
    if (console == nullptr) {
        return;
    }
    DWORD processes[2] = {};
    if (GetConsoleProcessList(processes, 2) == 1) {
        ShowWindow(console, SW_HIDE);
    }
}
