#pragma once
// What the files the desktop ports share (desktop/) ask of each desktop port.

// True when the window system takes a window to full screen itself, measuring the switched
// screen; false when the window toolkit's own full screen would use the screen size it saw at
// start-up, which a switch has made wrong.
bool windowManagerDoesFullScreen();
