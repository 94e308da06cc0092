#pragma once
// Full-screen display modes.

// Switches the screen to width x height (at refreshHz when it is not 0). True when the screen
// shows that mode; false when it is refused (no such mode or rate, no way to switch), and the
// screen stays as it was. The first successful switch arranges for the original mode to come
// back at every exit: normal, fatal signal or crash.
bool switchDisplayMode(unsigned width, unsigned height, unsigned colourBits, unsigned refreshHz);

// Puts the mode back that was active before the first switch. Safe to call at any time.
void restoreDisplayMode();

// True when the window system takes a window to full screen itself, measuring the switched
// screen; false when GLUT's own full screen would use the screen size it saw at start-up, which a
// switch has made wrong.
bool windowManagerDoesFullScreen();
