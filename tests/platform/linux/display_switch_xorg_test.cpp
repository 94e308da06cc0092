// The full-screen switch and its undoing on a server that really switches: Xorg with the dummy
// video driver, started privately for this suite (Xvfb offers one mode and refuses every switch).
// The switch module's own connection is opened by its first call, in this process on DISPLAY,
// which names the private server while the suite runs; the endings are the game's own.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "e2e/harness.h"
#include "platform/display_switch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Mode = std::array<int, 3>;  // width, height, rate

class XorgDisplaySwitchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/zarv-xorg-XXXXXX";
        dir = mkdtemp(pattern) ? pattern : "/tmp";
        std::ofstream(dir + "/xorg.conf")
            << "Section \"ServerFlags\"\n Option \"AutoAddDevices\" \"false\"\n Option \"DontVTSwitch\" \"true\"\n"
               "EndSection\nSection \"Device\"\n Identifier \"card\"\n Driver \"dummy\"\n VideoRam 256000\n"
               "EndSection\nSection \"Monitor\"\n Identifier \"monitor\"\n HorizSync 5.0 - 1000.0\n"
               " VertRefresh 5.0 - 200.0\nEndSection\nSection \"Screen\"\n Identifier \"screen\"\n Device \"card\"\n"
               " Monitor \"monitor\"\n DefaultDepth 24\n SubSection \"Display\"\n  Depth 24\n"
               "  Modes \"1024x768\" \"800x600\" \"640x480\"\n EndSubSection\nEndSection\n";
        // No seat, no VT of its own, no input devices: all the server needs to run as a plain
        // root process next to anything else on the machine.
        display = startXServer({"Xorg", "-config", dir + "/xorg.conf", "-logfile", dir + "/xorg.log", "-noreset",
                                "-nolisten", "tcp", "-novtswitch", "-sharevts"},
                               server);
        dpy = display < 0 ? nullptr : XOpenDisplay((":" + std::to_string(display)).c_str());
        const char* old = std::getenv("DISPLAY");
        oldDisplay = old != nullptr ? old : "";
        setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    }

    static void TearDownTestSuite() {
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
        if (server > 0) {  // never a process group, never every process
            kill(server, SIGTERM);
            waitStatus(server, 5000);
        }
        std::system(("rm -rf '" + dir + "'").c_str());
        oldDisplay.empty() ? unsetenv("DISPLAY") : setenv("DISPLAY", oldDisplay.c_str(), 1);
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

    // Back to the desktop mode, whatever the previous test or ending left.
    static Mode resetMode() {
        runCapture("xrandr -s 1024x768 -r 60", display);
        return screenMode();
    }

    void SetUp() override {
        if (dpy == nullptr || resetMode() != original) {
            GTEST_SKIP() << "Xorg with the dummy driver did not start, or not with a 1024x768 mode (needs "
                            "xserver-xorg-video-dummy and root without a seat)";
        }
    }

    static inline std::string dir;
    static inline std::string oldDisplay;
    static inline int display = -1;
    static inline pid_t server = -1;
    static inline Display* dpy = nullptr;
    static constexpr Mode original{1024, 768, 60};
};

// Refused, nothing changed: a size larger than the screen, 800x600 at 90 Hz and 640x480 at 70 Hz
// (rates it lacks), sizes it lacks. After several switches the undoing goes back to the mode before
// the first, rate included (the server itself would pick 85 Hz for 1024x768).
TEST_F(XorgDisplaySwitchTest, ARefusalChangesNothingAndTheUndoingGoesBackToTheModeBeforeTheFirstSwitch) {
    for (const Mode& m :
         {Mode{1280, 1024, 0}, Mode{800, 600, 90}, Mode{640, 480, 70}, Mode{800, 480, 60}, Mode{0, 0, 0}}) {
        EXPECT_FALSE(switchDisplayMode(unsigned(m[0]), unsigned(m[1]), 32, unsigned(m[2]))) << m[0] << m[2];
        EXPECT_EQ(screenMode(), original) << m[0] << " " << m[2];
    }
    for (const Mode& m : {Mode{1024, 768, 75}, Mode{800, 600, 72}, Mode{640, 480, 0}}) {
        EXPECT_TRUE(switchDisplayMode(unsigned(m[0]), unsigned(m[1]), 32, unsigned(m[2]))) << m[0];
        EXPECT_EQ(screenMode()[0], m[0]);
    }
    restoreDisplayMode();
    EXPECT_EQ(screenMode(), original);
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
    // Step by step: the full-screen state listed, but no manager; a manager without it; with it; the
    // manager gone, its property left on the root.
    for (int step = 0; step < 4; ++step) {
        if (step == 1) {
            XChangeProperty(dpy, root, check, XA_WINDOW, 32, PropModeReplace, managerBytes, 1);
            XChangeProperty(dpy, manager, check, XA_WINDOW, 32, PropModeReplace, managerBytes, 1);
        }
        if (step == 3) {
            XDestroyWindow(dpy, manager);
        }
        XChangeProperty(dpy, root, supported, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(states),
                        step == 1 ? 1 : 2);
        XSync(dpy, False);
        EXPECT_EQ(windowManagerDoesFullScreen(), step == 2) << step;
    }
    XDeleteProperty(dpy, root, check);
    XDeleteProperty(dpy, root, supported);
    XSync(dpy, False);
}

// The game in full screen at 640x480 from its settings file, its window covering the switched
// screen (there is no window manager), ended each way: F12, SIGTERM, a crash, and SIGKILL, which
// no handler sees: the control that shows the server keeps a switched mode on its own.
TEST_F(XorgDisplaySwitchTest, EveryEndingOfTheGamePutsTheDesktopModeBack) {
    int unused = 0;
    if (!XQueryExtension(dpy, "GLX", &unused, &unused, &unused)) {
        GTEST_SKIP() << "the private Xorg has no GLX";
    }
    std::ofstream(dir + "/zarv.cfg") << "cqlEkran=1\nrazdelitelna=0\n";
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);  // for the crash, which the game inherits
    const int endings[] = {0, SIGTERM, SIGKILL,
#if !defined(ZARV_SANITIZE)  // AddressSanitizer owns SIGSEGV; the restore handler stays off it
                           SIGSEGV
#endif
    };
    for (const int ending : endings) {
        SCOPED_TRACE(ending);
        resetMode();
        const pid_t game = startZarv(dir, display);
        std::string window;
        ASSERT_TRUE(waitFor([&] { return !(window = focusGameWindow(display)).empty(); }, 10000))
            << "no game window";
        EXPECT_EQ(screenMode(), (Mode{640, 480, screenMode()[2]}));
        const std::string geometry = runCapture("xdotool getwindowgeometry " + window, display);
        EXPECT_NE(geometry.find("Geometry: 640x480"), std::string::npos) << geometry;
        ending != 0 ? void(kill(game, ending))
                    : void(runCapture("xdotool keydown F12 sleep 0.3 keyup F12", display));
        const int status = waitStatus(game, 10000);
        EXPECT_TRUE(ending ? WIFSIGNALED(status) && WTERMSIG(status) == ending
                           : WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        EXPECT_EQ(screenMode(), ending == SIGKILL ? (Mode{640, 480, screenMode()[2]}) : original);
    }
}

}  // namespace
