#include "ui/stored_settings.h"

#include "game/input.h"
#include "render/display_mode.h"
#include "sound/sound.h"
#include "ui/high_scores.h"

#include <cstring>

namespace {

std::int16_t* const kShipKeys[kShipKeyCount] = {&keys.forwardKey, &keys.rightKey, &keys.leftKey, &keys.shootKey};

}  // namespace

StoredSettings currentSettings() {
    StoredSettings values{};
    values.resolutionIndex = settings.resolutionIndex;
    values.colourBits = displayMode.colourBits;
    values.refreshRate = displayMode.refreshRate;
    values.fullScreen = settings.keepFullScreen ? 1 : displayMode.fullScreen;
    values.soundVolume = sound.soundVolume;
    values.language = settings.language;
    for (int k = 0; k < kShipKeyCount; ++k) {
        values.shipKeys[k] = *kShipKeys[k];
    }
    std::memcpy(values.highScores, highScores, sizeof highScores);
    return values;
}

void applySettings(const StoredSettings& values) {
    settings.resolutionIndex = values.resolutionIndex;
    displayMode.width = resolutionWidth(values.resolutionIndex);
    displayMode.height = resolutionHeight(values.resolutionIndex);
    displayMode.colourBits = values.colourBits;
    displayMode.refreshRate = values.refreshRate;
    displayMode.fullScreen = values.fullScreen;
    sound.soundVolume = values.soundVolume;
    settings.language = values.language;
    for (int k = 0; k < kShipKeyCount; ++k) {
        *kShipKeys[k] = values.shipKeys[k];
    }
    std::memcpy(highScores, values.highScores, sizeof highScores);
}

void loadSettings() {
    readSettingsFile();
    applySettingsText();
}

void applySettingsText() {
    StoredSettings values = currentSettings();
    values.fullScreen = displayMode.fullScreen;  // what the window is, before the file says otherwise
    parseSettingsText(values);
    applySettings(values);
    prepareGameForDisplay(true);
}

void saveSettings() {
    composeSettingsText(currentSettings());
    writeSettingsFile();
}
