#pragma once
// The sources tests put in place of the system's (test_hooks.h sets them); null in the game.
extern bool (*fakeKeyDown)(int vk);
extern bool (*fakeWindowFocused)();
extern double (*fakeClockMs)();
extern bool (*fakeFileStepFails)(const char* step);
