#include "platform/port.h"

#include <emscripten.h>

// The page's own clock (performance.now): milliseconds since the page opened, never going back.
double monotonicMs() {
    return emscripten_get_now();
}

// The browser runs the page's events meanwhile (Asyncify unwinds to it and comes back).
void sleepMs(unsigned ms) {
    emscripten_sleep(ms);
}
