// The game pads of the page, through the browser's Gamepad API: every pad the browser gives its
// standard layout (as SDL's database does on the desktop) reads as the desktop ports' one layout.
#include "platform/pad_layout.h"
#include "platform/port.h"
#include "platform/web/web.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

namespace {

constexpr int kSlots = 8;
// The standard layout's buttons and axes.
enum : int { kA = 0, kB = 1, kRightShoulder = 5, kRightTrigger = 7, kStart = 9 };
enum : int { kDpadUp = 12, kDpadDown = 13, kDpadLeft = 14, kDpadRight = 15 };
enum : int { kLeftX = 0, kLeftY = 1 };

struct Pads {
    bool open;
    PadLatches latches[kSlots];
};
Pads pads{};

bool button(const EmscriptenGamepadEvent& pad, int b) {
    return b < pad.numButtons && pad.digitalButton[b];
}

// A travel of -1 to 1 (0 to 1 for a trigger) on SDL's scale, which the layout's dead zones use.
int travel(double value) {
    const double scaled = value * 32768.0;
    return scaled >= 32767.0 ? 32767 : scaled <= -32768.0 ? -32768 : static_cast<int>(scaled);
}

void addPad(const EmscriptenGamepadEvent& pad, PadLatches& latches, PadState& s) {
    const PadReading reading{travel(kLeftX < pad.numAxes ? pad.axis[kLeftX] : 0.0),
                             travel(kLeftY < pad.numAxes ? pad.axis[kLeftY] : 0.0),
                             travel(kRightTrigger < pad.numButtons ? pad.analogButton[kRightTrigger] : 0.0),
                             button(pad, kDpadUp),
                             button(pad, kDpadDown),
                             button(pad, kDpadLeft),
                             button(pad, kDpadRight),
                             button(pad, kA),
                             button(pad, kB),
                             button(pad, kStart),
                             button(pad, kRightShoulder)};
    addPadReading(reading, latches, s);
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
            pads.latches[i] = PadLatches{};
        }
    }
    return s;
}

void rumbleGamepads() {
    if (pads.open && pageFocused()) {
        rumbleAll();
    }
}
