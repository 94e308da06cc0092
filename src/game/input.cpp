#include "game/input.h"

KeyBindings keys{};

void setDefaultKeyBindings(KeyBindings& b) {
    b.forwardKey = VkNumpad8;
    b.rightKey = VkNumpad6;
    b.leftKey = VkNumpad4;
    b.shootKey = VkTab;
    b.backKey = VkEscape;
}
