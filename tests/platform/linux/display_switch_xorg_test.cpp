// The full-screen switch and its undoing on a server that really switches: Xorg with the dummy
// video driver, started privately for this suite (Xvfb offers one mode and refuses every switch).
// The switch module keeps one X connection and its original mode for the life of the process:
// its first call here opens it on DISPLAY, which names the private server while the suite runs;
// the endings run in fresh processes, this program re-executed with ZARV_SWITCH_CHILD set, which a
// static initializer below picks up before main, and the game itself.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "e2e/harness.h"
#include "platform/desktop/desktop.h"
#include "platform/port.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The switching child: 1024x768 at 75 Hz, 800x600 at 72 Hz, then 640x480 at 60, an S printed for each
// switch made (R for a refusal); then it ends as ZARV_SWITCH_CHILD says: exit for 0, _exit (which
// skips the exit handlers) for -1, otherwise by raising that signal.
[[maybe_unused]] const bool switchingChild = [] {
    const char* ending = std::getenv("ZARV_SWITCH_CHILD");
    if (ending == nullptr) {
        return false;
    }
    for (const auto& [w, h, hz] : {std::array{1024u, 768u, 75u}, {800u, 600u, 72u}, {640u, 480u, 60u}}) {
        std::putchar(switchDisplayMode(w, h, 32, hz) ? 'S' : 'R');
    }
    std::fflush(stdout);
    const int signal = std::atoi(ending);
    if (signal > 0) {
        std::raise(signal);
    }
    signal < 0 ? _exit(0) : std::exit(0);
}();

using Mode = std::array<int, 3>;  // width, height, rate

class XorgDisplaySwitchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/zarv-xorg-XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/tmp";
        // No seat, no VT of its own, no input devices (the configuration has none either): all the
        // server needs to run as a plain root process next to anything else on the machine.
        const std::string config = ZARV_SOURCE_DIR "/tests/platform/linux/xorg-dummy.conf";
        display = startXServer({"Xorg", "-config", config, "-logfile", dir + "/xorg.log", "-noreset",
                                "-nolisten", "tcp", "-novtswitch", "-sharevts"},
                               server);
        dpy = display < 0 ? nullptr : XOpenDisplay((":" + std::to_string(display)).c_str());
        // For the switch module's own connection, and the game's; nothing after this suite needs the
        // display it replaces.
        setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    }

    // The suite's own connection dies with the server.
    static void TearDownTestSuite() {
        if (server > 0) {  // never a process group, never every process
            kill(server, SIGTERM), waitStatus(server, 5000);
        }
        std::system(("rm -rf '" + dir + "'").c_str());
    }

    // The current size and rate, the starred ones in the server's own list of sizes and rates.
    static Mode screenMode() {
        const std::string list = runCapture("xrandr --q1", display);
        const std::size_t line = list.find("\n*");
        Mode mode{0, 0, 0};
        if (line != std::string::npos) {
            std::sscanf(list.c_str() + line, "\n*%*d %d x %d", &mode[0], &mode[1]);
            mode[2] = std::atoi(list.c_str() + list.find('*', list.find(')', line)) + 1);
        }
        return mode;
    }

    // Back to the desktop mode, whatever the previous test left.
    void SetUp() override {
        runCapture("xrandr -s 1024x768 -r 60", display);
        if (dpy == nullptr || screenMode() != original) {
            GTEST_SKIP() << "Xorg with the dummy driver did not start, or not with a 1024x768 mode (needs "
                            "xserver-xorg-video-dummy and root without a seat)";
        }
    }

    static inline std::string dir;
    static inline int display = -1;
    static inline pid_t server = -1;
    static inline Display* dpy = nullptr;
    static constexpr Mode original{1024, 768, 60};
};

// Refused, nothing changed: a size larger than the screen, 800x600 at 90 Hz and 640x480 at 70 Hz
// (rates it lacks), sizes it lacks.
TEST_F(XorgDisplaySwitchTest, AModeTheScreenLacksIsRefusedAndChangesNothing) {
    for (const Mode& m :
         {Mode{1280, 1024, 0}, Mode{800, 600, 90}, Mode{640, 480, 70}, Mode{800, 480, 60}, Mode{0, 0, 0}}) {
        EXPECT_FALSE(switchDisplayMode(unsigned(m[0]), unsigned(m[1]), 32, unsigned(m[2]))) << m[0] << m[2];
        EXPECT_EQ(screenMode(), original) << m[0] << " " << m[2];
    }
}

// Every way of ending goes back to the mode before the first switch, rate included (the server
// itself would pick 85 Hz for 1024x768), so each child starts from the desktop mode; the control
// that skips the exit handlers, last, shows the server keeps a switched mode on its own. The
// child's answers come with its exit status as the shell gives it (128 and the signal for one a
// signal ended); a child that hangs ends after 20 s.
TEST_F(XorgDisplaySwitchTest, EveryEndingPutsTheModeBeforeTheFirstSwitchBack) {
    const int endings[] = {0, SIGTERM,
#if !defined(ZARV_SANITIZE)  // AddressSanitizer owns SIGSEGV; the restore handler stays off it
                           SIGSEGV,
#endif
                           -1};
    for (const int ending : endings) {
        SCOPED_TRACE(ending);
        EXPECT_EQ(runCapture("sh -c 'ulimit -c 0; ZARV_SWITCH_CHILD=" + std::to_string(ending) + " /proc/" +
                                 std::to_string(getpid()) + "/exe; echo \" $?\"'",
                             display),
                  "SSS " + std::to_string(ending > 0 ? 128 + ending : 0) + "\n");
        EXPECT_EQ(screenMode(), ending < 0 ? (Mode{640, 480, 60}) : original);
    }
}

// Only a window manager that announces the EWMH full-screen state (faked here on the root
// window) sizes the window to the switched screen; otherwise the game sizes it itself.
TEST_F(XorgDisplaySwitchTest, WindowManagerFullScreenIsSeenOnlyWhenOneAnnouncesIt) {
    const Window root = DefaultRootWindow(dpy);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    const Atom supported = XInternAtom(dpy, "_NET_SUPPORTED", False);
    const Atom states[] = {XInternAtom(dpy, "_NET_WM_STATE", False), XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False)};
    const unsigned long manager = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
    const auto* managerBytes = reinterpret_cast<const unsigned char*>(&manager);
    // Step by step: the full-screen state listed, but no manager; a manager without it; with it.
    for (int step = 0; step < 3; ++step) {
        if (step == 1) {
            XChangeProperty(dpy, root, check, XA_WINDOW, 32, PropModeReplace, managerBytes, 1);
            XChangeProperty(dpy, manager, check, XA_WINDOW, 32, PropModeReplace, managerBytes, 1);
        }
        XChangeProperty(dpy, root, supported, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(states),
                        step == 1 ? 1 : 2), XSync(dpy, False);
        EXPECT_EQ(windowManagerDoesFullScreen(), step == 2) << step;
    }
    XDeleteProperty(dpy, root, check), XDeleteProperty(dpy, root, supported), XSync(dpy, False);
}

// The game itself: full screen at 640x480 from its settings file, its window covering the
// switched screen (there is no window manager), ended with F12.
TEST_F(XorgDisplaySwitchTest, GameInFullScreenSwitchesAndF12PutsTheDesktopModeBack) {
    int unused = 0;
    if (!XQueryExtension(dpy, "GLX", &unused, &unused, &unused)) {
        GTEST_SKIP() << "the private Xorg has no GLX";
    }
    std::ofstream(dir + "/zarv.cfg") << "cqlEkran=1\nrazdelitelna=0\n";
    const pid_t game = startZarv(dir, display);
    std::string window;
    ASSERT_TRUE(waitFor([&] { return !(window = focusGameWindow(display)).empty(); }, 10000)) << "no game window";
    EXPECT_EQ(screenMode(), (Mode{640, 480, 60}));  // the file's default rate
    const std::string geometry = runCapture("xdotool getwindowgeometry " + window, display);
    EXPECT_NE(geometry.find("Geometry: 640x480"), std::string::npos) << geometry;
    // F12's exit status is the end-to-end tests' to check.
    runCapture("xdotool keydown F12 sleep 0.3 keyup F12", display), waitStatus(game, 10000);
    EXPECT_EQ(screenMode(), original);
}

}  // namespace
