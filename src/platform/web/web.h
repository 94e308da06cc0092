#pragma once
// What the web port's files share: the page's elements (web/index.html makes them).

// The element that holds the game's canvas and goes full screen; the canvas inside it is made
// anew with every window, as a desktop window gets a new OpenGL context.
inline constexpr const char* kGameBoxId = "zarv-box";
inline constexpr const char* kCanvasId = "zarv-canvas";
inline constexpr const char* kCanvasSelector = "#zarv-canvas";

// True while the page has the keyboard focus (keys.cpp); the pads read only then.
bool pageFocused();
