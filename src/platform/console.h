#pragma once
// The program has no console window of its own on X11: hiding it is a no-op.
inline void hideConsoleWindow() {}
