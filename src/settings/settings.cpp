#include "settings/settings.h"

// Placeholder: replaced by the real settings file.
Settings settings{1, 0};
const std::uint32_t kResolutionWidths[kResolutionCount] = {640, 800, 960, 1024, 1152, 1280, 1440, 1600, 2048};
const std::uint32_t kRefreshRates[kRefreshRateCount] = {60, 70, 75, 85, 90, 100, 120, 150};
const char* settingsPath = "./zarv.cfg";
void readSettingsFile() {}
const char* findSettingValue(const char*) { return "-1"; }
void putSettingValue(const char*, const char*) {}
void parseSettingsText() {}
void composeSettingsText(std::uint32_t, std::uint32_t, std::uint8_t, std::int8_t, std::int16_t, std::int16_t,
                         std::int16_t, std::int16_t, const HighScoreEntry*) {}
void writeSettingsFile() {}
void saveSettings() {}
const char* settingsTextForTest() { return nullptr; }
void clearSettingsTextForTest() {}
