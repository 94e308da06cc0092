#pragma once
// What runs before the window: the global tables, the sound device, the settings path.
void staticInitialise();
// The whole start-up of main; enters GLUT's loop and never returns.
int runApplication(int argc, char** argv);
