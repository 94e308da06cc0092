#pragma once
// The options, sound and controls screens, and the two keyboard operations of the controls screen.
#include <cstdint>

// The options screen's rows.
enum OptionsRow : std::uint8_t {
    OptionsResolutionRow = 0,
    OptionsColourDepthRow = 1,
    OptionsRefreshRateRow = 2,
    OptionsFullScreenRow = 3,
    OptionsSoundRow = 4,
    OptionsControlsRow = 5,
    OptionsLanguageRow = 6,
    OptionsBackRow = 7,  // applies the display options, then back to the main menu
};

// The controls screen's rows: the four ship keys in the order of their bindings, then the rest.
enum ControlsRow : std::uint8_t {
    ControlsForwardRow = 0,
    ControlsRightRow = 1,
    ControlsLeftRow = 2,
    ControlsShootRow = 3,
    ControlsDefaultKeysRow = 4,
    ControlsHintRow = 5,  // a grey hint: Enter on it does nothing
    ControlsBackRow = 6,
};

// The sound screen's rows.
enum SoundRow : std::uint8_t {
    SoundVolumeRow = 0,
    SoundBackRow = 1,
};

// Scans the keyboard, while our window has the focus, for a pressed key from code 8 upward (skipping the codes that cannot be bound)
// and stores it in binding. Without wait, no key found stores 0; with wait, the scan goes on from
// code 0 until a key is down. F5 resets all five bindings to their defaults instead and leaves
// binding as it is. Returns the code found (0 when none).
int captureKey(std::int16_t& binding, bool wait);
// True for the codes captureKey never queries.
bool captureSkips(int code);

// The name of a key code 0..kHighestBindableKey, or its decimal digits (kept until the next call).
const char* keyName(int code);

// Left, Right and Enter on the three screens, for the highlighted row.
void optionsLeft(int row);
void optionsRight(int row);
void optionsEnter(int row);
void soundLeft(int row);
void soundRight(int row);
void soundEnter(int row);
// True when the Enter started a key capture: the menu's idle call then ends at once.
bool controlsEnter(int row);
// The second step of a pending capture of ship key 0..3 (forward, right, left, shoot).
void continueKeyCapture(int which);

void drawOptionsScreen();
void drawSoundScreen();
void drawControlsScreen();
