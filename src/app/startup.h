#pragma once
// Fills the tables of callbacks through which the lower layers reach what the application owns.
void connectLayers();
// What runs before the window: the global tables, the sound device, the tables of callbacks.
void staticInitialise();
// The bindings, language and display mode a player has before the settings file is read.
void setStartupDefaults();
// The whole start-up of main; enters the window's loop and never returns.
[[noreturn]] int runApplication(int argc, char** argv);
