#include "platform/clock.h"

#include "platform/clock_seam.h"
#include "platform/port.h"

#include <cmath>
#include <ctime>

namespace {

// Taken before main, so the first frame reads a small number like the game expects.
const double startMs = monotonicMs();

}  // namespace

double portClockMs() {
    return std::floor(monotonicMs() - startMs);
}

double (*clockSource)() = portClockMs;  // a constant: set before any code runs

double clockMs() {
    return clockSource();
}

unsigned calendarTime() {
    return static_cast<unsigned>(std::time(nullptr));
}
