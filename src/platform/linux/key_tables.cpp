#include "platform/linux/keys_x11.h"
#include "platform/virtual_keys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

namespace {

struct VkKeysyms {
    int vk;
    KeySym primary;
    KeySym alternate;
};

// Windows virtual-key codes as X keysyms. The keypad keys are found by their keycodes, which
// do not depend on NumLock, so numeric pad 8 stays apart from Up whatever the lock says.
constexpr VkKeysyms kVkTable[] = {
    {VkCtrlBreak, XK_Break, 0},  // Ctrl + Break: the Pause key with Control held
    {VkBackspace, XK_BackSpace, 0},
    {VkTab, XK_Tab, 0},
    {VkClear, XK_Clear, 0},
    {VkEnter, XK_Return, XK_KP_Enter},
    {VkShift, XK_Shift_L, XK_Shift_R},
    {VkControl, XK_Control_L, XK_Control_R},
    {VkAlt, XK_Alt_L, XK_Alt_R},
    {VkPause, XK_Pause, 0},
    {VkCapsLock, XK_Caps_Lock, 0},
    {VkEscape, XK_Escape, 0},
    {VkSpace, XK_space, 0},
    {VkPageUp, XK_Prior, 0},
    {VkPageDown, XK_Next, 0},
    {VkEnd, XK_End, 0},
    {VkHome, XK_Home, 0},
    {VkLeft, XK_Left, 0},
    {VkUp, XK_Up, 0},
    {VkRight, XK_Right, 0},
    {VkDown, XK_Down, 0},
    {VkSelect, XK_Select, 0},
    {VkPrint, 0xfd1d, 0},  // the old Print key, which PC keyboards lack: X knows it only as 3270_PrintScreen
    {VkExecute, XK_Execute, 0},
    {VkPrintScreen, XK_Print, XK_Sys_Req},  // Print Screen
    {VkInsert, XK_Insert, 0},
    {VkDelete, XK_Delete, 0},
    {VkHelp, XK_Help, 0},
    {Vk0, XK_0, 0},
    {Vk1, XK_1, 0},
    {Vk2, XK_2, 0},
    {Vk3, XK_3, 0},
    {Vk4, XK_4, 0},
    {Vk5, XK_5, 0},
    {Vk6, XK_6, 0},
    {Vk7, XK_7, 0},
    {Vk8, XK_8, 0},
    {Vk9, XK_9, 0},
    {VkA, XK_a, 0},
    {VkB, XK_b, 0},
    {VkC, XK_c, 0},
    {VkD, XK_d, 0},
    {VkE, XK_e, 0},
    {VkF, XK_f, 0},
    {VkG, XK_g, 0},
    {VkH, XK_h, 0},
    {VkI, XK_i, 0},
    {VkJ, XK_j, 0},
    {VkK, XK_k, 0},
    {VkL, XK_l, 0},
    {VkM, XK_m, 0},
    {VkN, XK_n, 0},
    {VkO, XK_o, 0},
    {VkP, XK_p, 0},
    {VkQ, XK_q, 0},
    {VkR, XK_r, 0},
    {VkS, XK_s, 0},
    {VkT, XK_t, 0},
    {VkU, XK_u, 0},
    {VkV, XK_v, 0},
    {VkW, XK_w, 0},
    {VkX, XK_x, 0},
    {VkY, XK_y, 0},
    {VkZ, XK_z, 0},
    {VkLeftWindows, XK_Super_L, 0},
    {VkRightWindows, XK_Super_R, 0},
    {VkContextMenu, XK_Menu, 0},
    {VkSleep, XF86XK_Sleep, 0},
    {VkNumpad0, XK_KP_0, XK_KP_Insert},
    {VkNumpad1, XK_KP_1, XK_KP_End},
    {VkNumpad2, XK_KP_2, XK_KP_Down},
    {VkNumpad3, XK_KP_3, XK_KP_Next},
    {VkNumpad4, XK_KP_4, XK_KP_Left},
    {VkNumpad5, XK_KP_5, XK_KP_Begin},
    {VkNumpad6, XK_KP_6, XK_KP_Right},
    {VkNumpad7, XK_KP_7, XK_KP_Home},
    {VkNumpad8, XK_KP_8, XK_KP_Up},
    {VkNumpad9, XK_KP_9, XK_KP_Prior},
    {VkMultiply, XK_KP_Multiply, 0},
    {VkAdd, XK_KP_Add, 0},
    {VkSeparator, XK_KP_Separator, 0},
    {VkSubtract, XK_KP_Subtract, 0},
    {VkDecimal, XK_KP_Decimal, XK_KP_Delete},
    {VkDivide, XK_KP_Divide, 0},
    {VkF1, XK_F1, 0},
    {VkF2, XK_F2, 0},
    {VkF3, XK_F3, 0},
    {VkF4, XK_F4, 0},
    {VkF5, XK_F5, 0},
    {VkF6, XK_F6, 0},
    {VkF7, XK_F7, 0},
    {VkF8, XK_F8, 0},
    {VkF9, XK_F9, 0},
    {VkF10, XK_F10, 0},
    {VkF11, XK_F11, 0},
    {VkF12, XK_F12, 0},
    {VkF13, XK_F13, 0},
    {VkF14, XK_F14, 0},
    {VkF15, XK_F15, 0},
    {VkF16, XK_F16, 0},
    {VkF17, XK_F17, 0},
    {VkF18, XK_F18, 0},
    {VkF19, XK_F19, 0},
    {VkF20, XK_F20, 0},
    {VkF21, XK_F21, 0},
    {VkF22, XK_F22, 0},
    {VkF23, XK_F23, 0},
    {VkF24, XK_F24, 0},
    {VkNumLock, XK_Num_Lock, 0},
    {VkScrollLock, XK_Scroll_Lock, 0},
    {VkLeftShift, XK_Shift_L, 0},
    {VkRightShift, XK_Shift_R, 0},
    {VkLeftControl, XK_Control_L, 0},
    {VkRightControl, XK_Control_R, 0},
    {VkLeftAlt, XK_Alt_L, 0},
    {VkRightAlt, XK_Alt_R, 0},
    {VkBrowserBack, XF86XK_Back, 0},
    {VkBrowserForward, XF86XK_Forward, 0},
    {VkBrowserRefresh, XF86XK_Refresh, 0},
    {VkBrowserStop, XF86XK_Stop, 0},
    {VkBrowserSearch, XF86XK_Search, 0},
    {VkBrowserFavorites, XF86XK_Favorites, 0},
    {VkBrowserHome, XF86XK_HomePage, 0},
    {VkVolumeMute, XF86XK_AudioMute, 0},
    {VkVolumeDown, XF86XK_AudioLowerVolume, 0},
    {VkVolumeUp, XF86XK_AudioRaiseVolume, 0},
    {VkMediaNext, XF86XK_AudioNext, 0},
    {VkMediaPrevious, XF86XK_AudioPrev, 0},
    {VkMediaStop, XF86XK_AudioStop, 0},
    {VkMediaPlayPause, XF86XK_AudioPlay, 0},
    {VkLaunchMail, XF86XK_Mail, 0},
    {VkLaunchMedia, XF86XK_AudioMedia, 0},
    {VkLaunchApp1, XF86XK_MyComputer, 0},
    {VkLaunchApp2, XF86XK_Calculator, 0},
    {VkSemicolon, XK_semicolon, 0},
    {VkEquals, XK_equal, 0},
    {VkComma, XK_comma, 0},
    {VkMinus, XK_minus, 0},
    {VkPeriod, XK_period, 0},
    {VkSlash, XK_slash, 0},
    {VkGrave, XK_grave, 0},
    {VkLeftBracket, XK_bracketleft, 0},
    {VkBackslash, XK_backslash, 0},
    {VkRightBracket, XK_bracketright, 0},
    {VkApostrophe, XK_apostrophe, 0},
    {VkOem102, XK_less, 0},  // the extra key beside left Shift on 105-key keyboards
};

// Where the letter, digit and punctuation keys sit on a PC keyboard, as X keycodes of the
// evdev numbering. A layout without Latin letters (Bulgarian alone, say) has no keycode for
// XK_a; the code then still means the key at that place, as it does on Windows.
struct VkPlace {
    int vk;
    unsigned char keycode;
};
constexpr VkPlace kPcPlaces[] = {
    {Vk0, 19}, {Vk1, 10}, {Vk2, 11}, {Vk3, 12}, {Vk4, 13}, {Vk5, 14}, {Vk6, 15},
    {Vk7, 16}, {Vk8, 17}, {Vk9, 18}, {VkA, 38}, {VkB, 56}, {VkC, 54}, {VkD, 40},
    {VkE, 26}, {VkF, 41}, {VkG, 42}, {VkH, 43}, {VkI, 31}, {VkJ, 44}, {VkK, 45},
    {VkL, 46}, {VkM, 58}, {VkN, 57}, {VkO, 32}, {VkP, 33}, {VkQ, 24}, {VkR, 27},
    {VkS, 39}, {VkT, 28}, {VkU, 30}, {VkV, 55}, {VkW, 25}, {VkX, 53}, {VkY, 29},
    {VkZ, 52}, {VkSemicolon, 47}, {VkEquals, 21}, {VkComma, 59}, {VkMinus, 20}, {VkPeriod, 60}, {VkSlash, 61},
    {VkGrave, 49}, {VkLeftBracket, 34}, {VkBackslash, 51}, {VkRightBracket, 35}, {VkApostrophe, 48}, {VkOem102, 94},
};
constexpr unsigned char kEvdevEscape = 9;

const VkKeysyms* findVk(int vk) {
    for (const VkKeysyms& entry : kVkTable) {
        if (entry.vk == vk) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

void resolveKeycodes(unsigned char keycodes[256][2]) {
    for (int vk = 0; vk < 256; ++vk) {
        keycodes[vk][0] = keycodes[vk][1] = 0;
    }
    for (const VkKeysyms& entry : kVkTable) {
        keycodes[entry.vk][0] = XKeysymToKeycode(keyDisplay, entry.primary);
        if (entry.alternate != 0) {
            keycodes[entry.vk][1] = XKeysymToKeycode(keyDisplay, entry.alternate);
        }
    }
    // The places are only known for evdev numbering, which puts Escape at 9.
    if (XKeysymToKeycode(keyDisplay, XK_Escape) != kEvdevEscape) {
        return;
    }
    for (const VkPlace& place : kPcPlaces) {
        if (keycodes[place.vk][0] == 0) {
            keycodes[place.vk][0] = place.keycode;
        }
    }
}


unsigned long vkToKeysym(int vk) {
    const VkKeysyms* entry = findVk(vk);
    return entry != nullptr ? entry->primary : 0;
}

unsigned long vkAlternateKeysym(int vk) {
    const VkKeysyms* entry = findVk(vk);
    return entry != nullptr ? entry->alternate : 0;
}

unsigned pcKeycode(int vk) {
    for (const VkPlace& place : kPcPlaces) {
        if (place.vk == vk) {
            return place.keycode;
        }
    }
    return 0;
}
