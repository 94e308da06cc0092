// The virtual-key code and Windows-1251 tables, and the keys against an X server. (The glyph lists
// are tested through the text the game draws.)
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "platform/fonts.h"
#include "platform/keys.h"
#include "platform/linux/keysyms.h"
#include "support/test_support.h"

#include <X11/Xlib.h>

TEST(KeyTable, DigestAndKeypadKeysOnTheirOwnKeycodes) {
    Digest d;
    for (int vk = -1; vk <= 256; ++vk) {
        d.add(double(vkToKeysym(vk))), d.add(double(vkAlternateKeysym(vk))), d.add(pcKeycode(vk));
    }
    for (int b = 0; b < 256; ++b) {
        d.add(cp1251ToUnicode(static_cast<unsigned char>(b)));  // the characters text is written in
    }
    expectDigest("key_and_character_tables", d);
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    // Players bind keypad and main keys apart: digits, arrows, Home/End/PgUp/PgDn, Insert/Delete.
    // Both names of a keypad digit (NumLock on and off) are one key; X also puts KP_Decimal elsewhere.
    const int pairs[][2] = {{96, 48}, {97, 49}, {98, 50}, {99, 51}, {100, 52}, {101, 53}, {102, 54}, {103, 55},
                            {104, 56}, {105, 57}, {104, 38}, {98, 40}, {100, 37}, {102, 39}, {96, 45}, {110, 46},
                            {103, 36}, {97, 35}, {105, 33}, {99, 34}, {107, 187}, {109, 189}, {111, 191}};
    for (const auto& [pad, main] : pairs) {
        const KeyCode padCode = XKeysymToKeycode(dpy, vkToKeysym(pad));
        EXPECT_NE(padCode, 0) << pad;
        EXPECT_NE(padCode, XKeysymToKeycode(dpy, vkToKeysym(main))) << pad << " " << main;
        EXPECT_TRUE(pad > 105 || vkAlternateKeysym(pad) == 0 || XKeysymToKeycode(dpy, vkAlternateKeysym(pad)) == padCode) << pad;
    }
    // Every key the program polls exists; on a US layout the PC places agree with the server.
    for (int vk : {8, 9, 13, 16, 27, 32, 37, 38, 39, 40, 113, 116, 118, 119, 120, 122, 123}) {
        EXPECT_NE(XKeysymToKeycode(dpy, vkToKeysym(vk)), 0) << vk;
    }
    for (int vk = 0; vk < 256 && XKeysymToKeycode(dpy, 'q') == 24; ++vk) {
        EXPECT_TRUE(pcKeycode(vk) == 0 || pcKeycode(vk) == XKeysymToKeycode(dpy, vkToKeysym(vk))) << vk;
    }
    XCloseDisplay(dpy);
}
