#include "platform/keys.h"

#include "platform/clock.h"
#include "platform/linux/keysyms.h"

#include <GL/glx.h>
#include <X11/XF86keysym.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace {

struct VkKeysyms {
    int vk;
    KeySym primary;
    KeySym alternate;
};

// Windows virtual-key codes as X keysyms. The keypad keys are found by their keycodes, which
// do not depend on NumLock, so numeric pad 8 stays apart from Up whatever the lock says.
constexpr VkKeysyms kVkTable[] = {
    {3, XK_Break, 0},  // Ctrl + Break: the Pause key with Control held
    {8, XK_BackSpace, 0},
    {9, XK_Tab, 0},
    {12, XK_Clear, 0},
    {13, XK_Return, XK_KP_Enter},
    {16, XK_Shift_L, XK_Shift_R},
    {17, XK_Control_L, XK_Control_R},
    {18, XK_Alt_L, XK_Alt_R},
    {19, XK_Pause, 0},
    {20, XK_Caps_Lock, 0},
    {27, XK_Escape, 0},
    {32, XK_space, 0},
    {33, XK_Prior, 0},
    {34, XK_Next, 0},
    {35, XK_End, 0},
    {36, XK_Home, 0},
    {37, XK_Left, 0},
    {38, XK_Up, 0},
    {39, XK_Right, 0},
    {40, XK_Down, 0},
    {41, XK_Select, 0},
    {42, 0xfd1d, 0},  // the old Print key, which PC keyboards lack: X knows it only as 3270_PrintScreen
    {43, XK_Execute, 0},
    {44, XK_Print, XK_Sys_Req},  // Print Screen
    {45, XK_Insert, 0},
    {46, XK_Delete, 0},
    {47, XK_Help, 0},
    {48, XK_0, 0},
    {49, XK_1, 0},
    {50, XK_2, 0},
    {51, XK_3, 0},
    {52, XK_4, 0},
    {53, XK_5, 0},
    {54, XK_6, 0},
    {55, XK_7, 0},
    {56, XK_8, 0},
    {57, XK_9, 0},
    {65, XK_a, 0},
    {66, XK_b, 0},
    {67, XK_c, 0},
    {68, XK_d, 0},
    {69, XK_e, 0},
    {70, XK_f, 0},
    {71, XK_g, 0},
    {72, XK_h, 0},
    {73, XK_i, 0},
    {74, XK_j, 0},
    {75, XK_k, 0},
    {76, XK_l, 0},
    {77, XK_m, 0},
    {78, XK_n, 0},
    {79, XK_o, 0},
    {80, XK_p, 0},
    {81, XK_q, 0},
    {82, XK_r, 0},
    {83, XK_s, 0},
    {84, XK_t, 0},
    {85, XK_u, 0},
    {86, XK_v, 0},
    {87, XK_w, 0},
    {88, XK_x, 0},
    {89, XK_y, 0},
    {90, XK_z, 0},
    {91, XK_Super_L, 0},
    {92, XK_Super_R, 0},
    {93, XK_Menu, 0},
    {95, XF86XK_Sleep, 0},
    {96, XK_KP_0, XK_KP_Insert},
    {97, XK_KP_1, XK_KP_End},
    {98, XK_KP_2, XK_KP_Down},
    {99, XK_KP_3, XK_KP_Next},
    {100, XK_KP_4, XK_KP_Left},
    {101, XK_KP_5, XK_KP_Begin},
    {102, XK_KP_6, XK_KP_Right},
    {103, XK_KP_7, XK_KP_Home},
    {104, XK_KP_8, XK_KP_Up},
    {105, XK_KP_9, XK_KP_Prior},
    {106, XK_KP_Multiply, 0},
    {107, XK_KP_Add, 0},
    {108, XK_KP_Separator, 0},
    {109, XK_KP_Subtract, 0},
    {110, XK_KP_Decimal, XK_KP_Delete},
    {111, XK_KP_Divide, 0},
    {112, XK_F1, 0},
    {113, XK_F2, 0},
    {114, XK_F3, 0},
    {115, XK_F4, 0},
    {116, XK_F5, 0},
    {117, XK_F6, 0},
    {118, XK_F7, 0},
    {119, XK_F8, 0},
    {120, XK_F9, 0},
    {121, XK_F10, 0},
    {122, XK_F11, 0},
    {123, XK_F12, 0},
    {124, XK_F13, 0},
    {125, XK_F14, 0},
    {126, XK_F15, 0},
    {127, XK_F16, 0},
    {128, XK_F17, 0},
    {129, XK_F18, 0},
    {130, XK_F19, 0},
    {131, XK_F20, 0},
    {132, XK_F21, 0},
    {133, XK_F22, 0},
    {134, XK_F23, 0},
    {135, XK_F24, 0},
    {144, XK_Num_Lock, 0},
    {145, XK_Scroll_Lock, 0},
    {160, XK_Shift_L, 0},
    {161, XK_Shift_R, 0},
    {162, XK_Control_L, 0},
    {163, XK_Control_R, 0},
    {164, XK_Alt_L, 0},
    {165, XK_Alt_R, 0},
    {166, XF86XK_Back, 0},
    {167, XF86XK_Forward, 0},
    {168, XF86XK_Refresh, 0},
    {169, XF86XK_Stop, 0},
    {170, XF86XK_Search, 0},
    {171, XF86XK_Favorites, 0},
    {172, XF86XK_HomePage, 0},
    {173, XF86XK_AudioMute, 0},
    {174, XF86XK_AudioLowerVolume, 0},
    {175, XF86XK_AudioRaiseVolume, 0},
    {176, XF86XK_AudioNext, 0},
    {177, XF86XK_AudioPrev, 0},
    {178, XF86XK_AudioStop, 0},
    {179, XF86XK_AudioPlay, 0},
    {180, XF86XK_Mail, 0},
    {181, XF86XK_AudioMedia, 0},
    {182, XF86XK_MyComputer, 0},
    {183, XF86XK_Calculator, 0},
    {186, XK_semicolon, 0},
    {187, XK_equal, 0},
    {188, XK_comma, 0},
    {189, XK_minus, 0},
    {190, XK_period, 0},
    {191, XK_slash, 0},
    {192, XK_grave, 0},
    {219, XK_bracketleft, 0},
    {220, XK_backslash, 0},
    {221, XK_bracketright, 0},
    {222, XK_apostrophe, 0},
    {226, XK_less, 0},  // the extra key beside left Shift on 105-key keyboards
};

// Where the letter, digit and punctuation keys sit on a PC keyboard, as X keycodes of the
// evdev numbering. A layout without Latin letters (Bulgarian alone, say) has no keycode for
// XK_a; the code then still means the key at that place, as it does on Windows.
struct VkPlace {
    int vk;
    unsigned char keycode;
};
constexpr VkPlace kPcPlaces[] = {
    {48, 19},  {49, 10},  {50, 11},  {51, 12},  {52, 13},  {53, 14},  {54, 15},  {55, 16},  {56, 17},
    {57, 18},  {65, 38},  {66, 56},  {67, 54},  {68, 40},  {69, 26},  {70, 41},  {71, 42},  {72, 43},
    {73, 31},  {74, 44},  {75, 45},  {76, 46},  {77, 58},  {78, 57},  {79, 32},  {80, 33},  {81, 24},
    {82, 27},  {83, 39},  {84, 28},  {85, 30},  {86, 55},  {87, 25},  {88, 53},  {89, 29},  {90, 52},
    {186, 47}, {187, 21}, {188, 59}, {189, 20}, {190, 60}, {191, 61}, {192, 49}, {219, 34}, {220, 51},
    {221, 35}, {222, 48}, {226, 94},
};
constexpr unsigned char kEvdevEscape = 9;

constexpr int kVkMouseLeft = 1;
constexpr int kVkMouseRight = 2;
constexpr int kVkCtrlBreak = 3;
constexpr int kVkMouseMiddle = 4;
constexpr int kVkMouseX1 = 5;
constexpr int kVkMouseX2 = 6;
constexpr int kVkControl = 17;

// A key's state is reused this long, so that one poll or one key scan is one round trip.
constexpr double kSnapshotMs = 1.0;

Display* display = nullptr;
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

bool (*fakeDown)(int) = nullptr;
bool (*fakeFocused)() = nullptr;

const VkKeysyms* findVk(int vk) {
    for (const VkKeysyms& entry : kVkTable) {
        if (entry.vk == vk) {
            return &entry;
        }
    }
    return nullptr;
}

// Windows vanish between our questions (the focus moves, the game window is re-created):
// errors on this connection are expected and must not end the program.
int ignoreOwnErrors(Display* dpy, XErrorEvent* event) {
    if (dpy == display) {
        return 0;
    }
    return previousErrorHandler != nullptr ? previousErrorHandler(dpy, event) : 0;
}

void resolveKeycodes() {
    for (auto& codes : keycodes) {
        codes[0] = codes[1] = 0;
    }
    for (const VkKeysyms& entry : kVkTable) {
        keycodes[entry.vk][0] = XKeysymToKeycode(display, entry.primary);
        if (entry.alternate != 0) {
            keycodes[entry.vk][1] = XKeysymToKeycode(display, entry.alternate);
        }
    }
    // The places are only known for evdev numbering, which puts Escape at 9.
    if (XKeysymToKeycode(display, XK_Escape) != kEvdevEscape) {
        return;
    }
    for (const VkPlace& place : kPcPlaces) {
        if (keycodes[place.vk][0] == 0) {
            keycodes[place.vk][0] = place.keycode;
        }
    }
}

void listenForPresses() {
    xiOpcode = -1;
    int event = 0;
    int error = 0;
    int opcode = 0;
    int major = 2;
    int minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        return;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    if (XISelectEvents(display, DefaultRootWindow(display), &mask, 1) == Success) {
        xiOpcode = opcode;
    }
}

// X buttons 1 to 9 by the virtual-key code they send; 0 where none.
constexpr int kButtonVk[10] = {0, kVkMouseLeft, kVkMouseMiddle, kVkMouseRight, 0, 0, 0, 0, kVkMouseX1, kVkMouseX2};

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
    while (XEventsQueued(display, QueuedAlready) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != xiOpcode || !XGetEventData(display, &cookie)) {
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
        XFreeEventData(display, &cookie);
    }
}

// What was pressed while another window had the focus is not ours.
void forgetPresses() {
    // Also what has reached the socket unread, without the cost of a round trip.
    XEventsQueued(display, QueuedAfterReading);
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
    XQueryKeymap(display, keymap);
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
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
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

// With the focus on the root (PointerRoot) or on a window-manager frame around ours,
// the keys go where the pointer is.
bool pointerInside(Window window) {
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display, window, &root, &child, &rootX, &rootY, &winX, &winY, &mask)) {
        return false;
    }
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
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
    if (!XQueryTree(display, window, &root, &parent, &children, &childCount)) {
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

// Where a key pressed now would go: to our window, to another client's, or to no client at all
// (no focus, the bare root, a window manager's frame around ours).
enum class KeysGo { ToUs, Elsewhere, Nowhere };

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
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    // Our top-level window is ours or the frame just below the root.
    const Window ourTop = ancestorCount >= 2 ? ancestors[ancestorCount - 2] : ours;
    return child == None || child == ourTop ? KeysGo::Nowhere : KeysGo::Elsewhere;
}

KeysGo whereKeysGo(Window ours) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
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

}  // namespace

bool openKeyboard() {
    closeKeyboard();
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XErrorHandler previous = XSetErrorHandler(ignoreOwnErrors);
    if (previous != ignoreOwnErrors) {
        previousErrorHandler = previous;
    }
    resolveKeycodes();
    listenForPresses();
    forgetPresses();
    buttonsHeld = 0;
    keymapTime = pointerTime = -1.0e9;
    ancestryOf = 0;
    return true;
}

void closeKeyboard() {
    if (display != nullptr) {
        XCloseDisplay(display);
        display = nullptr;
    }
}

bool asyncKeyDown(int vk) {
    if (fakeDown) {
        return fakeDown(vk);
    }
    if (display == nullptr || vk < 0 || vk > 255) {
        return false;
    }
    bool down = false;
    switch (vk) {
    case kVkMouseLeft:
        down = buttonDown(1);
        break;
    case kVkMouseRight:
        down = buttonDown(3);
        break;
    case kVkMouseMiddle:
        down = buttonDown(2);
        break;
    case kVkMouseX1:
        down = buttonDown(8);
        break;
    case kVkMouseX2:
        down = buttonDown(9);
        break;
    default:
        refreshKeymap();
        down = vkDown(vk);
        break;
    }
    // Asked after the refresh, which collects the presses that came with its reply.
    down = takePress(vk) || down;
    return vk == kVkCtrlBreak ? down && vkDown(kVkControl) : down;
}

bool windowFocused() {
    if (fakeFocused) {
        return fakeFocused();
    }
    if (display == nullptr) {
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

unsigned long vkToKeysym(int vk) {
    const VkKeysyms* entry = findVk(vk);
    return entry != nullptr ? entry->primary : 0;
}

unsigned long vkAlternateKeysym(int vk) {
    const VkKeysyms* entry = findVk(vk);
    return entry != nullptr ? entry->alternate : 0;
}

unsigned pcKeycode(int vk) {
    for (const VkPlace& place : kPcPlaces) {
        if (place.vk == vk) {
            return place.keycode;
        }
    }
    return 0;
}

void setKeySource(bool (*down)(int), bool (*focused)()) {
    fakeDown = down;
    fakeFocused = focused;
}
