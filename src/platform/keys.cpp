#include "platform/keys.h"

// Placeholder: replaced by the X11 key state.
bool openKeyboard() { return false; }
bool asyncKeyDown(int) { return false; }
bool windowFocused() { return false; }
unsigned long vkToKeysym(int) { return 0; }
void setKeySource(bool (*)(int), bool (*)()) {}
