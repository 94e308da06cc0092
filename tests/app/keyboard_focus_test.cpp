// pollKeyboard with the real X11 source on a private Xvfb, keys pressed through XTEST (xdotool).
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "app/keyboard.h"
#include "platform/keys.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern char** environ;

namespace {

// A server of our own: key state is global to a server, and focus moves here must not
// disturb other tests or a desktop.
class PrivateServer {
public:
    bool start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                              nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            pid_ = 0;
            return false;
        }
        char number[16] = {};
        pollfd p{fds[0], POLLIN, 0};
        std::size_t got = 0;
        while (got < sizeof number - 1 && poll(&p, 1, 10000) > 0) {
            const ssize_t n = read(fds[0], number + got, sizeof number - 1 - got);
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
            if (number[got - 1] == '\n') {
                break;
            }
        }
        close(fds[0]);
        if (got == 0) {
            return false;
        }
        name_ = ":" + std::to_string(std::atoi(number));
        return true;
    }
    ~PrivateServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = 0;
    std::string name_;
};

class KeyboardFocusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0 || !server.start()) {
            GTEST_SKIP() << "needs Xvfb and xdotool";
        }
        const char* old = std::getenv("DISPLAY");
        hadDisplay = old != nullptr;
        oldDisplay = old != nullptr ? old : "";
        setenv("DISPLAY", server.name().c_str(), 1);
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, 0};
        visual = glXChooseVisual(dpy, DefaultScreen(dpy), attributes);
        ASSERT_NE(visual, nullptr);
        context = glXCreateContext(dpy, visual, nullptr, True);
        ASSERT_NE(context, nullptr);
        game = makeWindow(10, 10, true);
        other = makeWindow(500, 10, false);
        ASSERT_TRUE(glXMakeCurrent(dpy, game, context));
        ASSERT_TRUE(openKeyboard());
        setKeySource(nullptr, nullptr);
        bindings = KeyBindings{};
        setDefaultKeyBindings(bindings);
    }

    void TearDown() override {
        if (dpy != nullptr) {
            xdotool("keyup Up KP_8 F12 Return");
            glXMakeCurrent(dpy, 0, nullptr);
            if (context != nullptr) {
                glXDestroyContext(dpy, context);
            }
            if (visual != nullptr) {
                XFree(visual);
            }
            XCloseDisplay(dpy);
        }
        closeKeyboard();
        if (hadDisplay) {
            setenv("DISPLAY", oldDisplay.c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }

    Window makeWindow(int x, int y, bool glCapable) {
        XSetWindowAttributes attributes{};
        attributes.colormap =
            XCreateColormap(dpy, RootWindow(dpy, visual->screen), visual->visual, AllocNone);
        attributes.event_mask = StructureNotifyMask;
        const Window w = XCreateWindow(dpy, RootWindow(dpy, visual->screen), x, y, 400, 300, 0, visual->depth,
                                       InputOutput, visual->visual, CWColormap | CWEventMask, &attributes);
        (void)glCapable;
        XMapWindow(dpy, w);
        XEvent event;
        do {
            XNextEvent(dpy, &event);
        } while (event.type != MapNotify || event.xmap.window != w);
        return w;
    }

    int xdotool(const std::string& args) {
        const std::string command = "DISPLAY=" + server.name() + " xdotool " + args + " >/dev/null 2>&1";
        return std::system(command.c_str());
    }

    int focus(Window w) { return xdotool("windowfocus --sync " + std::to_string(w)); }

    PrivateServer server;
    bool hadDisplay = false;
    std::string oldDisplay;
    Display* dpy = nullptr;
    XVisualInfo* visual = nullptr;
    GLXContext context = nullptr;
    Window game = 0;
    Window other = 0;
    KeyBindings bindings{};
};

TEST_F(KeyboardFocusTest, FocusedWindowSeesKeysAndKeypadStaysApartFromArrows) {
    ASSERT_EQ(focus(game), 0);
    EXPECT_TRUE(windowFocused());
    ASSERT_EQ(xdotool("keydown Up"), 0);
    usleep(2000);
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.upHeld, 1);
    EXPECT_EQ(bindings.forwardHeld, 0);
    ASSERT_EQ(xdotool("keyup Up keydown KP_8"), 0);
    usleep(2000);
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.upHeld, 0);
    EXPECT_EQ(bindings.forwardHeld, 1);
    ASSERT_EQ(xdotool("keyup KP_8 keydown Shift_R"), 0);
    usleep(2000);
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.forwardHeld, 0);
    EXPECT_EQ(bindings.shiftHeld, 1);
    EXPECT_TRUE(asyncKeyDown(161));
    EXPECT_FALSE(asyncKeyDown(162));  // (xdotool holds Shift_L too, so 160 proves nothing)
    xdotool("keyup Shift_R");
}

TEST_F(KeyboardFocusTest, UnfocusedWindowReadsNothingAndIgnoresF12) {
    ASSERT_EQ(focus(other), 0);
    EXPECT_FALSE(windowFocused());
    ASSERT_EQ(xdotool("keydown Up keydown F12"), 0);
    usleep(2000);
    pollKeyboard(bindings);  // would end the process if F12 were seen
    EXPECT_EQ(bindings.upHeld, 0);
    // The key is down all the same: only the focus gate keeps it out.
    EXPECT_TRUE(asyncKeyDown(38));
    ASSERT_EQ(xdotool("keyup F12"), 0);
    ASSERT_EQ(focus(game), 0);
    usleep(2000);
    pollKeyboard(bindings);
    EXPECT_EQ(bindings.upHeld, 1);
}

TEST_F(KeyboardFocusTest, PointerRootFocusFollowsThePointer) {
    XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
    ASSERT_EQ(xdotool("mousemove 100 100"), 0);
    EXPECT_TRUE(windowFocused());
    ASSERT_EQ(xdotool("mousemove 700 100"), 0);  // over the other window
    EXPECT_FALSE(windowFocused());
    ASSERT_EQ(xdotool("mousemove 100 600"), 0);  // over the bare root
    EXPECT_FALSE(windowFocused());
}

TEST_F(KeyboardFocusTest, FocusOnAnAncestorFollowsThePointer) {
    // As when a window manager keeps the focus on its frame around our window.
    XSetInputFocus(dpy, DefaultRootWindow(dpy), RevertToPointerRoot, CurrentTime);
    XSync(dpy, False);
    ASSERT_EQ(xdotool("mousemove 100 100"), 0);
    EXPECT_TRUE(windowFocused());
    ASSERT_EQ(xdotool("mousemove 700 100"), 0);
    EXPECT_FALSE(windowFocused());
}

TEST_F(KeyboardFocusTest, ANewCurrentWindowIsTheOneThatCounts) {
    // Re-creating the game window makes another drawable current; the focus test follows it.
    ASSERT_EQ(focus(other), 0);
    EXPECT_FALSE(windowFocused());
    ASSERT_TRUE(glXMakeCurrent(dpy, other, context));
    EXPECT_TRUE(windowFocused());
}

TEST_F(KeyboardFocusTest, MouseButtonsReadByTheirCodes) {
    ASSERT_EQ(focus(game), 0);
    ASSERT_EQ(xdotool("mousemove 100 100 mousedown 1"), 0);
    usleep(2000);
    EXPECT_TRUE(asyncKeyDown(1));
    EXPECT_FALSE(asyncKeyDown(2));
    ASSERT_EQ(xdotool("mouseup 1 mousedown 3"), 0);
    usleep(2000);
    EXPECT_FALSE(asyncKeyDown(1));
    EXPECT_TRUE(asyncKeyDown(2));
    ASSERT_EQ(xdotool("mouseup 3 mousedown 2"), 0);
    usleep(2000);
    EXPECT_TRUE(asyncKeyDown(4));
    xdotool("mouseup 2");
}

}  // namespace
