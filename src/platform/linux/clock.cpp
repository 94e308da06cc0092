#include "platform/clock.h"

#include <cerrno>
#include <cmath>
#include <ctime>
#include <time.h>

namespace {

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1.0e6;
}

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

void sleepMs(unsigned ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void setClockSource(double (*source)()) {
    clockSource = source;
}
