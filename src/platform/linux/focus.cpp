#include "platform/clock.h"
#include "platform/linux/keys_x11.h"
#include "platform/port.h"

namespace {

// With the focus on the root (PointerRoot) or on a window-manager frame around ours,
// the keys go where the pointer is.
bool pointerInside(Window window) {
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(keyDisplay, window, &root, &child, &rootX, &rootY, &winX, &winY, &mask)) {
        return false;
    }
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(keyDisplay, window, &attributes)) {
        return false;
    }
    return winX >= 0 && winY >= 0 && winX < attributes.width && winY < attributes.height;
}

// The windows above ours (a window manager's frame, the root) and whether ours has children
// of its own, asked again when the game window changes and a few times a second: a window
// manager may reparent it. This keeps an unfocused poll at one round trip.
constexpr int kMaxAncestors = 16;
constexpr double kAncestryMs = 250.0;
Window ancestryOf = 0;
double ancestryTime = -1.0e9;
Window ancestors[kMaxAncestors] = {};
int ancestorCount = 0;
bool oursHasChildren = false;

bool queryTree(Window window, Window& parent, unsigned& childCount) {
    Window root = 0;
    Window* children = nullptr;
    parent = 0;
    childCount = 0;
    if (!XQueryTree(keyDisplay, window, &root, &parent, &children, &childCount)) {
        return false;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return true;
}

void refreshAncestry(Window ours) {
    const double now = monotonicMs();
    if (ours == ancestryOf && now >= ancestryTime && now - ancestryTime < kAncestryMs) {
        return;
    }
    ancestryOf = ours;
    ancestryTime = now;
    ancestorCount = 0;
    Window parent = 0;
    unsigned childCount = 0;
    oursHasChildren = queryTree(ours, parent, childCount) && childCount > 0;
    while (parent != 0 && ancestorCount < kMaxAncestors) {
        ancestors[ancestorCount++] = parent;
        if (!queryTree(parent, parent, childCount)) {
            break;
        }
    }
}

bool isAncestorOfOurs(Window window) {
    for (int i = 0; i < ancestorCount; ++i) {
        if (ancestors[i] == window) {
            return true;
        }
    }
    return false;
}

// True when window lies inside ours (only asked while ours has child windows at all).
bool insideOurs(Window window, Window ours) {
    for (int depth = 0; depth < kMaxAncestors && window != 0; ++depth) {
        if (window == ours) {
            return true;
        }
        unsigned childCount = 0;
        if (!queryTree(window, window, childCount)) {
            return false;
        }
    }
    return false;
}

// With the focus on the root (PointerRoot) or on a frame around ours, the keys go where the
// pointer is.
KeysGo underPointer(Window ours) {
    if (pointerInside(ours)) {
        return KeysGo::ToUs;
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(keyDisplay, DefaultRootWindow(keyDisplay), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    // Our top-level window is ours or the frame just below the root.
    const Window ourTop = ancestorCount >= 2 ? ancestors[ancestorCount - 2] : ours;
    return child == None || child == ourTop ? KeysGo::Nowhere : KeysGo::Elsewhere;
}

}  // namespace

void forgetAncestry() {
    ancestryOf = 0;
}

KeysGo whereKeysGo(Window ours) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(keyDisplay, &focus, &revert);
    if (focus == None) {
        return KeysGo::Nowhere;
    }
    if (focus == ours) {
        return KeysGo::ToUs;
    }
    refreshAncestry(ours);
    if (focus == PointerRoot || isAncestorOfOurs(focus)) {
        return underPointer(ours);
    }
    return oursHasChildren && insideOurs(focus, ours) ? KeysGo::ToUs : KeysGo::Elsewhere;
}

