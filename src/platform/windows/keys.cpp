#include "platform/keys.h"

#include "platform/port.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {


// Down now (the high bit), or went down since this code was last asked (the low bit): a tap
// shorter than a frame still counts once.
constexpr SHORT kDownNow = static_cast<SHORT>(0x8000);
constexpr SHORT kPressedSince = 0x0001;

// The system remembers a press of any key for the next query of its code, also one made while
// another program's window had the focus; those are read away when the focus comes back.
// While no window is in the foreground (ours is being re-created) no one else took a key.
bool hadFocus = false;
// Kept from openKeyboard: a window of ours carries it.
char windowTitle[64] = "";

void forgetPressesMadeElsewhere(bool focused, bool foregroundSeen) {
    if (focused && !hadFocus) {
        for (int vk = 1; vk <= 255; ++vk) {
            GetAsyncKeyState(vk);
        }
    }
    if (focused || foregroundSeen) {
        hadFocus = focused;
    }
}

// The window is looked up by its title every time: it is a new window after the options apply.
// While the old one is still being torn down two windows carry the title, and the lookup may
// find the old one: a foreground window of this process with the title is ours as well.
bool isOurs(HWND foreground) {
    if (foreground == nullptr) {
        return false;
    }
    if (FindWindowA(nullptr, windowTitle) == foreground) {
        return true;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    char title[sizeof windowTitle] = {};
    GetWindowTextA(foreground, title, sizeof title);
    return process == GetCurrentProcessId() && std::strcmp(title, windowTitle) == 0;
}

}  // namespace

bool openKeyboard(const char* gameWindowTitle) {
    std::snprintf(windowTitle, sizeof windowTitle, "%s", gameWindowTitle);
    return true;
}

void closeKeyboard() {}

bool portKeyDown(int vk) {
    if (vk < 1 || vk > 255) {
        return false;
    }
    return (GetAsyncKeyState(vk) & (kDownNow | kPressedSince)) != 0;
}

bool portWindowFocused() {
    const HWND foreground = GetForegroundWindow();
    const bool focused = isOurs(foreground);
    forgetPressesMadeElsewhere(focused, foreground != nullptr);
    return focused;
}
