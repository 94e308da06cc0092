#pragma once
// The settings file's values taken from the records that own them, and given back to them.
#include "settings/settings.h"

// The current values; full screen as the player chose it, also while a refused full screen plays
// in a window.
StoredSettings currentSettings();
// Puts the values in their records; the window's size follows the resolution.
void applySettings(const StoredSettings& values);
// Start-up: the file read over the current values (applySettingsText).
void loadSettings();
// The settings text read over the current values, applied, and the game's sizes prepared for the
// resolution it gives.
void applySettingsText();
// Writes the current values to the file.
void saveSettings();
