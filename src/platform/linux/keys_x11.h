#pragma once
// The X11 key reading's own parts: its connection, the key tables (key_tables.cpp) and the focus
// test (focus.cpp); keys.cpp reads the keys.
#include <X11/Xlib.h>

// The connection key queries go through, apart from GLUT's; null while none is open.
extern Display* keyDisplay;

// The keysym that stands for a virtual-key code, or 0 when the code has none (mouse buttons too).
unsigned long vkToKeysym(int vk);
// The second keysym of the same key where X names it twice (keypad 8 is KP_8 and KP_Up; the
// generic Shift, Control and Alt codes are the right-hand keys), else 0.
unsigned long vkAlternateKeysym(int vk);
// The X keycode (evdev numbering) of the key at this code's place on a PC keyboard, for the
// letters, digits and punctuation; 0 for other codes. Used when the layout lacks the keysym.
unsigned pcKeycode(int vk);
// The keycodes (up to two) of each virtual-key code on keyDisplay's keyboard.
void resolveKeycodes(unsigned char keycodes[256][2]);

// Where a key pressed now would go: to our window, to another client's, or to no client at all
// (no focus, the bare root, a window manager's frame around ours).
enum class KeysGo { ToUs, Elsewhere, Nowhere };
KeysGo whereKeysGo(Window ours);
// A new connection asks the window tree afresh.
void forgetAncestry();
