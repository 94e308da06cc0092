// The full-screen switch and its undoing on a server that really switches: Xorg with the dummy
// video driver, started privately for this suite (Xvfb offers one mode and refuses every switch).
//
// The module keeps one X connection and its original mode for the life of the process, so every
// switch runs in a fresh process: this program re-executed with ZARV_SWITCH_CHILD set, which a
// static initializer below picks up before main.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "e2e/harness.h"
#include "platform/display_switch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The switching child: "<fd> <requests>", each "<w> <h> <Hz>" answered 'S' (switched) or 'R'
// (refused), or with a negative width 'Y' or 'N' (does a window manager do full screen); then it
// waits for its ending: 'x' exit, 'q' _exit (skips the exit handlers), 's' SIGSEGV; SIGTERM ends
// it too.
[[maybe_unused]] const bool switchingChild = [] {
    char* at = std::getenv("ZARV_SWITCH_CHILD");
    if (at == nullptr) {
        return false;
    }
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const int fd = static_cast<int>(std::strtol(at, &at, 10));
    for (char* next = at;; at = next) {
        const long w = std::strtol(at, &next, 10);
        if (next == at) {
            break;
        }
        const long h = std::strtol(next, &next, 10);
        const long hz = std::strtol(next, &next, 10);
        const char reply = w < 0 ? "NY"[windowManagerDoesFullScreen()]
                                 : switchDisplayMode(unsigned(w), unsigned(h), 32, unsigned(hz)) ? 'S' : 'R';
        send(fd, &reply, 1, MSG_NOSIGNAL);
    }
    char ending = 0;
    while (read(fd, &ending, 1) < 0) {
    }
    if (ending == 'q') {
        _exit(0);
    }
    if (ending == 's') {
        std::raise(SIGSEGV);
    }
    std::exit(0);
}();

using Mode = std::array<int, 3>;  // width, height, rate

// Read from the server itself (Xlib's DisplayWidth keeps the size it saw at connection time);
// with wanted set, first switch to it from this process.
Mode screenMode(Display* dpy, const Mode* wanted = nullptr) {
    Mode mode{0, 0, 0};
    XRRScreenConfiguration* config = XRRGetScreenInfo(dpy, DefaultRootWindow(dpy));
    if (config == nullptr) {
        return mode;
    }
    int count = 0;
    const XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    for (int i = 0; wanted != nullptr && i < count; ++i) {
        if (sizes[i].width == (*wanted)[0] && sizes[i].height == (*wanted)[1]) {
            XRRSetScreenConfigAndRate(dpy, config, DefaultRootWindow(dpy), i, RR_Rotate_0, short((*wanted)[2]),
                                      CurrentTime);
            XSync(dpy, False);
            XRRFreeScreenConfigInfo(config);
            return screenMode(dpy);
        }
    }
    Rotation rotation = RR_Rotate_0;
    const SizeID current = XRRConfigCurrentConfiguration(config, &rotation);
    if (current < count) {
        mode = Mode{sizes[current].width, sizes[current].height, XRRConfigCurrentRate(config)};
    }
    XRRFreeScreenConfigInfo(config);
    return mode;
}

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
    }

    void SetUp() override {
        // Back to the desktop mode, whatever the previous test left.
        if (dpy == nullptr || screenMode(dpy, &original) != original) {
            GTEST_SKIP() << "Xorg with the dummy driver did not start, or not with a 1024x768 mode (needs "
                            "xserver-xorg-video-dummy and root without a seat)";
        }
    }

    // Starts a child that asks for each "<w> <h> <Hz>" in requests, in order, and returns its
    // answers (fewer when one never came).
    std::string startSwitching(const std::string& requests) {
        int fds[2];
        socketpair(AF_UNIX, SOCK_STREAM, 0, fds);
        child = fork();
        if (child == 0) {
            close(fds[0]);
            setenv("ZARV_SWITCH_CHILD", (std::to_string(fds[1]) + " " + requests).c_str(), 1);
            // Only this server: under `make test` DISPLAY names the shared Xvfb.
            setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
            execl("/proc/self/exe", "display_switch_child", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        channel = fds[0];
        std::string answers;
        pollfd p{channel, POLLIN, 0};
        char reply = 0;
        while (std::count(requests.begin(), requests.end(), ' ') / 3 + 1 > int(answers.size()) &&
               poll(&p, 1, 10000) > 0 && read(channel, &reply, 1) == 1) {
            answers += reply;
        }
        return answers;
    }

    // Sends the ending (0 sends none) and returns the child's wait status, -1 if it hung.
    int finish(char ending) {
        if (ending != 0) {
            send(channel, &ending, 1, MSG_NOSIGNAL);
        }
        close(channel);
        return waitStatus(child, 10000);
    }

    static inline std::string dir;
    static inline int display = -1;
    static inline pid_t server = -1;
    static inline Display* dpy = nullptr;
    static constexpr Mode original{1024, 768, 60};
    pid_t child = -1;
    int channel = -1;
};

// Every way of ending goes back to the mode before the first switch, rate included (the server
// itself would pick 85 Hz for 1024x768); the control that skips the exit handlers shows the
// server keeps a switched mode on its own.
TEST_F(XorgDisplaySwitchTest, EveryEndingPutsTheModeBeforeTheFirstSwitchBack) {
    struct Row {
        char ending;
        int signal;  // the signal sent, or expected to end the child
        bool restored;
    };
    const Row rows[] = {{'x', 0, true}, {0, SIGTERM, true}, {'q', 0, false},
#if !defined(ZARV_SANITIZE)  // AddressSanitizer owns SIGSEGV; the restore handler stays off it
                        {'s', SIGSEGV, true}
#endif
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ending);
        screenMode(dpy, &original);
        EXPECT_EQ(startSwitching("1024 768 75 800 600 72 640 480 0"), "SSS");
        EXPECT_EQ(screenMode(dpy)[0], 640);
        if (row.ending == 0 && child > 0) {
            kill(child, row.signal);
        }
        const int status = finish(row.ending);
        EXPECT_TRUE(row.signal ? WIFSIGNALED(status) && WTERMSIG(status) == row.signal : status == 0) << status;
        EXPECT_EQ(screenMode(dpy), row.restored ? original : (Mode{640, 480, screenMode(dpy)[2]}));
    }
}

TEST_F(XorgDisplaySwitchTest, SizeOrRateNotOfferedIsRefusedAndChangesNothing) {
    // Larger than the screen; 800x600 has no 90 Hz, 640x480 no 70 Hz; no such sizes at all.
    EXPECT_EQ(startSwitching("1280 1024 0 800 600 90 640 480 70 800 480 60 0 0 0"), "RRRRR");
    EXPECT_EQ(screenMode(dpy), original);
    EXPECT_EQ(finish('x'), 0);
    EXPECT_EQ(screenMode(dpy), original);
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
    // Step by step: none; a manager without the full-screen state; with it; gone, its property left.
    for (int step = 0; step < 4; ++step) {
        if (step == 1) {
            XChangeProperty(dpy, root, check, XA_WINDOW, 32, PropModeReplace, managerBytes, 1);
            XChangeProperty(dpy, manager, check, XA_WINDOW, 32, PropModeReplace, managerBytes, 1);
        }
        if (step == 3) {
            XDestroyWindow(dpy, manager);
        }
        XChangeProperty(dpy, root, supported, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(states),
                        step == 2 ? 2 : 1);
        XSync(dpy, False);
        EXPECT_EQ(startSwitching("-1 0 0"), step == 2 ? "Y" : "N") << step;
        EXPECT_EQ(finish('x'), 0);
    }
    XDeleteProperty(dpy, root, check);
    XDeleteProperty(dpy, root, supported);
    XSync(dpy, False);
}

// The game itself: full screen at 640x480 from its settings file, ended with F12.
TEST_F(XorgDisplaySwitchTest, GameInFullScreenSwitchesAndF12PutsTheDesktopModeBack) {
    int unused = 0;
    if (!XQueryExtension(dpy, "GLX", &unused, &unused, &unused)) {
        GTEST_SKIP() << "the private Xorg has no GLX";
    }
    std::ofstream(dir + "/zarv.cfg") << "cqlEkran=1\nrazdelitelna=0\n";
    const pid_t game = startZarv(dir, display);
    std::string window;
    for (int i = 0; i < 100 && window.empty() && waitpid(game, &unused, WNOHANG) == 0; ++i) {
        usleep(100000);
        window = focusGameWindow(display);
    }
    ASSERT_FALSE(window.empty()) << "no game window";
    EXPECT_EQ(screenMode(dpy), (Mode{640, 480, screenMode(dpy)[2]}));
    // With no window manager the window must cover the switched screen, not the old one.
    EXPECT_NE(runCapture("xdotool getwindowgeometry " + window, display).find("Geometry: 640x480"), std::string::npos);
    runCapture("xdotool keydown F12 sleep 0.3 keyup F12", display);
    const int status = waitStatus(game, 10000);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(screenMode(dpy), original);
}

}  // namespace
