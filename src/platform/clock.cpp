#include "platform/clock.h"

#include "platform/hook_state.h"
#include "platform/port.h"

#include <cmath>
#include <ctime>

namespace {

// Taken before main, so the first frame reads a small number like the game expects.
const double startMs = monotonicMs();

}  // namespace

double (*fakeClockMs)() = nullptr;

double clockMs() {
    if (fakeClockMs) {
        return fakeClockMs();
    }
    return std::floor(monotonicMs() - startMs);
}

unsigned calendarTime() {
    return static_cast<unsigned>(std::time(nullptr));
}
