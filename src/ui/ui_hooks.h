#pragma once
// What the menus and the name entry cause in the layer above them. The application fills the
// table at start-up, as it fills the game's; tests put their own entries in place.

// The program's three modes; the application registers each one's display and idle callbacks.
enum class AppMode { Menu, NameEntry, Game };

struct UiHooks {
    void (*pollKeyboard)();            // the key flags read from the keyboard and the pads (F12 ends the program)
    void (*setAppMode)(AppMode mode);  // the mode the next turn of the window's loop runs in
    bool (*recreateWindow)();          // true when full screen was refused and the old window stayed
    void (*rebuildFonts)();            // the fonts made again for the new window and language
};
extern UiHooks uiHooks;
