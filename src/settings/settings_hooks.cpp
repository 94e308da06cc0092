#include "settings/settings_hooks.h"

#include "settings/settings.h"

#include <cstdlib>

const char* settingsTextForTest() {
    return settingsText;
}

void clearSettingsTextForTest() {
    std::free(settingsText);
    settingsText = nullptr;
}
