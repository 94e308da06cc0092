#include "platform/keys.h"

#include "platform/keys_seam.h"
#include "platform/port.h"

constinit const KeySource kPortKeySource{portKeyDown, portWindowFocused};
constinit KeySource keySource = kPortKeySource;

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
