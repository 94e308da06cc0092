#include "platform/keys.h"

#include "platform/hook_state.h"

bool (*fakeKeyDown)(int) = nullptr;
bool (*fakeWindowFocused)() = nullptr;

bool asyncKeyDown(int vk) {
    return fakeKeyDown ? fakeKeyDown(vk) : portKeyDown(vk);
}

bool windowFocused() {
    return fakeWindowFocused ? fakeWindowFocused() : portWindowFocused();
}
