#include "platform/test_hooks.h"

#include "platform/hook_state.h"

void setKeySource(bool (*down)(int), bool (*focused)()) {
    fakeKeyDown = down;
    fakeWindowFocused = focused;
}

void setClockSource(double (*source)()) {
    fakeClockMs = source;
}

void setFileStepHook(FileStepHook hook) {
    fakeFileStepFails = hook;
}
