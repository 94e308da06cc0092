#include "platform/clock.h"

#include <windows.h>

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

void sleepMs(unsigned ms) {
    Sleep(ms);
}
