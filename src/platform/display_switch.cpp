#include "platform/display_switch.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <csignal>
#include <cstdlib>

namespace {

// A connection of our own, so the switch and its undoing never depend on GLUT's.
Display* display = nullptr;
bool haveOriginal = false;
SizeID originalSize = 0;
Rotation originalRotation = RR_Rotate_0;
short originalRate = 0;
bool handlersInstalled = false;

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};

Display* connection() {
    if (display == nullptr) {
        display = XOpenDisplay(nullptr);
    }
    return display;
}

void restoreAndReraise(int signal) {
    restoreDisplayMode();
    // SA_RESETHAND put the default action back: the process ends as the signal meant it to.
    std::raise(signal);
}

void installRestoreHandlers() {
    if (handlersInstalled) {
        return;
    }
    handlersInstalled = true;
    std::atexit(restoreDisplayMode);
    for (int signal : kFatalSignals) {
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        // Leave alone what someone else already handles or ignores on purpose.
        if (previous.sa_handler != SIG_DFL) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = restoreAndReraise;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

bool rateOffered(XRRScreenConfiguration* config, int sizeIndex, unsigned refreshHz) {
    int count = 0;
    const short* rates = XRRConfigRates(config, sizeIndex, &count);
    for (int i = 0; i < count; ++i) {
        if (rates[i] > 0 && static_cast<unsigned>(rates[i]) == refreshHz) {
            return true;
        }
    }
    return false;
}

}  // namespace

// X11 cannot change the colour depth of a running server; the depth only selects the GL
// buffers the window asks for.
bool switchDisplayMode(unsigned width, unsigned height, unsigned /*colourBits*/, unsigned refreshHz) {
    Display* dpy = connection();
    if (dpy == nullptr) {
        return true;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase)) {
        return true;
    }
    const Window root = DefaultRootWindow(dpy);
    XRRScreenConfiguration* config = XRRGetScreenInfo(dpy, root);
    if (config == nullptr) {
        return true;
    }
    int sizeCount = 0;
    const XRRScreenSize* sizes = XRRConfigSizes(config, &sizeCount);
    int sizeIndex = -1;
    for (int i = 0; i < sizeCount; ++i) {
        if (sizes[i].width == static_cast<int>(width) && sizes[i].height == static_cast<int>(height)) {
            sizeIndex = i;
            break;
        }
    }
    if (sizeIndex < 0 || (refreshHz != 0 && !rateOffered(config, sizeIndex, refreshHz))) {
        XRRFreeScreenConfigInfo(config);
        return true;
    }
    Rotation rotation = RR_Rotate_0;
    const SizeID currentSize = XRRConfigCurrentConfiguration(config, &rotation);
    if (!haveOriginal) {
        originalSize = currentSize;
        originalRotation = rotation;
        originalRate = XRRConfigCurrentRate(config);
        haveOriginal = true;
        installRestoreHandlers();
    }
    Status status;
    if (refreshHz != 0) {
        status = XRRSetScreenConfigAndRate(dpy, config, root, sizeIndex, rotation,
                                           static_cast<short>(refreshHz), CurrentTime);
    } else {
        status = XRRSetScreenConfig(dpy, config, root, sizeIndex, rotation, CurrentTime);
    }
    XSync(dpy, False);
    XRRFreeScreenConfigInfo(config);
    return status != RRSetConfigSuccess;
}

void restoreDisplayMode() {
    if (!haveOriginal || display == nullptr) {
        return;
    }
    haveOriginal = false;
    const Window root = DefaultRootWindow(display);
    XRRScreenConfiguration* config = XRRGetScreenInfo(display, root);
    if (config == nullptr) {
        return;
    }
    XRRSetScreenConfigAndRate(display, config, root, originalSize, originalRotation, originalRate, CurrentTime);
    XSync(display, False);
    XRRFreeScreenConfigInfo(config);
}
