#include "settings/settings.h"

#include "platform/port.h"

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

Settings settings{1, 0, 0};
const std::uint32_t kResolutionWidths[kResolutionCount] = {640, 800, 960, 1024, 1152, 1280, 1440, 1600, 2048};
const std::uint32_t kRefreshRates[kRefreshRateCount] = {60, 70, 75, 85, 90, 100, 120, 150};
const char* settingsPath = kSettingsPath;

char* settingsText = nullptr;

namespace {

constexpr const char* kMissing = "-1";
constexpr const char* kHeader = ";;;; zarv701a - \xF4\xE0\xE9\xEB \xF1 \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8 ;;;;";
constexpr std::size_t kValueCapacity = 64;

// Every line of the file by its key, in the order a save writes them; reading and writing both
// go through this table.
enum SettingLine : int {
    ResolutionLine,
    ColourBitsLine,
    RefreshRateLine,
    FullScreenLine,
    VolumeLine,
    LanguageLine,
    ShipKeyLines,
    HighScoreLines = ShipKeyLines + kShipKeyCount,  // each entry's name, then its score
    LineCount = HighScoreLines + 2 * kHighScoreCount,
};
constexpr const char* kKeys[LineCount] = {
    "razdelitelna=", "cvetove=", "czestota=", "cqlEkran=", "zvuk=", "ezik=", "W=", "A=", "D=", "TAB=",
    "lud1=", "lut1=", "lud2=", "lut2=", "lud3=", "lut3=",
};

const char* nameKey(int entry) {
    return kKeys[HighScoreLines + 2 * entry];
}

const char* scoreKey(int entry) {
    return kKeys[HighScoreLines + 2 * entry + 1];
}

char settingValue[kValueCapacity];

// A key counts only where a line starts, so that it is never found inside a name or another value.
const char* findKey(const char* text, const char* key) {
    const std::size_t keyLength = std::strlen(key);
    const char* line = text;
    while (line) {
        if (std::strncmp(line, key, keyLength) == 0) {
            return line;
        }
        line = std::strchr(line, '\n');
        if (line) {
            ++line;
        }
    }
    return nullptr;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi's reading (white space, sign, digits up to the first other character, 0 without digits),
// saturated at the 32-bit range instead of overflowing.
std::int32_t toInteger(const char* s) {
    while (isSpace(*s)) {
        ++s;
    }
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        ++s;
    }
    std::int64_t value = 0;
    while (*s >= '0' && *s <= '9') {
        value = value * 10 + (*s - '0');
        if (value > static_cast<std::int64_t>(INT32_MAX) + 1) {
            value = static_cast<std::int64_t>(INT32_MAX) + 1;
        }
        ++s;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

// False when the key is absent (missing, or its value is exactly "-1"). The number is compared
// as unsigned, so that no negative value passes a range test.
bool lookupNumber(const char* key, std::uint32_t& number) {
    const char* value = findSettingValue(key);
    if (std::strcmp(value, kMissing) == 0) {
        return false;
    }
    number = static_cast<std::uint32_t>(toInteger(value));
    return true;
}

// An absent flag is 0; one present but above 1 leaves the value as it was.
void readFlag(const char* key, std::uint8_t& flag) {
    std::uint32_t number = 0;
    if (!lookupNumber(key, number)) {
        flag = 0;
    } else if (number <= 1) {
        flag = static_cast<std::uint8_t>(number);
    }
}

// Absent or not a number 0 or more gives 0; a value beyond the float range is held at its top.
float scoreValue(const char* key) {
    const char* value = findSettingValue(key);
    if (std::strcmp(value, kMissing) == 0) {
        return 0.0f;
    }
    const double score = std::strtod(value, nullptr);
    // Not a number, negative, and minus zero all give a plain 0.
    if (!(score > 0.0)) {
        return 0.0f;
    }
    return score > FLT_MAX ? FLT_MAX : static_cast<float>(score);
}

bool isRefreshRate(std::uint32_t rate) {
    for (std::uint32_t listed : kRefreshRates) {
        if (listed == rate) {
            return true;
        }
    }
    return false;
}

void putFormatted(const char* key, const char* format, auto value) {
    char text[kValueCapacity];
    std::snprintf(text, sizeof text, format, value);
    putSettingValue(key, text);
}

// The file's bytes: the header, an empty line, then the text with CR LF line ends. Leading line
// feeds, a line feed right after another and a final line feed are left out.
char* fileBytes(std::size_t& size) {
    const std::size_t headerLength = std::strlen(kHeader);
    const std::size_t textLength = std::strlen(settingsText);
    char* out = static_cast<char*>(std::malloc(headerLength + 4 + 2 * textLength + 1));
    if (!out) {
        return nullptr;
    }
    std::memcpy(out, kHeader, headerLength);
    std::size_t n = headerLength;
    std::memcpy(out + n, "\r\n\r\n", 4);
    n += 4;
    for (std::size_t i = 0; i < textLength; ++i) {
        const char c = settingsText[i];
        if (c != '\n') {
            out[n++] = c;
            continue;
        }
        if (i == 0 || settingsText[i - 1] == '\n' || i + 1 == textLength) {
            continue;
        }
        out[n++] = '\r';
        out[n++] = '\n';
    }
    size = n;
    return out;
}

}  // namespace

std::uint32_t resolutionWidth(std::int32_t index) {
    if (index < 0 || index >= kResolutionCount) {
        return 800;
    }
    return kResolutionWidths[index];
}

std::uint32_t resolutionHeight(std::int32_t index) {
    return static_cast<std::uint32_t>(resolutionWidth(index) * 0.75);
}

void loadSettingsText(const char* bytes, std::size_t size) {
    std::free(settingsText);
    settingsText = static_cast<char*>(std::malloc(size + 1));
    if (!settingsText) {
        return;
    }
    std::size_t n = 0;
    for (std::size_t i = 0; i < size && bytes[i] != '\0'; ++i) {
        // The file's CR LF pairs become single line feeds, as a text-mode read gives them.
        if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            continue;
        }
        settingsText[n++] = bytes[i];
    }
    settingsText[n] = '\0';
}

void readSettingsFile() {
    std::FILE* file = std::fopen(settingsPath, "rb");
    if (!file) {
        std::free(settingsText);
        settingsText = nullptr;
        return;
    }
    std::size_t capacity = 4096;
    std::size_t size = 0;
    char* bytes = static_cast<char*>(std::malloc(capacity));
    while (bytes) {
        size += std::fread(bytes + size, 1, capacity - size, file);
        if (size < capacity) {
            break;
        }
        capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(bytes, capacity));
        if (!grown) {
            std::free(bytes);
        }
        bytes = grown;
    }
    std::fclose(file);
    if (!bytes) {
        std::free(settingsText);
        settingsText = nullptr;
        return;
    }
    loadSettingsText(bytes, size);
    std::free(bytes);
}

const char* findSettingValue(const char* key) {
    if (!settingsText) {
        return kMissing;
    }
    const char* found = findKey(settingsText, key);
    if (!found) {
        return kMissing;
    }
    const char* value = found + std::strlen(key);
    std::size_t n = 0;
    // A longer value is cut to what the buffer holds.
    while (value[n] != '\0' && value[n] != '\n' && n + 1 < kValueCapacity) {
        settingValue[n] = value[n];
        ++n;
    }
    settingValue[n] = '\0';
    return settingValue;
}

void putSettingValue(const char* key, const char* value) {
    const std::size_t keyLength = std::strlen(key);
    const std::size_t valueLength = std::strlen(value);
    const char* found = settingsText ? findKey(settingsText, key) : nullptr;
    if (!found) {
        const std::size_t textLength = settingsText ? std::strlen(settingsText) : 0;
        char* grown = static_cast<char*>(std::realloc(settingsText, textLength + 1 + keyLength + valueLength + 1));
        if (!grown) {
            return;
        }
        std::snprintf(grown + textLength, 1 + keyLength + valueLength + 1, "\n%s%s", key, value);
        settingsText = grown;
        return;
    }
    const std::size_t prefixLength = static_cast<std::size_t>(found - settingsText) + keyLength;
    const char* lineEnd = std::strchr(settingsText + prefixLength, '\n');
    const char* suffix = lineEnd ? lineEnd : "";
    const std::size_t suffixLength = std::strlen(suffix);
    const std::size_t total = prefixLength + valueLength + suffixLength;
    char* replaced = static_cast<char*>(std::malloc(total + 1));
    if (!replaced) {
        return;
    }
    std::memcpy(replaced, settingsText, prefixLength);
    std::memcpy(replaced + prefixLength, value, valueLength);
    std::memcpy(replaced + prefixLength + valueLength, suffix, suffixLength);
    replaced[total] = '\0';
    std::free(settingsText);
    settingsText = replaced;
}

void parseSettingsText(StoredSettings& values) {
    std::uint32_t number = 0;
    if (lookupNumber(kKeys[ResolutionLine], number) && number < kResolutionCount) {
        values.resolutionIndex = static_cast<std::int32_t>(number);
    }
    if (lookupNumber(kKeys[ColourBitsLine], number) && (number == 8 || number == 16 || number == 32)) {
        values.colourBits = number;
    }
    if (lookupNumber(kKeys[RefreshRateLine], number) && isRefreshRate(number)) {
        values.refreshRate = number;
    }
    readFlag(kKeys[FullScreenLine], values.fullScreen);
    readFlag(kKeys[LanguageLine], values.language);
    // Without a MIDI device the volume stays -1, whatever the file says.
    if (lookupNumber(kKeys[VolumeLine], number) && number <= 127 && values.soundVolume != -1) {
        values.soundVolume = static_cast<std::int8_t>(number);
    }
    for (int k = 0; k < kShipKeyCount; ++k) {
        if (lookupNumber(kKeys[ShipKeyLines + k], number) && number <= kHighestBindableKey) {
            values.shipKeys[k] = static_cast<std::int16_t>(number);
        }
    }
    for (int i = 0; i < kHighScoreCount; ++i) {
        HighScoreEntry& entry = values.highScores[i];
        entry.score = scoreValue(scoreKey(i));
        const char* name = findSettingValue(nameKey(i));
        if (std::strcmp(name, kMissing) != 0) {
            // A longer hand-edited name is cut to the table's eight characters.
            std::snprintf(entry.name, sizeof entry.name, "%s", name);
        }
    }
}

void composeSettingsText(const StoredSettings& values) {
    if (settingsText) {
        settingsText[0] = '\0';
    }
    const int numbers[ShipKeyLines + kShipKeyCount] = {
        values.resolutionIndex, static_cast<int>(values.colourBits), static_cast<int>(values.refreshRate),
        values.fullScreen,      values.soundVolume,                    values.language,
        values.shipKeys[0],     values.shipKeys[1],                    values.shipKeys[2],
        values.shipKeys[3]};
    for (int line = 0; line < ShipKeyLines + kShipKeyCount; ++line) {
        // Without a MIDI device there is no volume to keep.
        if (line != VolumeLine || values.soundVolume >= 0) {
            putFormatted(kKeys[line], "%d", numbers[line]);
        }
    }
    for (int i = 0; i < kHighScoreCount; ++i) {
        const HighScoreEntry& entry = values.highScores[i];
        char name[sizeof entry.name];
        std::snprintf(name, sizeof name, "%.*s", static_cast<int>(sizeof name - 1), entry.name);
        putSettingValue(nameKey(i), name);
        putFormatted(scoreKey(i), "%1.0f", static_cast<double>(entry.score));
    }
}

void writeSettingsFile() {
    if (!settingsText) {
        return;
    }
    std::size_t size = 0;
    char* bytes = fileBytes(size);
    if (!bytes) {
        return;
    }
    replaceFileContents(settingsPath, bytes, size);
    std::free(bytes);
}
