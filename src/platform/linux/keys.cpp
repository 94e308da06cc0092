#include "platform/keys.h"

#include "platform/clock.h"
#include "platform/linux/keys_x11.h"
#include "platform/port.h"
#include "platform/virtual_keys.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

Display* keyDisplay = nullptr;

namespace {

// A key's state is reused this long, so that one poll or one key scan is one round trip.
constexpr double kSnapshotMs = 1.0;

XErrorHandler previousErrorHandler = nullptr;
// Keycodes of each virtual-key code (up to two), resolved once per connection.
unsigned char keycodes[256][2] = {};
char keymap[32] = {};
// Mouse buttons down in the current snapshot, bit n for X button n.
unsigned buttonsDown = 0;
double keymapTime = -1.0e9;
double pointerTime = -1.0e9;

// The keymap query says only what is down now. Presses are also caught as they happen (XInput2
// raw events, sent whoever has the focus) and kept per virtual-key code until that code is
// asked, so a tap shorter than a frame is read once, by its own key's query and no other.
int xiOpcode = -1;
bool pending[256] = {};
// Buttons 8 and 9 (X1, X2) are not in the core pointer state: they are followed by their events.
unsigned buttonsHeld = 0;

// Windows vanish between our questions (the focus moves, the game window is re-created):
// errors on this connection are expected and must not end the program.
int ignoreOwnErrors(Display* dpy, XErrorEvent* event) {
    if (dpy == keyDisplay) {
        return 0;
    }
    return previousErrorHandler != nullptr ? previousErrorHandler(dpy, event) : 0;
}

void listenForPresses() {
    xiOpcode = -1;
    int event = 0;
    int error = 0;
    int opcode = 0;
    int major = 2;
    int minor = 2;
    if (!XQueryExtension(keyDisplay, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(keyDisplay, &major, &minor) != Success) {
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    if (XISelectEvents(keyDisplay, DefaultRootWindow(keyDisplay), &mask, 1) == Success) {
        xiOpcode = opcode;
    }
}

// X buttons 1 to 9 by the virtual-key code they send; 0 where none.
constexpr int kButtonVk[10] = {0, VkMouseLeft, VkMouseMiddle, VkMouseRight, 0, 0, 0, 0, VkMouseX1, VkMouseX2};

// The X button of a mouse-button code, or 0.
int buttonOf(int vk) {
    for (int button = 1; button < 10 && vk != 0; ++button) {
        if (kButtonVk[button] == vk) {
            return button;
        }
    }
    return 0;
}

// A keycode may stand for several codes (left Shift is 16 and 160): the press is pending for each.
void notePress(int keycode) {
    for (int vk = 0; vk < 256; ++vk) {
        if (keycodes[vk][0] == keycode || keycodes[vk][1] == keycode) {
            pending[vk] = true;
        }
    }
}

// Takes the events that reached us with the last reply.
void collectPresses() {
    while (XEventsQueued(keyDisplay, QueuedAlready) > 0) {
        XEvent event;
        XNextEvent(keyDisplay, &event);
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != xiOpcode || !XGetEventData(keyDisplay, &cookie)) {
            continue;
        }
        const int detail = static_cast<const XIRawEvent*>(cookie.data)->detail;
        const unsigned button = detail > 0 && detail < 32 ? 1u << detail : 0u;
        if (cookie.evtype == XI_RawKeyPress && detail > 0 && detail < 256) {
            notePress(detail);
        } else if (cookie.evtype == XI_RawButtonPress) {
            buttonsHeld |= button;
            if (detail > 0 && detail < 10 && kButtonVk[detail] != 0) {
                pending[kButtonVk[detail]] = true;
            }
        } else if (cookie.evtype == XI_RawButtonRelease) {
            buttonsHeld &= ~button;
        }
        XFreeEventData(keyDisplay, &cookie);
    }
}

// What was pressed while another window had the focus is not ours.
void forgetPresses() {
    // Also what has reached the socket unread, without the cost of a round trip.
    XEventsQueued(keyDisplay, QueuedAfterReading);
    collectPresses();
    for (bool& press : pending) {
        press = false;
    }
}

// Read once: true when the code was pressed since it was last asked.
bool takePress(int vk) {
    const bool pressed = pending[vk];
    pending[vk] = false;
    return pressed;
}

bool fresh(double& taken) {
    const double now = monotonicMs();
    if (now >= taken && now - taken < kSnapshotMs) {
        return true;
    }
    taken = now;
    return false;
}

void refreshKeymap() {
    if (fresh(keymapTime)) {
        return;
    }
    XQueryKeymap(keyDisplay, keymap);
    collectPresses();
}

// Only a bound mouse button costs the pointer query.
void refreshPointer() {
    if (fresh(pointerTime)) {
        return;
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(keyDisplay, DefaultRootWindow(keyDisplay), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    collectPresses();
    // Button1Mask is bit 8: buttons 1 to 5 move to bits 1 to 5.
    buttonsDown = ((mask >> 7) & 0x3eu) | buttonsHeld;
}

bool buttonDown(int button) {
    refreshPointer();
    return (buttonsDown & (1u << button)) != 0;
}

bool keycodeDown(unsigned char code) {
    return code != 0 && (keymap[code >> 3] & (1 << (code & 7))) != 0;
}

bool vkDown(int vk) {
    return keycodeDown(keycodes[vk][0]) || keycodeDown(keycodes[vk][1]);
}

}  // namespace

bool openKeyboard(const char*) {
    closeKeyboard();
    keyDisplay = XOpenDisplay(nullptr);
    if (keyDisplay == nullptr) {
        return false;
    }
    XErrorHandler previous = XSetErrorHandler(ignoreOwnErrors);
    if (previous != ignoreOwnErrors) {
        previousErrorHandler = previous;
    }
    resolveKeycodes(keycodes);
    listenForPresses();
    forgetPresses();
    buttonsHeld = 0;
    keymapTime = pointerTime = -1.0e9;
    forgetAncestry();
    return true;
}

void closeKeyboard() {
    if (keyDisplay != nullptr) {
        XCloseDisplay(keyDisplay);
        keyDisplay = nullptr;
    }
}

bool portKeyDown(int vk) {
    if (keyDisplay == nullptr || vk < 0 || vk > 255) {
        return false;
    }
    bool down = false;
    const int button = buttonOf(vk);
    if (button != 0) {
        down = buttonDown(button);
    } else {
        refreshKeymap();
        down = vkDown(vk);
    }
    // Asked after the refresh, which collects the presses that came with its reply.
    down = takePress(vk) || down;
    return vk == VkCtrlBreak ? down && vkDown(VkControl) : down;
}

bool portWindowFocused() {
    if (keyDisplay == nullptr) {
        return false;
    }
    // The current drawable is always the live game window, also after it was re-created; while
    // there is none the window is being replaced, and the presses made meanwhile stay ours.
    const Window ours = glXGetCurrentDrawable();
    if (ours == 0) {
        return false;
    }
    const KeysGo go = whereKeysGo(ours);
    // Only what another client was sent is not ours; what went to no one waits for its query.
    if (go == KeysGo::Elsewhere) {
        forgetPresses();
    } else if (go == KeysGo::Nowhere) {
        collectPresses();
    }
    return go == KeysGo::ToUs;
}
