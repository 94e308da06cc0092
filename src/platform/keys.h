#pragma once
// Keyboard and mouse-button state by Windows virtual-key code (1..255), read from the X server.
// The codes stay the program's language for keys: bound, stored in the settings file and named.

// Opens the connection used for key queries (closing an earlier one, so it follows DISPLAY).
// False when no X display can be reached; every key then reads as released and the window
// as unfocused.
bool openKeyboard();
void closeKeyboard();

// True while the key with this virtual-key code is down, or when it was pressed since the
// keyboard was last read, so a tap shorter than a frame counts once; whoever has the focus
// (callers gate on windowFocused(), which forgets the presses made while it is false).
// Codes that no key of this keyboard produces read false.
// The keyboard is read in one query and reused for up to a millisecond, so a whole poll or
// key scan costs one round trip to the server.
bool asyncKeyDown(int vk);

// True while our game window (the current GL drawable) has the keyboard focus.
bool windowFocused();

// The keysym that stands for a virtual-key code, or 0 when the code has none (mouse buttons too).
unsigned long vkToKeysym(int vk);
// The second keysym of the same key where X names it twice (keypad 8 is KP_8 and KP_Up; the
// generic Shift, Control and Alt codes are the right-hand keys), else 0.
unsigned long vkAlternateKeysym(int vk);

// The X keycode (evdev numbering) of the key at this code's place on a PC keyboard, for the
// letters, digits and punctuation; 0 for other codes. Used when the layout lacks the keysym.
unsigned pcKeycode(int vk);

// Tests replace the key and focus sources; nullptr restores the X11 ones.
void setKeySource(bool (*down)(int vk), bool (*focused)());
