#pragma once
// Keyboard and mouse-button state by Windows virtual-key code (1..255).
// The codes stay the program's language for keys: bound, stored in the settings file and named.

// Opens the connection used for key queries (on X11 closing an earlier one, so it follows DISPLAY).
// False when no X display can be reached; every key then reads as released and the window
// as unfocused. Always true on Windows.
bool openKeyboard();
void closeKeyboard();

// True while the key with this virtual-key code is down, or when it was pressed since this code
// was last asked, so a tap shorter than a frame counts once, at the next query of its own code;
// whoever has the focus (callers gate on windowFocused(), which forgets the presses another
// program's window was sent). Codes that no key of this keyboard produces read false.
// On X11 the keyboard is read in one query and reused for up to a millisecond, so a whole poll or
// key scan costs one round trip to the server. On Windows it is the system's asynchronous key
// state of that code.
bool asyncKeyDown(int vk);

// True while our game window has the keyboard focus (X11: the current GL drawable; Windows: the
// foreground window is the one titled as the game's).
bool windowFocused();

// Tests replace the key and focus sources; nullptr restores the real ones.
void setKeySource(bool (*down)(int vk), bool (*focused)());
