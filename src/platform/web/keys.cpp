#include "platform/port.h"
#include "platform/virtual_keys.h"
#include "platform/web/web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

namespace {

// A key of the keyboard by its KeyboardEvent.code (where it sits, whatever the layout and Num Lock
// say), and the virtual-key codes it sends: numeric pad 8 is 104 with or without Num Lock, apart
// from Up, as on the desktop ports.
struct WebKey {
    const char* code;
    int vk;
    int alternate;  // 0 for none: left Shift is Shift and Left Shift
};

constexpr WebKey kKeys[] = {
    {"Backspace", VkBackspace, 0}, {"Tab", VkTab, 0}, {"NumpadClear", VkClear, 0}, {"Enter", VkEnter, 0},
    {"NumpadEnter", VkEnter, 0}, {"ShiftLeft", VkShift, VkLeftShift}, {"ShiftRight", VkShift, VkRightShift},
    {"ControlLeft", VkControl, VkLeftControl}, {"ControlRight", VkControl, VkRightControl},
    {"AltLeft", VkAlt, VkLeftAlt}, {"AltRight", VkAlt, VkRightAlt}, {"Pause", VkPause, VkCtrlBreak},
    {"CapsLock", VkCapsLock, 0}, {"Escape", VkEscape, 0}, {"Space", VkSpace, 0}, {"PageUp", VkPageUp, 0},
    {"PageDown", VkPageDown, 0}, {"End", VkEnd, 0}, {"Home", VkHome, 0}, {"ArrowLeft", VkLeft, 0},
    {"ArrowUp", VkUp, 0}, {"ArrowRight", VkRight, 0}, {"ArrowDown", VkDown, 0}, {"Select", VkSelect, 0},
    {"PrintScreen", VkPrintScreen, 0}, {"Insert", VkInsert, 0}, {"Delete", VkDelete, 0}, {"Help", VkHelp, 0},
    {"Digit0", Vk0, 0}, {"Digit1", Vk1, 0}, {"Digit2", Vk2, 0}, {"Digit3", Vk3, 0}, {"Digit4", Vk4, 0},
    {"Digit5", Vk5, 0}, {"Digit6", Vk6, 0}, {"Digit7", Vk7, 0}, {"Digit8", Vk8, 0}, {"Digit9", Vk9, 0},
    {"KeyA", VkA, 0}, {"KeyB", VkB, 0}, {"KeyC", VkC, 0}, {"KeyD", VkD, 0}, {"KeyE", VkE, 0}, {"KeyF", VkF, 0},
    {"KeyG", VkG, 0}, {"KeyH", VkH, 0}, {"KeyI", VkI, 0}, {"KeyJ", VkJ, 0}, {"KeyK", VkK, 0}, {"KeyL", VkL, 0},
    {"KeyM", VkM, 0}, {"KeyN", VkN, 0}, {"KeyO", VkO, 0}, {"KeyP", VkP, 0}, {"KeyQ", VkQ, 0}, {"KeyR", VkR, 0},
    {"KeyS", VkS, 0}, {"KeyT", VkT, 0}, {"KeyU", VkU, 0}, {"KeyV", VkV, 0}, {"KeyW", VkW, 0}, {"KeyX", VkX, 0},
    {"KeyY", VkY, 0}, {"KeyZ", VkZ, 0}, {"MetaLeft", VkLeftWindows, 0}, {"MetaRight", VkRightWindows, 0},
    {"OSLeft", VkLeftWindows, 0}, {"OSRight", VkRightWindows, 0}, {"ContextMenu", VkContextMenu, 0},
    {"Sleep", VkSleep, 0}, {"Numpad0", VkNumpad0, 0}, {"Numpad1", VkNumpad1, 0}, {"Numpad2", VkNumpad2, 0},
    {"Numpad3", VkNumpad3, 0}, {"Numpad4", VkNumpad4, 0}, {"Numpad5", VkNumpad5, 0}, {"Numpad6", VkNumpad6, 0},
    {"Numpad7", VkNumpad7, 0}, {"Numpad8", VkNumpad8, 0}, {"Numpad9", VkNumpad9, 0},
    {"NumpadMultiply", VkMultiply, 0}, {"NumpadAdd", VkAdd, 0}, {"NumpadComma", VkSeparator, 0},
    {"NumpadSubtract", VkSubtract, 0}, {"NumpadDecimal", VkDecimal, 0}, {"NumpadDivide", VkDivide, 0},
    {"F1", VkF1, 0}, {"F2", VkF2, 0}, {"F3", VkF3, 0}, {"F4", VkF4, 0}, {"F5", VkF5, 0}, {"F6", VkF6, 0},
    {"F7", VkF7, 0}, {"F8", VkF8, 0}, {"F9", VkF9, 0}, {"F10", VkF10, 0}, {"F11", VkF11, 0}, {"F12", VkF12, 0},
    {"F13", VkF13, 0}, {"F14", VkF14, 0}, {"F15", VkF15, 0}, {"F16", VkF16, 0}, {"F17", VkF17, 0},
    {"F18", VkF18, 0}, {"F19", VkF19, 0}, {"F20", VkF20, 0}, {"F21", VkF21, 0}, {"F22", VkF22, 0},
    {"F23", VkF23, 0}, {"F24", VkF24, 0}, {"NumLock", VkNumLock, 0}, {"ScrollLock", VkScrollLock, 0},
    {"BrowserBack", VkBrowserBack, 0}, {"BrowserForward", VkBrowserForward, 0},
    {"BrowserRefresh", VkBrowserRefresh, 0}, {"BrowserStop", VkBrowserStop, 0},
    {"BrowserSearch", VkBrowserSearch, 0}, {"BrowserFavorites", VkBrowserFavorites, 0},
    {"BrowserHome", VkBrowserHome, 0}, {"AudioVolumeMute", VkVolumeMute, 0},
    {"AudioVolumeDown", VkVolumeDown, 0}, {"AudioVolumeUp", VkVolumeUp, 0}, {"MediaTrackNext", VkMediaNext, 0},
    {"MediaTrackPrevious", VkMediaPrevious, 0}, {"MediaStop", VkMediaStop, 0},
    {"MediaPlayPause", VkMediaPlayPause, 0}, {"LaunchMail", VkLaunchMail, 0}, {"MediaSelect", VkLaunchMedia, 0},
    {"LaunchApp1", VkLaunchApp1, 0}, {"LaunchApp2", VkLaunchApp2, 0}, {"Semicolon", VkSemicolon, 0},
    {"Equal", VkEquals, 0}, {"Comma", VkComma, 0}, {"Minus", VkMinus, 0}, {"Period", VkPeriod, 0},
    {"Slash", VkSlash, 0}, {"Backquote", VkGrave, 0}, {"BracketLeft", VkLeftBracket, 0},
    {"Backslash", VkBackslash, 0}, {"BracketRight", VkRightBracket, 0}, {"Quote", VkApostrophe, 0},
    {"IntlBackslash", VkOem102, 0},
};
constexpr int kKeyCount = static_cast<int>(sizeof kKeys / sizeof kKeys[0]);
// Mouse buttons by MouseEvent.button: left, middle, right, back, forward.
constexpr int kButtonVk[5] = {VkMouseLeft, VkMouseMiddle, VkMouseRight, VkMouseX1, VkMouseX2};

struct KeyState {
    bool open;
    bool focused;
    // The codes each key of kKeys sent when it went down (a letter key sends the letter its layout
    // prints, which may differ from its place), so that its release lets go of the same ones.
    int sent[kKeyCount][2];
    int held[256];      // how many keys and buttons hold each code down
    bool pending[256];  // pressed since the code was last asked
};
KeyState state{};

int keyIndex(const char* code) {
    for (int i = 0; i < kKeyCount; ++i) {
        if (std::strcmp(kKeys[i].code, code) == 0) {
            return i;
        }
    }
    return -1;
}

void press(int vk, bool pressedHere) {
    if (vk > 0 && vk < 256) {
        ++state.held[vk];
        state.pending[vk] = state.pending[vk] || pressedHere;
    }
}

void release(int vk) {
    if (vk > 0 && vk < 256 && state.held[vk] > 0) {
        --state.held[vk];
    }
}

// A letter typed on a Latin layout counts as that letter, as the desktop's key codes do on an
// AZERTY keyboard, so that a name is typed as the keys are labelled; on any other layout the key
// counts as the letter at its place on a US keyboard.
int letterOf(const EmscriptenKeyboardEvent& e, int vk) {
    const char c = e.key[0];
    const bool oneLetter = e.key[1] == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    return vk >= VkA && vk <= VkZ && oneLetter ? (c & ~0x20) : vk;
}

// Every key the game knows keeps its browser meaning to itself while the game has the focus (F5
// reloads, F11 and F12 are the browser's, Tab and the arrows move the page, Backspace goes back),
// but shortcuts with Ctrl or the system key stay the browser's.
EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    const int i = keyIndex(e->code);
    if (i < 0) {
        return EM_FALSE;
    }
    if (type == EMSCRIPTEN_EVENT_KEYDOWN && state.sent[i][0] == 0) {
        // A key already held when the page got the focus comes back through its repeats: it reads
        // down from then on, but its press was made elsewhere and is not kept.
        state.sent[i][0] = letterOf(*e, kKeys[i].vk);
        state.sent[i][1] = kKeys[i].alternate;
        press(state.sent[i][0], !e->repeat), press(state.sent[i][1], !e->repeat);
    } else if (type == EMSCRIPTEN_EVENT_KEYUP) {
        release(state.sent[i][0]), release(state.sent[i][1]);
        state.sent[i][0] = state.sent[i][1] = 0;
    }
    const bool shortcut = (e->ctrlKey || e->metaKey) && kKeys[i].vk != VkControl;
    return shortcut ? EM_FALSE : EM_TRUE;
}

EM_BOOL onButton(int type, const EmscriptenMouseEvent* e, void*) {
    if (e->button >= 0 && e->button < 5) {
        type == EMSCRIPTEN_EVENT_MOUSEDOWN ? press(kButtonVk[e->button], true) : release(kButtonVk[e->button]);
    }
    return EM_FALSE;
}

// Keys held when the page loses the focus are let go (their releases go elsewhere), and nothing
// pressed before the focus comes back counts.
void letGoOfEverything() {
    std::memset(state.sent, 0, sizeof state.sent);
    std::memset(state.held, 0, sizeof state.held);
    std::memset(state.pending, 0, sizeof state.pending);
}

EM_BOOL onFocus(int type, const EmscriptenFocusEvent*, void*) {
    letGoOfEverything();
    state.focused = type == EMSCRIPTEN_EVENT_FOCUS;
    return EM_FALSE;
}

EM_JS(int, pageHasFocus, (), { return document.hasFocus() ? 1 : 0; });

void listen(bool on) {
    const char* const page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_TRUE, on ? onKey : nullptr);
    emscripten_set_keyup_callback(page, nullptr, EM_TRUE, on ? onKey : nullptr);
    emscripten_set_mousedown_callback(page, nullptr, EM_TRUE, on ? onButton : nullptr);
    emscripten_set_mouseup_callback(page, nullptr, EM_TRUE, on ? onButton : nullptr);
    // Not captured: the page's own elements gaining and losing the focus are no concern of the game.
    emscripten_set_focus_callback(page, nullptr, EM_FALSE, on ? onFocus : nullptr);
    emscripten_set_blur_callback(page, nullptr, EM_FALSE, on ? onFocus : nullptr);
}

}  // namespace

bool pageFocused() {
    return state.open && state.focused;
}

bool openKeyboard(const char*) {
    closeKeyboard();
    listen(true);
    state.open = true;
    state.focused = pageHasFocus() != 0;
    return true;
}

void closeKeyboard() {
    if (state.open) {
        listen(false);
    }
    state = KeyState{};
}

bool portKeyDown(int vk) {
    if (!state.open || vk < 1 || vk > 255) {
        return false;
    }
    const bool down = state.held[vk] > 0 || state.pending[vk];
    state.pending[vk] = false;
    // Ctrl + Break is the Pause key with Control held.
    return vk == VkCtrlBreak ? down && state.held[VkControl] > 0 : down;
}

bool portWindowFocused() {
    return pageFocused();
}
