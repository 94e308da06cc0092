#pragma once
// The game's frame: one call of gameIdle advances the whole simulation once.

// What the frame needs from outside the simulation, so that the simulation runs and is tested
// without a window. The application fills the table at start-up.
struct GameHooks {
    void (*pollKeyboard)();  // refresh the key flags (may end the program on F12)
    void (*backToMenu)();    // Back: menu firstRow 0 and the menu's callbacks registered
    void (*resetMidi)();     // silence every sounding note
    void (*sleep1ms)();      // the frame limiter's yield
    void (*lifeLost)();      // the ship just lost a life (a pad rumbles)
};

extern GameHooks gameHooks;

void gameIdle();
