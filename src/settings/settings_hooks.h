#pragma once
// What tests read and reset of the settings module; built into zarv_test_hooks, not the game.

// The in-memory text (line feeds only), or nullptr while there is none.
const char* settingsTextForTest();
void clearSettingsTextForTest();
