// The virtual-key code to keysym table, with and without an X server.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "platform/keys.h"
#include "platform/linux/keysyms.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

// Every code the key-name table names, besides 0 (a blank) and the mouse buttons.
std::vector<int> namedKeyboardCodes() {
    std::vector<int> codes = {3,  8,  9,  12, 13, 19, 20, 32, 33, 34,  35,  36,  37,  38,  39,  40,  41,
                              42, 43, 44, 45, 46, 47, 91, 92, 93, 95,  106, 107, 108, 109, 110, 111, 144,
                              145, 160, 161, 162, 163, 164, 165, 186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222};
    for (int c = 48; c <= 57; ++c) {
        codes.push_back(c);
    }
    for (int c = 65; c <= 90; ++c) {
        codes.push_back(c);
    }
    for (int c = 96; c <= 105; ++c) {
        codes.push_back(c);
    }
    return codes;
}

// The fixed keys the program polls: arrows, Enter, Shift, Esc, Backspace, Space, the function keys.
const int kPolledCodes[] = {8, 9, 13, 16, 27, 32, 37, 38, 39, 40, 113, 116, 118, 119, 120, 122, 123};

TEST(KeyTable, EveryNamedAndEveryPolledCodeHasAKeysym) {
    for (int vk : namedKeyboardCodes()) {
        EXPECT_NE(vkToKeysym(vk), 0u) << "code " << vk;
    }
    for (int vk : kPolledCodes) {
        EXPECT_NE(vkToKeysym(vk), 0u) << "code " << vk;
    }
    // The mouse buttons are read from the pointer, not from a key.
    for (int vk : {0, 1, 2, 4, 5, 6, 7, 256, -1, 1000}) {
        EXPECT_EQ(vkToKeysym(vk), 0u) << "code " << vk;
    }
}

TEST(KeyTable, KnownCodesMapToTheirKeys) {
    EXPECT_EQ(vkToKeysym(104), static_cast<unsigned long>(XK_KP_8));
    EXPECT_EQ(vkAlternateKeysym(104), static_cast<unsigned long>(XK_KP_Up));
    EXPECT_EQ(vkToKeysym(96), static_cast<unsigned long>(XK_KP_0));
    EXPECT_EQ(vkAlternateKeysym(96), static_cast<unsigned long>(XK_KP_Insert));
    EXPECT_EQ(vkToKeysym(38), static_cast<unsigned long>(XK_Up));
    EXPECT_EQ(vkToKeysym(9), static_cast<unsigned long>(XK_Tab));
    EXPECT_EQ(vkToKeysym(27), static_cast<unsigned long>(XK_Escape));
    EXPECT_EQ(vkToKeysym(89), static_cast<unsigned long>(XK_y));
    EXPECT_EQ(vkToKeysym(187), static_cast<unsigned long>(XK_equal));
    EXPECT_EQ(vkToKeysym(107), static_cast<unsigned long>(XK_KP_Add));
    EXPECT_EQ(vkToKeysym(116), static_cast<unsigned long>(XK_F5));
    EXPECT_EQ(vkToKeysym(123), static_cast<unsigned long>(XK_F12));
    EXPECT_EQ(vkToKeysym(16), static_cast<unsigned long>(XK_Shift_L));
    EXPECT_EQ(vkAlternateKeysym(16), static_cast<unsigned long>(XK_Shift_R));
}

TEST(KeyTable, NoKeysymServesTwoCodesExceptTheGenericModifiers) {
    std::map<unsigned long, std::set<int>> codesOfKeysym;
    for (int vk = 0; vk < 256; ++vk) {
        if (vkToKeysym(vk) != 0) {
            codesOfKeysym[vkToKeysym(vk)].insert(vk);
        }
        if (vkAlternateKeysym(vk) != 0) {
            EXPECT_NE(vkAlternateKeysym(vk), vkToKeysym(vk)) << vk;
            codesOfKeysym[vkAlternateKeysym(vk)].insert(vk);
        }
    }
    // Generic Shift, Control and Alt (16, 17, 18) are either of the left and right keys.
    const std::set<std::set<int>> allowed = {{16, 160}, {16, 161}, {17, 162}, {17, 163}, {18, 164}, {18, 165}};
    for (const auto& [keysym, codes] : codesOfKeysym) {
        if (codes.size() > 1) {
            EXPECT_TRUE(allowed.count(codes) == 1) << "keysym " << std::hex << keysym << " has " << codes.size();
        }
    }
}

// The numeric-pad codes and the main-keyboard keys that Windows names alike or that X puts on
// the same key when NumLock changes.
const std::pair<int, int> kPadAndMain[] = {
    {96, 48},  {97, 49},  {98, 50},  {99, 51},   {100, 52},  {101, 53},  {102, 54},  {103, 55},
    {104, 56}, {105, 57}, {104, 38}, {98, 40},   {100, 37},  {102, 39},  {96, 45},   {110, 46},
    {103, 36}, {97, 35},  {105, 33}, {99, 34},   {107, 187}, {109, 189}, {110, 190}, {111, 191},
};

TEST(KeyTable, KeypadKeysAreDistinctFromMainKeys) {
    for (const auto& [pad, main] : kPadAndMain) {
        EXPECT_NE(vkToKeysym(pad), vkToKeysym(main)) << pad << " " << main;
        EXPECT_NE(vkAlternateKeysym(pad), vkToKeysym(main)) << pad << " " << main;
    }
}

TEST(KeyTable, KeypadKeysSitOnTheirOwnKeycodesOfTheServer) {
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    for (const auto& [pad, main] : kPadAndMain) {
        const KeyCode padCode = XKeysymToKeycode(dpy, vkToKeysym(pad));
        const KeyCode mainCode = XKeysymToKeycode(dpy, vkToKeysym(main));
        ASSERT_NE(padCode, 0) << pad;
        ASSERT_NE(mainCode, 0) << main;
        EXPECT_NE(padCode, mainCode) << pad << " " << main;
        if (vkAlternateKeysym(pad) == 0) {
            continue;
        }
        const KeyCode alternateCode = XKeysymToKeycode(dpy, vkAlternateKeysym(pad));
        EXPECT_NE(alternateCode, mainCode) << pad << " " << main;
        // Both names of a keypad digit (NumLock on and off) are the same physical key. The
        // keypad's decimal point is the exception: X also puts KP_Decimal on the keypad comma.
        if (pad <= 105) {
            EXPECT_EQ(alternateCode, padCode) << pad;
        }
    }
    // Every fixed key the program polls exists on the standard keyboard.
    for (int vk : kPolledCodes) {
        EXPECT_NE(XKeysymToKeycode(dpy, vkToKeysym(vk)), 0) << vk;
    }
    XCloseDisplay(dpy);
}

TEST(KeyTable, PcPlacesAgreeWithAUsKeyboard) {
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    if (XKeysymToKeycode(dpy, XK_Escape) != 9 || XKeysymToKeycode(dpy, XK_q) != 24) {
        XCloseDisplay(dpy);
        GTEST_SKIP() << "not a US layout with evdev keycodes";
    }
    int placed = 0;
    for (int vk = 0; vk < 256; ++vk) {
        if (pcKeycode(vk) != 0) {
            ++placed;
            EXPECT_EQ(pcKeycode(vk), XKeysymToKeycode(dpy, vkToKeysym(vk))) << vk;
        }
    }
    EXPECT_EQ(placed, 10 + 26 + 12);
    EXPECT_EQ(pcKeycode(38), 0u);
    EXPECT_EQ(pcKeycode(104), 0u);
    XCloseDisplay(dpy);
}

TEST(KeyTable, WithoutAConnectionNothingReadsDownOrFocused) {
    closeKeyboard();
    setKeySource(nullptr, nullptr);
    EXPECT_FALSE(asyncKeyDown(38));
    EXPECT_FALSE(asyncKeyDown(1));
    EXPECT_FALSE(windowFocused());
}

TEST(KeyTable, OutOfRangeCodesReadReleased) {
    if (!openKeyboard()) {
        GTEST_SKIP() << "no X display";
    }
    for (int vk : {-1, -32768, 256, 1000, 0}) {
        EXPECT_FALSE(asyncKeyDown(vk)) << vk;
    }
    // No GL context is current here, so there is no game window to have the focus.
    EXPECT_FALSE(windowFocused());
    closeKeyboard();
}

}  // namespace
