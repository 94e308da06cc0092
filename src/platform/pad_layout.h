#pragma once
// The one layout every port's pads read as (port.h, PadState), from what a pad holds now on SDL's
// scales, so that the dead zones are the same everywhere.
#include "platform/port.h"

#include <cstdint>

struct PadReading {
    int leftX, leftY;  // the left stick, -32768 to 32767, right and down positive
    int rightTrigger;  // 0 to 32767
    bool dpadUp, dpadDown, dpadLeft, dpadRight, a, b, start, rightShoulder;
};

// Whether each way of the stick and the trigger counts as pushed, kept between readings: a push
// counts from a quarter of the travel until it falls back below a sixth.
struct PadLatches {
    std::uint8_t up, down, left, right, trigger;
};

// Adds what the pad holds to the state of all pads together.
void addPadReading(const PadReading& pad, PadLatches& latches, PadState& state);
