#pragma once
// The settings file zarv.cfg in the current directory, which keeps the options, the four ship
// keys and the high-score table from one run to the next, and the options that have no other
// owner. Reading gives the values the file holds; the records that own them are another layer's.
#include <cstddef>
#include <cstdint>

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

constexpr int kHighScoreCount = 3;
struct HighScoreEntry {
    char name[9];
    float score;
};

// The ship keys the file keeps, in its order: forward, right, left, shoot.
constexpr int kShipKeyCount = 4;
// The highest key code a file may bind; a key captured beyond it is saved but not read back.
constexpr int kHighestBindableKey = 222;

// What the file holds. Reading replaces each value the file gives and accepts and leaves the rest
// (a missing full-screen or language line means 0, a missing score 0); a save writes them all.
struct StoredSettings {
    std::int32_t resolutionIndex;
    std::uint32_t colourBits;
    std::uint32_t refreshRate;
    std::uint8_t fullScreen;
    std::int8_t soundVolume;  // -1: no MIDI device, and the file's volume is neither read nor written
    std::uint8_t language;
    std::int16_t shipKeys[kShipKeyCount];
    HighScoreEntry highScores[kHighScoreCount];
};

constexpr const char* kSettingsPath = "./zarv.cfg";
// The file's path, kSettingsPath unless a test points it elsewhere.
extern const char* settingsPath;

// Loads the file into the in-memory text; without a readable file there is no text.
void readSettingsFile();
// Takes raw file bytes as the in-memory text: CR before LF dropped, cut at the first zero byte
// (the zeros that pad a file rewritten in place, see platform/file_in_place.h, are never read).
void loadSettingsText(const char* bytes, std::size_t size);
// The value of the key's first occurrence at the start of a line (at most 63 bytes), or "-1".
const char* findSettingValue(const char* key);
// Replaces the value of the key's first line, or appends a line with key and value.
void putSettingValue(const char* key, const char* value);
// Applies the text to the values, line by line.
void parseSettingsText(StoredSettings& values);
// Rebuilds the text from the values: the file's lines in their order; lines of other keys go.
void composeSettingsText(const StoredSettings& values);
// Saves through replaceFileContents (platform/port.h): afterwards, a failure included, the file
// reads as the old settings or as the new ones, and so it does after a crash, but for one in the
// middle of an in-place rewrite's single write, which may leave a mixture. Nothing is reported.
void writeSettingsFile();

// The file's text with LF line ends, zero-terminated; nullptr while there is none.
extern char* settingsText;
