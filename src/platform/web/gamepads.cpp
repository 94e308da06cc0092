// The game pads of the page, through the browser's Gamepad API: every pad the browser gives its
// standard layout (as SDL's database does on the desktop) reads as the desktop ports' one layout.
#include "platform/port.h"
#include "platform/web/web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

namespace {

constexpr int kSlots = 8;
constexpr double kPushed = 0.25;         // a quarter of a stick's travel
constexpr double kReleased = 1.0 / 6.0;  // a sixth: below it a pushed stick lets go
// The standard layout's buttons and axes.
enum : int { kA = 0, kB = 1, kRightShoulder = 5, kRightTrigger = 7, kStart = 9 };
enum : int { kDpadUp = 12, kDpadDown = 13, kDpadLeft = 14, kDpadRight = 15 };
enum : int { kLeftX = 0, kLeftY = 1 };

struct Latches {
    std::uint8_t up, down, left, right, trigger;
};
struct Pads {
    bool open;
    Latches latches[kSlots];
};
Pads pads{};

std::uint8_t pastDeadZone(double value, std::uint8_t& latch) {
    latch = value >= (latch ? kReleased : kPushed) ? 1 : 0;
    return latch;
}

std::uint8_t button(const EmscriptenGamepadEvent& pad, int b) {
    return b < pad.numButtons && pad.digitalButton[b] ? 1 : 0;
}

double axis(const EmscriptenGamepadEvent& pad, int a) {
    return a < pad.numAxes ? pad.axis[a] : 0.0;
}

void addPad(const EmscriptenGamepadEvent& pad, Latches& l, PadState& s) {
    const double x = axis(pad, kLeftX), y = axis(pad, kLeftY);
    s.up |= pastDeadZone(-y, l.up) | button(pad, kDpadUp);
    s.down |= pastDeadZone(y, l.down) | button(pad, kDpadDown);
    s.left |= pastDeadZone(-x, l.left) | button(pad, kDpadLeft);
    s.right |= pastDeadZone(x, l.right) | button(pad, kDpadRight);
    s.a |= button(pad, kA);
    s.b |= button(pad, kB);
    s.start |= button(pad, kStart);
    const double trigger = kRightTrigger < pad.numButtons ? pad.analogButton[kRightTrigger] : 0.0;
    s.fire |= button(pad, kRightShoulder) | pastDeadZone(trigger, l.trigger);
}

EM_JS(void, rumbleAll, (), {
    const list = navigator.getGamepads ? navigator.getGamepads() : [];
    for (const pad of list) {
        if (pad && pad.vibrationActuator && pad.vibrationActuator.playEffect) {
            pad.vibrationActuator.playEffect("dual-rumble", {duration: 250, strongMagnitude: 0.75, weakMagnitude: 0.75})
                .catch(() => {});
        }
    }
});

}  // namespace

bool openGamepads() {
    if (!pads.open) {
        pads = Pads{};
        pads.open = emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS;
    }
    return pads.open;
}

void closeGamepads() {
    pads = Pads{};
}

// Pads come and go by the browser's list; one gone or not in the standard layout holds nothing.
// While another window has the focus the page reads none, as the desktop reads no keys.
PadState readGamepads() {
    PadState s{};
    if (!pads.open || !pageFocused() || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        std::memset(pads.latches, 0, sizeof pads.latches);
        return s;
    }
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < kSlots; ++i) {
        EmscriptenGamepadEvent pad;
        const bool there = i < count && emscripten_get_gamepad_status(i, &pad) == EMSCRIPTEN_RESULT_SUCCESS &&
                           pad.connected && std::strcmp(pad.mapping, "standard") == 0;
        if (there) {
            addPad(pad, pads.latches[i], s);
        } else {
            pads.latches[i] = Latches{};
        }
    }
    return s;
}

void rumbleGamepads() {
    if (pads.open && pageFocused()) {
        rumbleAll();
    }
}
