#pragma once
// Full-screen display-mode switch (XRandR on X11, the display settings on Windows).

// Switches the screen to width x height (at refreshHz when it is not 0).
// True when the switch is refused: no such mode, no such rate, or no RandR at all.
// The first successful switch arranges for the original mode to come back at exit and on fatal
// signals (on Windows: at exit and on an unhandled exception).
bool switchDisplayMode(unsigned width, unsigned height, unsigned colourBits, unsigned refreshHz);

// Puts the mode back that was active before the first switch. Safe to call at any time.
void restoreDisplayMode();

// True when a window manager runs that takes a window to full screen itself (the EWMH full-screen
// state). Without one, GLUT's own full screen on X11 resizes to the screen size it saw at start-up,
// which a switch has made wrong. Always true on Windows, where GLUT measures the switched screen.
bool windowManagerDoesFullScreen();
