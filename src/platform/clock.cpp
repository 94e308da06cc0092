#include "platform/clock.h"

#include <cmath>
#include <ctime>

namespace {

// Taken before main, so the first frame reads a small number like the game expects.
const double startMs = monotonicMs();
double (*clockSource)() = nullptr;

}  // namespace

double clockMs() {
    if (clockSource) {
        return clockSource();
    }
    return std::floor(monotonicMs() - startMs);
}

unsigned calendarTime() {
    return static_cast<unsigned>(std::time(nullptr));
}

void setClockSource(double (*source)()) {
    clockSource = source;
}
