#pragma once
// The options that have no other owner, and the settings file zarv.cfg in the current directory.
#include <cstddef>
#include <cstdint>

struct HighScoreEntry;

struct Settings {
    std::int32_t resolutionIndex;  // 0..8 into kResolutionWidths
    std::uint8_t language;         // 0 Bulgarian, 1 English
    // Set while the game plays in a window because the full screen the file asks for was refused
    // at start-up: the file keeps the player's cqlEkran=1 until the options' full-screen row is
    // changed, so one start on another monitor does not lose the choice.
    std::uint8_t keepFullScreen;
};

extern Settings settings;

constexpr int kResolutionCount = 9;
extern const std::uint32_t kResolutionWidths[kResolutionCount];
constexpr int kRefreshRateCount = 8;
extern const std::uint32_t kRefreshRates[kRefreshRateCount];

// The width of a resolution index; an index outside 0..8 gives 800.
std::uint32_t resolutionWidth(std::int32_t index);
// Every resolution is 4:3: the height is the width times 0.75, truncated.
std::uint32_t resolutionHeight(std::int32_t index);

// The file's path, "./zarv.cfg" unless a test points it elsewhere.
extern const char* settingsPath;

// Loads the file into the in-memory text; without a readable file there is no text.
void readSettingsFile();
// Takes raw file bytes as the in-memory text: CR before LF dropped, cut at the first zero byte
// (the zeros that pad a file rewritten in place, see platform/file_replace.h, are never read).
void loadSettingsText(const char* bytes, std::size_t size);
// The value of the key's first occurrence at the start of a line (at most 63 bytes), or "-1".
const char* findSettingValue(const char* key);
// Replaces the value of the key's first line, or appends a line with key and value.
void putSettingValue(const char* key, const char* value);
// Applies the text to the settings, key bindings and high scores, then prepares the game's sizes.
void parseSettingsText();
void composeSettingsText(std::uint32_t colourBits, std::uint32_t refreshRate, std::uint8_t fullScreen,
                         std::int8_t soundVolume, std::int16_t forwardKey, std::int16_t rightKey,
                         std::int16_t leftKey, std::int16_t shootKey, const HighScoreEntry* table);
// Saves through replaceFileContents: afterwards, a failure included, the file reads as the old
// settings or as the new ones, and so it does after a crash, but for one in the middle of an
// in-place rewrite's single write (platform/file_replace.h), which may leave a mixture. Nothing is
// reported.
void writeSettingsFile();
// composeSettingsText with the current values (full screen as the player chose it), then
// writeSettingsFile.
void saveSettings();

// The file's text with LF line ends, zero-terminated; nullptr while there is none.
extern char* settingsText;
