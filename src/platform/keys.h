#pragma once
// Keyboard and mouse-button state by Windows virtual-key code (1..255), read only while the game
// window has the focus. The codes stay the program's language for keys: bound, stored in the
// settings file and named.

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
