#include "platform/pad_layout.h"

namespace {

constexpr int kPushed = 8192;    // a quarter of a stick's travel
constexpr int kReleased = 5461;  // a sixth: below it a pushed stick lets go

std::uint8_t pastDeadZone(int value, std::uint8_t& latch) {
    latch = value >= (latch ? kReleased : kPushed) ? 1 : 0;
    return latch;
}

}  // namespace

void addPadReading(const PadReading& pad, PadLatches& l, PadState& s) {
    s.up |= pastDeadZone(-pad.leftY, l.up) | pad.dpadUp;
    s.down |= pastDeadZone(pad.leftY, l.down) | pad.dpadDown;
    s.left |= pastDeadZone(-pad.leftX, l.left) | pad.dpadLeft;
    s.right |= pastDeadZone(pad.leftX, l.right) | pad.dpadRight;
    s.a |= pad.a;
    s.b |= pad.b;
    s.start |= pad.start;
    s.fire |= pastDeadZone(pad.rightTrigger, l.trigger) | pad.rightShoulder;
}
