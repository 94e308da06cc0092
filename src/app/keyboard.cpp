#include "app/keyboard.h"

// Placeholder: replaced by the real keyboard poll.
KeyBindings keys{};
void setDefaultKeyBindings(KeyBindings& b) {
    b.forwardKey = 104;
    b.rightKey = 102;
    b.leftKey = 100;
    b.shootKey = 9;
    b.backKey = 27;
}
void pollKeyboard(KeyBindings&) {}
