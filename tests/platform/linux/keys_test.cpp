// The keys: the keypad keys on keycodes of their own on an X server (the glyph lists are
// tested through the text the game draws), and the key state through the real X11 source on a
// private Xvfb (the key state is global to a server, and focus moves must not disturb other
// tests), keys pressed through XTEST (xdotool), which returns once the server has both the press
// and the release of a tap.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "app/keyboard.h"
#include "e2e/harness.h"
#include "game/input.h"
#include "platform/keys.h"
#include "platform/linux/keys_x11.h"
#include "platform/port.h"

#include <GL/glx.h>
#include <cstdlib>
#include <unistd.h>

// The key tables first, then the key state and the focus.
TEST(Keys, KeypadKeysOnTheirOwnKeycodesAndKeysReadOnlyWhileOurWindowHasTheFocus) {
    pid_t server = -1;
    const int display = startXServer({"Xvfb", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, server);
    // Nothing after this test needs the display this replaces.
    setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    Display* dpy = display < 0 ? nullptr : XOpenDisplay(nullptr);
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, 0};
    XVisualInfo* visual = dpy != nullptr ? glXChooseVisual(dpy, DefaultScreen(dpy), attributes) : nullptr;
    if (visual == nullptr) {
        waitStatus(server, 0);
        GTEST_SKIP() << "needs Xvfb with GLX";
    }
    // Players bind keypad and main keys apart: digits, arrows, Home/End/PgUp/PgDn, Insert/Delete.
    // Both names of a keypad digit (NumLock on and off) are one key; X also puts KP_Decimal elsewhere.
    const int pairs[][2] = {{96, 48}, {97, 49}, {98, 50}, {99, 51}, {100, 52}, {101, 53}, {102, 54}, {103, 55},
                            {104, 56}, {105, 57}, {104, 38}, {98, 40}, {100, 37}, {102, 39}, {96, 45}, {110, 46},
                            {103, 36}, {97, 35}, {105, 33}, {99, 34}, {107, 187}, {109, 189}, {111, 191}};
    for (const auto& [pad, main] : pairs) {
        const KeyCode padCode = XKeysymToKeycode(dpy, vkToKeysym(pad));
        EXPECT_TRUE(padCode != 0 && padCode != XKeysymToKeycode(dpy, vkToKeysym(main))) << pad << " " << main;
        EXPECT_TRUE(pad > 105 || vkAlternateKeysym(pad) == 0 || XKeysymToKeycode(dpy, vkAlternateKeysym(pad)) == padCode) << pad;
    }
    // On a US layout the PC places agree with the server (the keys the game polls are pressed
    // through the server in the end-to-end tests).
    for (int vk = 0; vk < 256 && XKeysymToKeycode(dpy, 'q') == 24; ++vk) {
        EXPECT_TRUE(pcKeycode(vk) == 0 || pcKeycode(vk) == XKeysymToKeycode(dpy, vkToKeysym(vk))) << vk;
    }
    const auto window = [&](int x) {
        XSetWindowAttributes a{};
        a.colormap = XCreateColormap(dpy, DefaultRootWindow(dpy), visual->visual, AllocNone);
        const Window w = XCreateWindow(dpy, DefaultRootWindow(dpy), x, 10, 400, 300, 0, visual->depth, InputOutput,
                                       visual->visual, CWColormap, &a);
        XMapWindow(dpy, w), XSync(dpy, False);
        return w;
    };
    const Window game = window(10), other = window(500);
    ASSERT_TRUE(glXMakeCurrent(dpy, game, glXCreateContext(dpy, visual, nullptr, True)));
    ASSERT_TRUE(openKeyboard("zarv 713a"));
    const auto run = [&](const std::string& args) { runCapture("xdotool " + args, display), usleep(2000); };
    KeyBindings b{};
    setDefaultKeyBindings(b);
    const auto poll = [&](const std::string& args) { return run(args), pollKeyboard(b), b; };
    EXPECT_TRUE(poll("windowfocus --sync " + std::to_string(game) + " keydown Up").upHeld && windowFocused() &&
                !b.forwardHeld);
    EXPECT_TRUE(poll("keyup Up keydown KP_8").forwardHeld && !b.upHeld);  // the keypad stays apart from the arrows
    EXPECT_TRUE(poll("keyup KP_8 keydown Shift_R").shiftHeld && asyncKeyDown(161) && !asyncKeyDown(162));
    run("keyup Shift_R click 8");  // mouse button 8, tapped between two reads, reads as down once
    EXPECT_TRUE(asyncKeyDown(5) && !asyncKeyDown(5));
    // A tap shorter than a frame waits for its own code's query, also when other codes' queries
    // refresh the keyboard read first, as one frame's reads are spread on a busy machine; a key that
    // is two codes (left Shift is 16 and 160) is pressed once for each. Two busy processes load the machine for
    // a while, niced so as not to starve the test of its turns.
    std::system("for i in 1 2; do timeout 5 nice -n 19 sh -c 'while :; do :; done' >/dev/null 2>&1 & done");
    int readOnce = 0;
    for (int i = 0; i < 40; ++i) {
        const int code = i % 2 == 0 ? 13 : 160;
        run(code == 13 ? "key --delay 0 Return" : "key --delay 0 Shift_L");
        asyncKeyDown(38), usleep(1500), asyncKeyDown(40);
        readOnce += asyncKeyDown(code) && !asyncKeyDown(code) && (code == 13 || asyncKeyDown(16));
    }
    EXPECT_EQ(readOnce, 40);
    // The poll would end the process if F12 were seen.
    EXPECT_FALSE(poll("windowfocus --sync " + std::to_string(other) + " keydown Up keydown F12 key --delay 0 Return")
                     .upHeld || windowFocused());
    // Up is down all the same (only the focus gate keeps it out); the tap belongs to the other window.
    EXPECT_TRUE(asyncKeyDown(38) && !asyncKeyDown(13));
    run("keyup F12 keyup Up");
    // PointerRoot, and focus on an ancestor as a window manager's frame has it: the pointer decides,
    // over our window, over the other one, over the bare root.
    for (Window w : {Window(PointerRoot), DefaultRootWindow(dpy)}) {
        XSetInputFocus(dpy, w, RevertToPointerRoot, CurrentTime), XSync(dpy, False);
        for (const auto& [at, ours] : {std::pair{"100 100", true}, {"700 100", false}, {"100 600", false}}) {
            run(std::string("mousemove ") + at);
            EXPECT_EQ(windowFocused(), ours) << w << " at " << at;
        }
    }
    // The buttons are read wherever the pointer is (here over the bare root).
    for (const auto& [button, code] : {std::pair{1, 1}, {3, 2}, {2, 4}}) {  // left, right, middle
        run("mousedown " + std::to_string(button));
        EXPECT_TRUE(asyncKeyDown(code) && !asyncKeyDown(code == 1 ? 2 : 1)) << button;
        run("mouseup " + std::to_string(button));
    }
    closeKeyboard(), waitStatus(server, 0);  // this connection and the test's die with the server
}
