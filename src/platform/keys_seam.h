#pragma once
// Where asyncKeyDown and windowFocused get their answers: the port's own, or a test's put in
// their place (and kPortKeySource put back after).
struct KeySource {
    bool (*keyDown)(int vk);
    bool (*windowFocused)();
};
extern const KeySource kPortKeySource;
extern KeySource keySource;
