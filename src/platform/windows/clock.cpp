#include "platform/clock.h"

#include "platform/port.h"

#include <windows.h>

#include <mmsystem.h>

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

// The system timer ticks every 15.6 ms unless asked for 1 ms; Sleep(1) would then idle a whole
// tick where the game means one millisecond. The request ends with the process.
void sleepMs(unsigned ms) {
    static const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)fineTimer;
    Sleep(ms);
}
