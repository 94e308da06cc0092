#include "platform/keys.h"

#include "platform/hook_state.h"
#include "platform/port.h"

bool (*fakeKeyDown)(int) = nullptr;
bool (*fakeWindowFocused)() = nullptr;

bool asyncKeyDown(int vk) {
    return fakeKeyDown ? fakeKeyDown(vk) : portKeyDown(vk);
}

bool windowFocused() {
    return fakeWindowFocused ? fakeWindowFocused() : portWindowFocused();
}

void forgetPendingPresses() {
    for (int vk = 1; vk <= 255; ++vk) {
        asyncKeyDown(vk);
    }
}
