#include "platform/clock.h"

#include <windows.h>

#include <cmath>
#include <ctime>

namespace {

// The C library's clock() is wall time on Windows and jumps with the system clock; the
// performance counter never goes back.
double monotonicMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
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
    Sleep(ms);
}

void setClockSource(double (*source)()) {
    clockSource = source;
}
