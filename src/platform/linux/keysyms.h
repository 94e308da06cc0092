#pragma once
// How the X11 key reading maps virtual-key codes to keys.

// The keysym that stands for a virtual-key code, or 0 when the code has none (mouse buttons too).
unsigned long vkToKeysym(int vk);
// The second keysym of the same key where X names it twice (keypad 8 is KP_8 and KP_Up; the
// generic Shift, Control and Alt codes are the right-hand keys), else 0.
unsigned long vkAlternateKeysym(int vk);

// The X keycode (evdev numbering) of the key at this code's place on a PC keyboard, for the
// letters, digits and punctuation; 0 for other codes. Used when the layout lacks the keysym.
unsigned pcKeycode(int vk);
