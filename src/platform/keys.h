#pragma once
// Keyboard and mouse-button state by Windows virtual-key code (1..255), read only while the game
// window has the focus. The codes stay the program's language for keys: bound, stored in the
// settings file and named.

// Opens the connection used for key queries (on X11 closing an earlier one, so it follows DISPLAY);
// the game window is the one with this title. False when no display can be reached; every key then
// reads as released and the window as unfocused.
bool openKeyboard(const char* gameWindowTitle);
void closeKeyboard();

// True while the key with this virtual-key code is down, or when it was pressed since this code
// was last asked, so a tap shorter than a frame counts once, at the next query of its own code;
// whoever has the focus (callers gate on windowFocused(), which forgets the presses another
// program's window was sent). Codes that no key of this keyboard produces read false.
bool asyncKeyDown(int vk);

// True while our game window has the keyboard focus.
bool windowFocused();

// Reads away every code's pending press, so that only presses made from now on count; a key
// still held reads down until it is released.
void forgetPendingPresses();

// Each port: the system's own answers, which the two calls above give unless a test replaces them.
// One whole poll or key scan costs about one round trip to the display server.
bool portKeyDown(int vk);
bool portWindowFocused();
