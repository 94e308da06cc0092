#include "support/test_support.h"

#include "platform/clock.h"

double fakeNow = 0;

namespace {
double readFakeClock() {
    return fakeNow;
}
}  // namespace

void useFakeClock(double start) {
    fakeNow = start;
    setClockSource(readFakeClock);
}

void useRealClock() {
    setClockSource(nullptr);
}
