// The full-screen switch and its undoing on a server that really switches: Xorg with the dummy
// video driver, started privately for this suite (Xvfb offers one mode and refuses every switch).
//
// The module keeps one X connection and its original mode for the life of the process, and the
// other display-switch tests of this program may already have opened it on Xvfb. So every switch
// runs in a fresh process: this program re-executed with ZARV_SWITCH_CHILD set, which a static
// initializer below picks up before main.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with it

#include "platform/display_switch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kChildVariable = "ZARV_SWITCH_CHILD";
constexpr int kTimeoutMs = 10000;

// The switching child: "<fd>" then requests "<w> <h> <Hz>" or "wm". Over its socket it answers
// each switch with 'S' (switched) or 'R' (refused), each "wm" with 'Y' or 'N' (does a window
// manager take windows to full screen), then waits for the ending: 'x' exit normally, 'q' _exit
// (skips the exit handlers), 's' raise SIGSEGV. A SIGTERM sent while it waits ends it too.
int runSwitchingChild(const char* childRequest) {
    char* end = nullptr;
    const int fd = static_cast<int>(std::strtol(childRequest, &end, 10));
    while (true) {
        while (*end == ' ') {
            ++end;
        }
        char reply = 0;
        if (std::strncmp(end, "wm", 2) == 0) {
            end += 2;
            reply = windowManagerDoesFullScreen() ? 'Y' : 'N';
        } else {
            char* next = nullptr;
            const long width = std::strtol(end, &next, 10);
            if (next == end) {
                break;
            }
            const long height = std::strtol(next, &next, 10);
            const long rate = std::strtol(next, &end, 10);
            reply = switchDisplayMode(static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                      static_cast<unsigned>(rate))
                        ? 'R'
                        : 'S';
        }
        if (send(fd, &reply, 1, MSG_NOSIGNAL) != 1) {
            return 3;
        }
    }
    char ending = 0;
    while (read(fd, &ending, 1) < 0 && errno == EINTR) {
    }
    if (ending == 'q') {
        _exit(0);
    }
    if (ending == 's') {
        std::raise(SIGSEGV);
    }
    return 0;
}

[[maybe_unused]] const bool switchingChild = [] {
    const char* childRequest = std::getenv(kChildVariable);
    if (childRequest != nullptr) {
        std::exit(runSwitchingChild(childRequest));
    }
    return false;
}();

struct ScreenState {
    int width = 0;
    int height = 0;
    int rate = 0;
    bool operator==(const ScreenState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ScreenState& s) {
    return out << s.width << "x" << s.height << "@" << s.rate;
}

// Read from the server itself: Xlib's DisplayWidth keeps the size it saw at connection time.
ScreenState screenState(Display* dpy) {
    ScreenState state;
    XRRScreenConfiguration* config = XRRGetScreenInfo(dpy, DefaultRootWindow(dpy));
    if (config == nullptr) {
        return state;
    }
    int count = 0;
    const XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    Rotation rotation = RR_Rotate_0;
    const SizeID current = XRRConfigCurrentConfiguration(config, &rotation);
    if (current < count) {
        state.width = sizes[current].width;
        state.height = sizes[current].height;
    }
    state.rate = XRRConfigCurrentRate(config);
    XRRFreeScreenConfigInfo(config);
    return state;
}

// Puts the screen into a state from the test process itself (a test that failed half-way, or
// the control whose child skipped its restore, leaves the server switched).
void setScreenState(Display* dpy, const ScreenState& wanted) {
    const Window root = DefaultRootWindow(dpy);
    XRRScreenConfiguration* config = XRRGetScreenInfo(dpy, root);
    if (config == nullptr) {
        return;
    }
    int count = 0;
    const XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    for (int i = 0; i < count; ++i) {
        if (sizes[i].width == wanted.width && sizes[i].height == wanted.height) {
            XRRSetScreenConfigAndRate(dpy, config, root, i, RR_Rotate_0, static_cast<short>(wanted.rate),
                                      CurrentTime);
            break;
        }
    }
    XSync(dpy, False);
    XRRFreeScreenConfigInfo(config);
}

bool waitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int n = 0;
    do {
        n = poll(&p, 1, timeoutMs);
    } while (n < 0 && errno == EINTR);
    return n > 0;
}

// The wait status of pid, or -1 when it did not end in time (it is then killed and reaped).
int waitForExit(pid_t pid, int timeoutMs) {
    if (pid <= 0) {  // never a process group, never every process
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return status;
        }
        if (done < 0 && errno != EINTR) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

// What every child does first: die with the test process, leave no core file behind.
void prepareChildProcess() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

void silenceOutput() {
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
        dup2(devnull, 1);
        dup2(devnull, 2);
    }
}

constexpr const char* kXorgConfig =
    "Section \"ServerFlags\"\n"
    "    Option \"AutoAddDevices\" \"false\"\n"
    "    Option \"DontVTSwitch\" \"true\"\n"
    "EndSection\n"
    "Section \"Device\"\n"
    "    Identifier \"card\"\n"
    "    Driver \"dummy\"\n"
    "    VideoRam 256000\n"
    "EndSection\n"
    "Section \"Monitor\"\n"
    "    Identifier \"monitor\"\n"
    "    HorizSync 5.0 - 1000.0\n"
    "    VertRefresh 5.0 - 200.0\n"
    "EndSection\n"
    "Section \"Screen\"\n"
    "    Identifier \"screen\"\n"
    "    Device \"card\"\n"
    "    Monitor \"monitor\"\n"
    "    DefaultDepth 24\n"
    "    SubSection \"Display\"\n"
    "        Depth 24\n"
    "        Modes \"1024x768\" \"800x600\" \"640x480\"\n"
    "    EndSubSection\n"
    "EndSection\n";

// A switching child of this very program, with pipes both ways.
struct SwitchingChild {
    pid_t pid = -1;
    // A socket, not pipes: telling a child that has died must not end this process by SIGPIPE.
    int channel = -1;
};

class XorgDisplaySwitchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { skipReason = startServer(); }

    static void TearDownTestSuite() {
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
            dpy = nullptr;
        }
        if (server > 0) {
            kill(server, SIGTERM);
            if (waitForExit(server, 5000) < 0) {
                std::fprintf(stderr, "Xorg ignored SIGTERM and was killed\n");
            }
            server = -1;
        }
        if (!dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
            dir.clear();
        }
    }

    void SetUp() override {
        if (!skipReason.empty()) {
            GTEST_SKIP() << skipReason;
        }
        // Each test begins on the mode the server started in, whatever the previous one left.
        if (screenState(dpy) != original) {
            setScreenState(dpy, original);
        }
        ASSERT_EQ(screenState(dpy), original);
    }

    // Starts the server; an empty string, or why the suite must be skipped.
    static std::string startServer() {
        char pattern[] = "/tmp/zarv-xorg-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return "no temporary directory";
        }
        dir = pattern;
        const std::string config = dir + "/xorg.conf";
        const std::string log = dir + "/xorg.log";
        {
            std::ofstream out(config);
            out << kXorgConfig;
        }
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return "no pipe";
        }
        server = fork();
        if (server == 0) {
            prepareChildProcess();
            silenceOutput();
            fcntl(fds[1], F_SETFD, 0);
            const std::string fd = std::to_string(fds[1]);
            // No seat, no VT of its own, no input devices: all the server needs to run as a
            // plain root process next to anything else on the machine.
            execlp("Xorg", "Xorg", "-displayfd", fd.c_str(), "-config", config.c_str(), "-logfile", log.c_str(),
                   "-noreset", "-nolisten", "tcp", "-novtswitch", "-sharevts", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char number[16] = {};
        size_t got = 0;
        // The server writes its display number once it accepts connections.
        while (got < sizeof number - 1 && std::strchr(number, '\n') == nullptr && waitReadable(fds[0], kTimeoutMs)) {
            const ssize_t n = read(fds[0], number + got, sizeof number - 1 - got);
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        close(fds[0]);
        if (got == 0 || std::strchr(number, '\n') == nullptr) {
            return "Xorg with the dummy driver did not start (needs the Xorg server and xserver-xorg-video-dummy, "
                   "and root without a seat); its errors: " +
                   serverErrors(log);
        }
        displayName = ":" + std::to_string(std::atoi(number));
        dpy = XOpenDisplay(displayName.c_str());
        if (dpy == nullptr) {
            return "cannot connect to the private Xorg at " + displayName;
        }
        int eventBase = 0;
        int errorBase = 0;
        if (!XRRQueryExtension(dpy, &eventBase, &errorBase)) {
            return "the private Xorg has no RandR";
        }
        original = screenState(dpy);
        if (original.width != 1024 || original.height != 768) {
            return "the private Xorg did not start at 1024x768";
        }
        return {};
    }

    static std::string serverErrors(const std::string& log) {
        std::ifstream in(log);
        std::string line;
        std::string errors;
        while (std::getline(in, line)) {
            if (line.find("(EE)") != std::string::npos && errors.size() < 600) {
                errors += line + " | ";
            }
        }
        return errors.empty() ? "no log" : errors;
    }

    // Starts a child that asks for each "<w> <h> <Hz>" or "wm" in requests, in order.
    static SwitchingChild startSwitching(const std::string& requests) {
        SwitchingChild child;
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
            return child;
        }
        child.pid = fork();
        if (child.pid == 0) {
            prepareChildProcess();
            fcntl(fds[1], F_SETFD, 0);
            const std::string childRequest = std::to_string(fds[1]) + " " + requests;
            setenv(kChildVariable, childRequest.c_str(), 1);
            // Only this server: under `make test` DISPLAY names the shared Xvfb.
            setenv("DISPLAY", displayName.c_str(), 1);
            execl("/proc/self/exe", "display_switch_child", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (child.pid < 0) {
            close(fds[0]);
        } else {
            child.channel = fds[0];
        }
        return child;
    }

    // The child's answers to its first count requests ('?' for one that never came).
    static std::string replies(SwitchingChild& child, size_t count) {
        std::string answers;
        while (answers.size() < count) {
            char reply = '?';
            if (!waitReadable(child.channel, kTimeoutMs) || read(child.channel, &reply, 1) != 1) {
                answers.append(count - answers.size(), '?');
                break;
            }
            answers += reply;
        }
        return answers;
    }

    // Sends the ending (0 sends none) and returns the child's wait status, -1 if it hung.
    static int finish(SwitchingChild& child, char ending) {
        if (child.pid <= 0) {
            return -1;
        }
        if (ending != 0 && send(child.channel, &ending, 1, MSG_NOSIGNAL) != 1) {
            kill(child.pid, SIGKILL);
        }
        close(child.channel);
        return waitForExit(child.pid, kTimeoutMs);
    }

    static std::string skipReason;
    static std::string dir;
    static std::string displayName;
    static pid_t server;
    static Display* dpy;
    static ScreenState original;
};

std::string XorgDisplaySwitchTest::skipReason;
std::string XorgDisplaySwitchTest::dir;
std::string XorgDisplaySwitchTest::displayName;
pid_t XorgDisplaySwitchTest::server = -1;
Display* XorgDisplaySwitchTest::dpy = nullptr;
ScreenState XorgDisplaySwitchTest::original;

// Runs xdotool on the private server, bounded in time (windowfocus --sync waits for ever otherwise).
std::string xdotool(const std::string& display, const std::string& args) {
    const std::string command = "DISPLAY=" + display + " timeout 5 xdotool " + args + " 2>/dev/null";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buffer[256];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    pclose(pipe);
    return out;
}

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// "WxH+X+Y" of a window given by its decimal id; empty when it is gone (no X error ends the test).
std::string windowGeometry(Display* dpy, const std::string& id) {
    const auto previous = XSetErrorHandler(ignoreXError);
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    const Status ok = XGetGeometry(dpy, static_cast<Window>(std::strtoul(id.c_str(), nullptr, 10)), &root, &x, &y,
                                   &width, &height, &border, &depth);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    if (ok == 0) {
        return {};
    }
    return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
}

bool exitedWith(int status, int code) {
    return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == code;
}

bool killedBy(int status, int signal) {
    return status >= 0 && WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

TEST_F(XorgDisplaySwitchTest, OfferedSizeSwitchesAndANormalExitPutsTheOriginalBack) {
    SwitchingChild child = startSwitching("800 600 0");
    EXPECT_EQ(replies(child, 1), "S");
    EXPECT_EQ(screenState(dpy).width, 800);
    EXPECT_EQ(screenState(dpy).height, 600);
    EXPECT_TRUE(exitedWith(finish(child, 'x'), 0));
    EXPECT_EQ(screenState(dpy), original);
}

// The mode to go back to is the one before the first switch, not the one before the last.
TEST_F(XorgDisplaySwitchTest, SeveralSwitchesGoBackToTheModeBeforeTheFirst) {
    SwitchingChild child = startSwitching("800 600 72 640 480 0");
    EXPECT_EQ(replies(child, 2), "SS");
    EXPECT_EQ(screenState(dpy).width, 640);
    EXPECT_TRUE(exitedWith(finish(child, 'x'), 0));
    EXPECT_EQ(screenState(dpy), original);
}

// The rate comes back too, and not just the server's preferred one: the desktop here starts at
// 1024x768 with 60 Hz, where the server would pick 85 Hz for that size.
TEST_F(XorgDisplaySwitchTest, OfferedRateSwitchesAndTheDesktopRateComesBack) {
    const ScreenState desktop{1024, 768, 60};
    setScreenState(dpy, desktop);
    ASSERT_EQ(screenState(dpy), desktop);
    SwitchingChild child = startSwitching("1024 768 75 800 600 72");
    EXPECT_EQ(replies(child, 2), "SS");
    EXPECT_EQ(screenState(dpy), (ScreenState{800, 600, 72}));
    EXPECT_TRUE(exitedWith(finish(child, 'x'), 0));
    EXPECT_EQ(screenState(dpy), desktop);
}

TEST_F(XorgDisplaySwitchTest, TerminationAfterASwitchRestoresAndStillEndsBySignal) {
    SwitchingChild child = startSwitching("640 480 0");
    EXPECT_EQ(replies(child, 1), "S");
    EXPECT_EQ(screenState(dpy).width, 640);
    ASSERT_GT(child.pid, 0);
    kill(child.pid, SIGTERM);
    EXPECT_TRUE(killedBy(finish(child, 0), SIGTERM));
    EXPECT_EQ(screenState(dpy), original);
}

#if !defined(ZARV_SANITIZE)  // AddressSanitizer owns SIGSEGV; the restore handler stays off it
TEST_F(XorgDisplaySwitchTest, CrashAfterASwitchRestoresAndStillEndsBySignal) {
    SwitchingChild child = startSwitching("640 480 0");
    EXPECT_EQ(replies(child, 1), "S");
    EXPECT_EQ(screenState(dpy).width, 640);
    EXPECT_TRUE(killedBy(finish(child, 's'), SIGSEGV));
    EXPECT_EQ(screenState(dpy), original);
}
#endif

// The control that shows the restoring above is the program's doing: the server itself keeps
// a switched mode after its client is gone.
TEST_F(XorgDisplaySwitchTest, WithoutTheExitHandlersTheSwitchOutlivesTheProcess) {
    SwitchingChild child = startSwitching("640 480 0");
    EXPECT_EQ(replies(child, 1), "S");
    EXPECT_TRUE(exitedWith(finish(child, 'q'), 0));
    EXPECT_EQ(screenState(dpy).width, 640);
    EXPECT_EQ(screenState(dpy).height, 480);
}

TEST_F(XorgDisplaySwitchTest, SizeOrRateNotOfferedIsRefusedAndChangesNothing) {
    // 1280x1024 is larger than the server's screen; 800x600 has no 90 Hz, 640x480 no 70 Hz;
    // 800x480 and 0x0 are no sizes at all.
    SwitchingChild child = startSwitching("1280 1024 0 800 600 90 640 480 70 800 480 60 0 0 0");
    EXPECT_EQ(replies(child, 5), "RRRRR");
    EXPECT_EQ(screenState(dpy), original);
    EXPECT_TRUE(exitedWith(finish(child, 'x'), 0));
    EXPECT_EQ(screenState(dpy), original);
}

// Whether GLUT may be left to do full screen: only a window manager that announces the EWMH
// full-screen state (here faked on the root window) sizes the window to the switched screen.
TEST_F(XorgDisplaySwitchTest, WindowManagerFullScreenIsSeenOnlyWhenOneAnnouncesIt) {
    const Window root = DefaultRootWindow(dpy);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    const Atom supported = XInternAtom(dpy, "_NET_SUPPORTED", False);
    const Atom fullScreen[] = {XInternAtom(dpy, "_NET_WM_STATE", False),
                               XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False)};
    const Window manager = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
    const auto announce = [&](Window on, Window named) {
        const unsigned long value = named;
        XChangeProperty(dpy, on, check, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
    };
    const auto ask = [&] {
        SwitchingChild child = startSwitching("wm");
        const std::string reply = replies(child, 1);
        EXPECT_TRUE(exitedWith(finish(child, 'x'), 0));
        return reply;
    };
    EXPECT_EQ(ask(), "N");
    announce(root, manager);
    announce(manager, manager);
    XChangeProperty(dpy, root, supported, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(fullScreen), 1);
    XSync(dpy, False);
    EXPECT_EQ(ask(), "N") << "a manager without the full-screen state";
    XChangeProperty(dpy, root, supported, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(fullScreen), 2);
    XSync(dpy, False);
    EXPECT_EQ(ask(), "Y");
    // A manager that has gone, leaving its property behind on the root.
    XDestroyWindow(dpy, manager);
    XSync(dpy, False);
    EXPECT_EQ(ask(), "N");
    XDeleteProperty(dpy, root, check);
    XDeleteProperty(dpy, root, supported);
    XSync(dpy, False);
}

// The game itself: full screen at 640x480 from its settings file, ended with F12.
TEST_F(XorgDisplaySwitchTest, GameInFullScreenSwitchesAndF12PutsTheDesktopModeBack) {
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (!XQueryExtension(dpy, "GLX", &opcode, &eventBase, &errorBase)) {
        GTEST_SKIP() << "the private Xorg has no GLX";
    }
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xdotool is missing";
    }
    const std::string gameDir = dir + "/game";
    std::filesystem::create_directory(gameDir);
    {
        std::ofstream out(gameDir + "/zarv.cfg", std::ios::binary);
        out << "cqlEkran=1\nrazdelitelna=0\n";
    }
    const pid_t game = fork();
    if (game == 0) {
        prepareChildProcess();
        silenceOutput();
        if (chdir(gameDir.c_str()) != 0) {
            _exit(126);
        }
        setenv("DISPLAY", displayName.c_str(), 1);
        execl(ZARV_BINARY, ZARV_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(game, 0);
    std::string window;
    int status = -1;
    for (int i = 0; i < 100 && window.empty(); ++i) {
        window = xdotool(displayName, "search --name '^zarv 713a$'");
        window = window.substr(0, window.find('\n'));
        if (window.empty()) {
            if (waitpid(game, &status, WNOHANG) == game) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    if (window.empty()) {
        if (status < 0) {
            status = waitForExit(game, 0);
        }
        FAIL() << "no game window; wait status " << status;
    }
    EXPECT_EQ(screenState(dpy).width, 640);
    EXPECT_EQ(screenState(dpy).height, 480);
    // With no window manager the window must cover the switched screen, not the old one.
    EXPECT_EQ(windowGeometry(dpy, window), "640x480+0+0");
    // The game reads the keys only while its window has the focus.
    xdotool(displayName, "windowfocus --sync " + window + " keydown F12 sleep 0.3 keyup F12");
    status = waitForExit(game, kTimeoutMs);
    EXPECT_TRUE(exitedWith(status, 1)) << "wait status " << status;
    EXPECT_EQ(screenState(dpy), original);
}

}  // namespace
