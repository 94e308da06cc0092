#include "platform/linux/keys_x11.h"

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
    {3, XK_Break, 0},  // Ctrl + Break: the Pause key with Control held
    {8, XK_BackSpace, 0},
    {9, XK_Tab, 0},
    {12, XK_Clear, 0},
    {13, XK_Return, XK_KP_Enter},
    {16, XK_Shift_L, XK_Shift_R},
    {17, XK_Control_L, XK_Control_R},
    {18, XK_Alt_L, XK_Alt_R},
    {19, XK_Pause, 0},
    {20, XK_Caps_Lock, 0},
    {27, XK_Escape, 0},
    {32, XK_space, 0},
    {33, XK_Prior, 0},
    {34, XK_Next, 0},
    {35, XK_End, 0},
    {36, XK_Home, 0},
    {37, XK_Left, 0},
    {38, XK_Up, 0},
    {39, XK_Right, 0},
    {40, XK_Down, 0},
    {41, XK_Select, 0},
    {42, 0xfd1d, 0},  // the old Print key, which PC keyboards lack: X knows it only as 3270_PrintScreen
    {43, XK_Execute, 0},
    {44, XK_Print, XK_Sys_Req},  // Print Screen
    {45, XK_Insert, 0},
    {46, XK_Delete, 0},
    {47, XK_Help, 0},
    {48, XK_0, 0},
    {49, XK_1, 0},
    {50, XK_2, 0},
    {51, XK_3, 0},
    {52, XK_4, 0},
    {53, XK_5, 0},
    {54, XK_6, 0},
    {55, XK_7, 0},
    {56, XK_8, 0},
    {57, XK_9, 0},
    {65, XK_a, 0},
    {66, XK_b, 0},
    {67, XK_c, 0},
    {68, XK_d, 0},
    {69, XK_e, 0},
    {70, XK_f, 0},
    {71, XK_g, 0},
    {72, XK_h, 0},
    {73, XK_i, 0},
    {74, XK_j, 0},
    {75, XK_k, 0},
    {76, XK_l, 0},
    {77, XK_m, 0},
    {78, XK_n, 0},
    {79, XK_o, 0},
    {80, XK_p, 0},
    {81, XK_q, 0},
    {82, XK_r, 0},
    {83, XK_s, 0},
    {84, XK_t, 0},
    {85, XK_u, 0},
    {86, XK_v, 0},
    {87, XK_w, 0},
    {88, XK_x, 0},
    {89, XK_y, 0},
    {90, XK_z, 0},
    {91, XK_Super_L, 0},
    {92, XK_Super_R, 0},
    {93, XK_Menu, 0},
    {95, XF86XK_Sleep, 0},
    {96, XK_KP_0, XK_KP_Insert},
    {97, XK_KP_1, XK_KP_End},
    {98, XK_KP_2, XK_KP_Down},
    {99, XK_KP_3, XK_KP_Next},
    {100, XK_KP_4, XK_KP_Left},
    {101, XK_KP_5, XK_KP_Begin},
    {102, XK_KP_6, XK_KP_Right},
    {103, XK_KP_7, XK_KP_Home},
    {104, XK_KP_8, XK_KP_Up},
    {105, XK_KP_9, XK_KP_Prior},
    {106, XK_KP_Multiply, 0},
    {107, XK_KP_Add, 0},
    {108, XK_KP_Separator, 0},
    {109, XK_KP_Subtract, 0},
    {110, XK_KP_Decimal, XK_KP_Delete},
    {111, XK_KP_Divide, 0},
    {112, XK_F1, 0},
    {113, XK_F2, 0},
    {114, XK_F3, 0},
    {115, XK_F4, 0},
    {116, XK_F5, 0},
    {117, XK_F6, 0},
    {118, XK_F7, 0},
    {119, XK_F8, 0},
    {120, XK_F9, 0},
    {121, XK_F10, 0},
    {122, XK_F11, 0},
    {123, XK_F12, 0},
    {124, XK_F13, 0},
    {125, XK_F14, 0},
    {126, XK_F15, 0},
    {127, XK_F16, 0},
    {128, XK_F17, 0},
    {129, XK_F18, 0},
    {130, XK_F19, 0},
    {131, XK_F20, 0},
    {132, XK_F21, 0},
    {133, XK_F22, 0},
    {134, XK_F23, 0},
    {135, XK_F24, 0},
    {144, XK_Num_Lock, 0},
    {145, XK_Scroll_Lock, 0},
    {160, XK_Shift_L, 0},
    {161, XK_Shift_R, 0},
    {162, XK_Control_L, 0},
    {163, XK_Control_R, 0},
    {164, XK_Alt_L, 0},
    {165, XK_Alt_R, 0},
    {166, XF86XK_Back, 0},
    {167, XF86XK_Forward, 0},
    {168, XF86XK_Refresh, 0},
    {169, XF86XK_Stop, 0},
    {170, XF86XK_Search, 0},
    {171, XF86XK_Favorites, 0},
    {172, XF86XK_HomePage, 0},
    {173, XF86XK_AudioMute, 0},
    {174, XF86XK_AudioLowerVolume, 0},
    {175, XF86XK_AudioRaiseVolume, 0},
    {176, XF86XK_AudioNext, 0},
    {177, XF86XK_AudioPrev, 0},
    {178, XF86XK_AudioStop, 0},
    {179, XF86XK_AudioPlay, 0},
    {180, XF86XK_Mail, 0},
    {181, XF86XK_AudioMedia, 0},
    {182, XF86XK_MyComputer, 0},
    {183, XF86XK_Calculator, 0},
    {186, XK_semicolon, 0},
    {187, XK_equal, 0},
    {188, XK_comma, 0},
    {189, XK_minus, 0},
    {190, XK_period, 0},
    {191, XK_slash, 0},
    {192, XK_grave, 0},
    {219, XK_bracketleft, 0},
    {220, XK_backslash, 0},
    {221, XK_bracketright, 0},
    {222, XK_apostrophe, 0},
    {226, XK_less, 0},  // the extra key beside left Shift on 105-key keyboards
};

// Where the letter, digit and punctuation keys sit on a PC keyboard, as X keycodes of the
// evdev numbering. A layout without Latin letters (Bulgarian alone, say) has no keycode for
// XK_a; the code then still means the key at that place, as it does on Windows.
struct VkPlace {
    int vk;
    unsigned char keycode;
};
constexpr VkPlace kPcPlaces[] = {
    {48, 19},  {49, 10},  {50, 11},  {51, 12},  {52, 13},  {53, 14},  {54, 15},  {55, 16},  {56, 17},
    {57, 18},  {65, 38},  {66, 56},  {67, 54},  {68, 40},  {69, 26},  {70, 41},  {71, 42},  {72, 43},
    {73, 31},  {74, 44},  {75, 45},  {76, 46},  {77, 58},  {78, 57},  {79, 32},  {80, 33},  {81, 24},
    {82, 27},  {83, 39},  {84, 28},  {85, 30},  {86, 55},  {87, 25},  {88, 53},  {89, 29},  {90, 52},
    {186, 47}, {187, 21}, {188, 59}, {189, 20}, {190, 60}, {191, 61}, {192, 49}, {219, 34}, {220, 51},
    {221, 35}, {222, 48}, {226, 94},
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
