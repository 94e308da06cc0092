#include "platform/pad_layout.h"
#include "platform/port.h"

// The program has its own main; SDL must not replace it.
#define SDL_MAIN_HANDLED
#include <SDL.h>

namespace {

constexpr int kSlots = 8;
constexpr Uint16 kRumbleStrength = 0xC000;
constexpr Uint32 kRumbleMs = 250;

// A joystick SDL lists, with the controller opened for it (nullptr for one the database does not
// map: it is remembered so that it is not asked again every frame) and its sticks' latches.
struct PadSlot {
    SDL_JoystickID id;  // -1 marks a free slot
    SDL_GameController* pad;
    PadLatches latches;
    std::uint8_t seen;
};

struct Pads {
    bool open;
    PadSlot slots[kSlots];
};

Pads pads{};

void freeSlot(PadSlot& slot) {
    if (slot.pad != nullptr) {
        SDL_GameControllerClose(slot.pad);
    }
    slot = PadSlot{-1, nullptr, PadLatches{}, 0};
}

PadSlot* slotOf(SDL_JoystickID id) {
    for (PadSlot& slot : pads.slots) {
        if (slot.id == id) {
            return &slot;
        }
    }
    return nullptr;
}

// Matches the slots to the joysticks SDL lists now: new ones opened, vanished ones closed.
void followPlugging() {
    for (PadSlot& slot : pads.slots) {
        slot.seen = 0;
    }
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        PadSlot* slot = slotOf(id);
        if (slot == nullptr && id >= 0) {
            slot = slotOf(-1);
            if (slot == nullptr) {
                continue;  // more joysticks than slots: the first ones play
            }
            slot->id = id;
            slot->pad = SDL_IsGameController(i) ? SDL_GameControllerOpen(i) : nullptr;
        }
        if (slot != nullptr) {
            slot->seen = 1;
        }
    }
    for (PadSlot& slot : pads.slots) {
        if (slot.id != -1 && (!slot.seen || (slot.pad != nullptr && !SDL_GameControllerGetAttached(slot.pad)))) {
            freeSlot(slot);
        }
    }
}

bool button(SDL_GameController* pad, SDL_GameControllerButton b) {
    return SDL_GameControllerGetButton(pad, b) != 0;
}

void addPad(PadSlot& slot, PadState& s) {
    SDL_GameController* pad = slot.pad;
    const PadReading reading{SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX),
                             SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY),
                             SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT),
                             button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP),
                             button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN),
                             button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT),
                             button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                             button(pad, SDL_CONTROLLER_BUTTON_A),
                             button(pad, SDL_CONTROLLER_BUTTON_B),
                             button(pad, SDL_CONTROLLER_BUTTON_START),
                             button(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER)};
    addPadReading(reading, slot.latches, s);
}

}  // namespace

bool openGamepads() {
    if (pads.open) {
        return true;
    }
    SDL_SetMainReady();
    // Ctrl+C and the session's end must still end the game as before, not queue a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL has no window of ours to judge the focus by; the caller gates on the game window's own.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
        return false;
    }
    // Nobody reads SDL's event queue: the state is polled, so no event may pile up.
    SDL_GameControllerEventState(SDL_IGNORE);
    SDL_JoystickEventState(SDL_IGNORE);
    for (PadSlot& slot : pads.slots) {
        freeSlot(slot);  // nothing open yet: only marks the slot free
    }
    pads.open = true;
    return true;
}

void closeGamepads() {
    if (!pads.open) {
        return;
    }
    for (PadSlot& slot : pads.slots) {
        freeSlot(slot);
    }
    pads.open = false;
    SDL_Quit();
}

PadState readGamepads() {
    PadState s{};
    if (!pads.open) {
        return s;
    }
    SDL_GameControllerUpdate();
    followPlugging();
    for (PadSlot& slot : pads.slots) {
        if (slot.pad != nullptr) {
            addPad(slot, s);
        }
    }
    return s;
}

void rumbleGamepads() {
    for (PadSlot& slot : pads.slots) {
        if (slot.pad != nullptr) {
            SDL_GameControllerRumble(slot.pad, kRumbleStrength, kRumbleStrength, kRumbleMs);
        }
    }
}
