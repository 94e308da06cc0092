#include "platform/keys.h"

#include "platform/keys_seam.h"
#include "platform/port.h"

namespace {
constexpr KeySource kPort{portKeyDown, portWindowFocused};
}  // namespace

constinit const KeySource kPortKeySource = kPort;
constinit KeySource keySource = kPort;

bool asyncKeyDown(int vk) {
    return keySource.keyDown(vk);
}

bool windowFocused() {
    return keySource.windowFocused();
}

void forgetPendingPresses() {
    for (int vk = 1; vk <= 255; ++vk) {
        asyncKeyDown(vk);
    }
}
