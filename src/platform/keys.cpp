#include "platform/keys.h"

// X11 queries are not wired yet: only a test source answers.
namespace {
bool (*fakeDown)(int) = nullptr;
bool (*fakeFocused)() = nullptr;
}  // namespace

bool openKeyboard() { return false; }

bool asyncKeyDown(int vk) {
    if (fakeDown) {
        return fakeDown(vk);
    }
    return false;
}

bool windowFocused() {
    if (fakeFocused) {
        return fakeFocused();
    }
    return false;
}

unsigned long vkToKeysym(int) { return 0; }

void setKeySource(bool (*down)(int), bool (*focused)()) {
    fakeDown = down;
    fakeFocused = focused;
}
