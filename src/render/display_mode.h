#pragma once
// The window's resolution, colour depth, refresh rate and full-screen flag, and the two scales
// that map game coordinates onto the view box.
#include <cstdint>

struct DisplayMode {
    double xScale;
    double yScale;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t colourBits;   // 8, 16 or 32
    std::uint32_t refreshRate;  // Hz for full screen; 0 asks for none
    std::uint8_t fullScreen;
};

extern DisplayMode displayMode;

// The game's sizes prepared for the display mode's resolution (prepareGame with newGame false).
void prepareGameForDisplay(bool keepState);

constexpr const char* kWindowTitle = "zarv 713a";
