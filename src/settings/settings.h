#pragma once
// The options that have no other owner, and the settings file zarv.cfg in the current directory.
#include <cstdint>

struct HighScoreEntry;

struct Settings {
    std::int32_t resolutionIndex;  // 0..8 into kResolutionWidths
    std::uint8_t language;         // 0 Bulgarian, 1 English
};

extern Settings settings;

constexpr int kResolutionCount = 9;
extern const std::uint32_t kResolutionWidths[kResolutionCount];
constexpr int kRefreshRateCount = 8;
extern const std::uint32_t kRefreshRates[kRefreshRateCount];

// The file's path, "./zarv.cfg" unless a test points it elsewhere.
extern const char* settingsPath;

void readSettingsFile();
// The value of the key's first occurrence at the start of a line (at most 63 bytes), or "-1".
const char* findSettingValue(const char* key);
void putSettingValue(const char* key, const char* value);
void parseSettingsText();
void composeSettingsText(std::uint32_t colourBits, std::uint32_t refreshRate, std::uint8_t fullScreen,
                         std::int8_t soundVolume, std::int16_t forwardKey, std::int16_t rightKey,
                         std::int16_t leftKey, std::int16_t shootKey, const HighScoreEntry* table);
void writeSettingsFile();
// composeSettingsText with the current values, then writeSettingsFile.
void saveSettings();

// The in-memory text (line feeds only), or nullptr while there is none. For tests.
const char* settingsTextForTest();
void clearSettingsTextForTest();
