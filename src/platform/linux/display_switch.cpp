#include "platform/port.h"
#include "platform/desktop/desktop.h"

#include <X11/Xatom.h>
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

bool propertyFailed = false;

int noteBadWindow(Display*, XErrorEvent*) {
    propertyFailed = true;
    return 0;
}

// The window a window manager names in _NET_SUPPORTING_WM_CHECK on w; 0 when there is none.
// A manager that has gone may leave the property on the root pointing to a window that is gone:
// that error is caught here instead of ending the process.
Window supportingWindow(Display* dpy, Window w) {
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    XSync(dpy, False);
    propertyFailed = false;
    const auto previous = XSetErrorHandler(noteBadWindow);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(dpy, w, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data);
    XSync(dpy, False);
    XSetErrorHandler(previous);
    Window result = 0;
    if (status == Success && !propertyFailed && data != nullptr && type == XA_WINDOW && format == 32 &&
        count == 1) {
        result = static_cast<Window>(reinterpret_cast<unsigned long*>(data)[0]);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return result;
}

}  // namespace

// X11 cannot change the colour depth of a running server; the depth only selects the GL
// buffers the window asks for.
bool switchDisplayMode(unsigned width, unsigned height, unsigned /*colourBits*/, unsigned refreshHz) {
    Display* dpy = connection();
    if (dpy == nullptr) {
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase)) {
        return false;
    }
    const Window root = DefaultRootWindow(dpy);
    XRRScreenConfiguration* config = XRRGetScreenInfo(dpy, root);
    if (config == nullptr) {
        return false;
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
        return false;
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
    return status == RRSetConfigSuccess;
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

bool windowManagerDoesFullScreen() {
    Display* dpy = connection();
    if (dpy == nullptr) {
        return false;
    }
    const Window root = DefaultRootWindow(dpy);
    const Window manager = supportingWindow(dpy, root);
    if (manager == 0 || supportingWindow(dpy, manager) != manager) {
        return false;
    }
    const Atom supported = XInternAtom(dpy, "_NET_SUPPORTED", False);
    const Atom fullScreen = XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(dpy, root, supported, 0, 4096, False, XA_ATOM, &type, &format, &count, &after, &data) ==
            Success &&
        data != nullptr && type == XA_ATOM && format == 32) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            found = atoms[i] == fullScreen;
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}
