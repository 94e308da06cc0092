#include "ui/options.h"

#include "game/game_state.h"
#include "game/input.h"
#include "game/key_latch.h"
#include "platform/keys.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/text.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "ui/menu.h"
#include "ui/stored_settings.h"
#include "ui/texts.h"
#include "ui/ui_hooks.h"

#include "render/draw.h"
#include <cstdio>

namespace {

struct NamedKey {
    int code;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {0, " "}, {VkMouseLeft, "Mouse Left"}, {VkMouseRight, "Mouse Right"}, {VkCtrlBreak, "Ctrl + Break"},
    {VkMouseX1, "Mouse X1"}, {VkMouseX2, "Mouse X2"}, {VkBackspace, "Backspace"}, {VkTab, "Tab"},
    {VkClear, "Clear"}, {VkEnter, "Enter"}, {VkPause, "Pause"}, {VkCapsLock, "Caps Lock"},
    {VkSpace, "Space"}, {VkPageUp, "Page Up"}, {VkPageDown, "Page Down"}, {VkEnd, "End"},
    {VkHome, "Home"}, {VkLeft, "Left"}, {VkUp, "Up"}, {VkRight, "Right"},
    {VkDown, "Down"}, {VkSelect, "Select"}, {VkPrint, "Print"}, {VkExecute, "Execute"},
    {VkPrintScreen, "Print Screen"}, {VkInsert, "Insert"}, {VkDelete, "Delete"}, {VkHelp, "Help"},
    {VkLeftWindows, "Left Windows"}, {VkRightWindows, "Right Windows"}, {VkContextMenu, "Context Menu"}, {VkSleep, "Sleep"},
    {VkMultiply, "*"}, {VkAdd, "+"}, {VkSeparator, "Separator"}, {VkSubtract, "-"},
    {VkDecimal, "."}, {VkDivide, "/"}, {VkNumLock, "Num Lock"}, {VkScrollLock, "Scroll Lock"},
    {VkLeftShift, "Left Shift"}, {VkRightShift, "Right Shift"}, {VkLeftControl, "Left Control"}, {VkRightControl, "Right Control"},
    {VkLeftAlt, "Left Alt"}, {VkRightAlt, "Right Alt"}, {VkSemicolon, ";"}, {VkEquals, "+"},
    {VkComma, ","}, {VkMinus, "-"}, {VkPeriod, "."}, {VkSlash, "/"},
    {VkGrave, "~"}, {VkLeftBracket, "["}, {VkBackslash, "\\"}, {VkRightBracket, "]"},
    {VkApostrophe, "'"},
};

// Every code a settings file may bind has a name or its digits; none has a name past the last.
static_assert(kHighestBindableKey == VkApostrophe);
// The controls screen's first rows are the ship keys, each the row of its binding.
static_assert(ControlsShootRow + 1 == kShipKeyCount);

constexpr const char* kDigitNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
constexpr const char* kLetterNames[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                          "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
constexpr const char* kNumpadNames[10] = {"Numeric Pad 0", "Numeric Pad 1", "Numeric Pad 2", "Numeric Pad 3",
                                          "Numeric Pad 4", "Numeric Pad 5", "Numeric Pad 6", "Numeric Pad 7",
                                          "Numeric Pad 8", "Numeric Pad 9"};

// The generic Shift, Control and Alt codes, Esc (among codes no key sends), F1 to F4, F6 to F24
// and codes no key sends.
constexpr int kSkippedRanges[][2] = {{10, 11},    {14, VkAlt}, {21, 31},    {58, 63},   {94, 94},
                                     {VkF1, VkF4}, {VkF6, 143}, {151, 158}, {184, 185}, {193, 218},
                                     {224, 224},  {232, 232},  {252, 252}};

constexpr int kLastScannedCode = 254;

// Keys are read only while our window has the focus; what is typed into another window is
// not ours. A wait for a key to go up ends only when it is seen up.
bool keyDown(int code) {
    return code >= 0 && code <= 255 && asyncKeyDown(code);
}

bool seenUp(int code) {
    return windowFocused() && !keyDown(code);
}

bool allSeenUp() {
    if (!windowFocused()) {
        return false;
    }
    for (int code = 0; code <= 255; ++code) {
        if (keyDown(code)) {
            return false;
        }
    }
    return true;
}

// The binding of ship key 0..3, which is also its row on the controls screen.
std::int16_t& shipBinding(int which) {
    switch (which) {
    case ControlsForwardRow:
        return keys.forwardKey;
    case ControlsRightRow:
        return keys.rightKey;
    case ControlsLeftRow:
        return keys.leftKey;
    default:
        return keys.shootKey;
    }
}

void stepRefreshRate(int direction) {
    for (int i = 0; i < kRefreshRateCount; ++i) {
        if (kRefreshRates[i] == displayMode.refreshRate) {
            const int next = i + direction;
            if (next >= 0 && next < kRefreshRateCount) {
                displayMode.refreshRate = kRefreshRates[next];
            }
            return;
        }
    }
}

// Each value remembers, once per visit, what it was before the first change.
void recordVisit(int row) {
    if (row == OptionsResolutionRow && menu.savedResolutionIndex < 0) {
        menu.savedResolutionIndex = settings.resolutionIndex;
    } else if (row == OptionsColourDepthRow && menu.savedColourBits == 0) {
        menu.savedColourBits = displayMode.colourBits;
    } else if (row == OptionsRefreshRateRow && menu.savedRefreshRate == 0) {
        menu.savedRefreshRate = displayMode.refreshRate;
    } else if (row == OptionsFullScreenRow) {
        menu.fullScreenChanged = 1;
        settings.keepFullScreen = 0;
    }
}

void restoreVisit() {
    if (menu.savedResolutionIndex >= 0) {
        settings.resolutionIndex = menu.savedResolutionIndex;
    }
    displayMode.width = static_cast<std::uint32_t>(layout.keptWidth);
    displayMode.height = static_cast<std::uint32_t>(layout.keptHeight);
    if (menu.savedColourBits != 0) {
        displayMode.colourBits = menu.savedColourBits;
    }
    if (menu.savedRefreshRate != 0) {
        displayMode.refreshRate = menu.savedRefreshRate;
    }
    if (menu.fullScreenChanged) {
        displayMode.fullScreen = displayMode.fullScreen ? 0 : 1;
    }
}

// The Back row: the window and the fonts are made again, even when nothing changed, and the file written.
void applyDisplayOptions() {
    displayMode.width = resolutionWidth(settings.resolutionIndex);
    displayMode.height = resolutionHeight(settings.resolutionIndex);
    if (uiHooks.recreateWindow()) {
        restoreVisit();
        uiHooks.recreateWindow();
    }
    fontCharset = charsetFor(settings.language);
    uiHooks.rebuildFonts();
    prepareGameForDisplay(true);
    menu.savedResolutionIndex = -1;
    menu.savedRefreshRate = 0;
    menu.savedColourBits = 0;
    menu.fullScreenChanged = 0;
    openMenuScreen(MainMenu, MainOptionsRow, MainExitRow);
    saveSettings();
}

void drawValue(int row, const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    drawRowValue(row, text);
}

void drawGrey(int row, const char* text) {
    setColour(0.7f, 0.7f, 0.7f);
    drawRowLabel(row, text);
    setColour(1.0f, 1.0f, 1.0f);
}

}  // namespace

bool captureSkips(int code) {
    for (const auto& range : kSkippedRanges) {
        if (code >= range[0] && code <= range[1]) {
            return true;
        }
    }
    return false;
}

int captureKey(std::int16_t& binding, bool wait) {
    int code = VkBackspace;
    bool focused = windowFocused();
    for (;;) {
        if (code > kLastScannedCode) {
            if (!wait) {
                binding = 0;
                return 0;
            }
            // The second and later passes start at 0, so the mouse buttons count too.
            serviceWindowWhileWaiting();
            code = 0;
            const bool wasFocused = focused;
            focused = windowFocused();
            // The click or key that brought the focus back is not the key chosen.
            while (focused && !wasFocused && !allSeenUp()) {
                serviceWindowWhileWaiting();
            }
        }
        if (focused && !captureSkips(code) && asyncKeyDown(code)) {
            break;
        }
        ++code;
    }
    if (code == VkF5) {
        setDefaultKeyBindings(keys);
        return code;
    }
    binding = static_cast<std::int16_t>(code);
    return code;
}

const char* keyName(int code) {
    static char number[16];
    if (code >= Vk0 && code <= Vk9) {
        return kDigitNames[code - Vk0];
    }
    if (code >= VkA && code <= VkZ) {
        return kLetterNames[code - VkA];
    }
    if (code >= VkNumpad0 && code <= VkNumpad9) {
        return kNumpadNames[code - VkNumpad0];
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == code) {
            return key.name;
        }
    }
    std::snprintf(number, sizeof number, "%d", code);
    return number;
}

void optionsLeft(int row) {
    recordVisit(row);
    switch (row) {
    case OptionsResolutionRow:
        if (settings.resolutionIndex > 0) {
            --settings.resolutionIndex;
        }
        break;
    case OptionsColourDepthRow:
        if (displayMode.colourBits > 8) {
            displayMode.colourBits /= 2;
        }
        break;
    case OptionsRefreshRateRow:
        stepRefreshRate(-1);
        break;
    case OptionsFullScreenRow:
        displayMode.fullScreen = 0;
        break;
    default:
        break;
    }
}

void optionsRight(int row) {
    recordVisit(row);
    switch (row) {
    case OptionsResolutionRow:
        if (settings.resolutionIndex < kResolutionCount - 1) {
            ++settings.resolutionIndex;
        }
        break;
    case OptionsColourDepthRow:
        if (displayMode.colourBits < 32) {
            displayMode.colourBits *= 2;
        }
        break;
    case OptionsRefreshRateRow:
        stepRefreshRate(+1);
        break;
    case OptionsFullScreenRow:
        displayMode.fullScreen = 1;
        break;
    default:
        break;
    }
}

void optionsEnter(int row) {
    switch (row) {
    case OptionsSoundRow:
        // Without a MIDI device there is no volume to set.
        if (sound.soundVolume >= 0) {
            openMenuScreen(SoundScreen, SoundVolumeRow, SoundBackRow);
        }
        break;
    case OptionsControlsRow:
        openMenuScreen(ControlsScreen, ControlsForwardRow, ControlsBackRow);
        break;
    case OptionsLanguageRow:
        advanceLanguage();
        break;
    case OptionsBackRow:
        applyDisplayOptions();
        break;
    default:
        break;
    }
}

void soundLeft(int row) {
    if (row == SoundVolumeRow) {
        sound.soundVolume = volumeStepDown(sound.soundVolume);
    }
}

void soundRight(int row) {
    if (row == SoundVolumeRow) {
        sound.soundVolume = volumeStepUp(sound.soundVolume);
    }
}

void soundEnter(int row) {
    if (row == SoundBackRow) {
        openMenuScreen(OptionsScreen, OptionsSoundRow, OptionsBackRow);
    }
}

bool controlsEnter(int row) {
    // The Enter that chose the row must not be taken as the new key.
    while (!seenUp(VkEnter)) {
        serviceWindowWhileWaiting();
    }
    if (row >= ControlsForwardRow && row <= ControlsShootRow) {
        shipBinding(row) = 0;
        menu.capturePending[row] = 1;
        return true;
    }
    if (row == ControlsDefaultKeysRow) {
        setDefaultKeyBindings(keys);
    } else if (row == ControlsBackRow) {
        openMenuScreen(OptionsScreen, OptionsControlsRow, OptionsBackRow);
    }
    return false;
}

void continueKeyCapture(int which) {
    while (!allSeenUp()) {
        serviceWindowWhileWaiting();
    }
    std::int16_t& binding = shipBinding(which);
    captureKey(binding, true);
    while (!seenUp(binding)) {
        serviceWindowWhileWaiting();
    }
    menu.capturePending[which] = 0;
    latchKey(kEnterLatch);
}

void drawOptionsScreen() {
    char resolution[32];
    std::snprintf(resolution, sizeof resolution, "%ux%u", resolutionWidth(settings.resolutionIndex),
                  resolutionHeight(settings.resolutionIndex));
    drawRowLabel(OptionsResolutionRow, pick(kResolution));
    drawRowValue(OptionsResolutionRow, resolution);
    drawRowLabel(OptionsColourDepthRow, pick(kColourDepth));
    drawValue(OptionsColourDepthRow, "%d-bit", static_cast<int>(displayMode.colourBits));
    drawRowLabel(OptionsRefreshRateRow, pick(kRefreshRate));
    drawValue(OptionsRefreshRateRow, "%d Hz", static_cast<int>(displayMode.refreshRate));
    drawRowLabel(OptionsFullScreenRow, pick(kFullScreen));
    drawRowValue(OptionsFullScreenRow, pick(displayMode.fullScreen ? kYes : kNo));
    if (sound.soundVolume < 0) {
        drawGrey(OptionsSoundRow, pick(kSound));
    } else {
        drawRowLabel(OptionsSoundRow, pick(kSound));
    }
    drawRowLabel(OptionsControlsRow, pick(kControls));
    drawRowLabel(OptionsLanguageRow, pick(kLanguage));
    drawRowValue(OptionsLanguageRow, pick(kLanguageName));
    drawRowLabel(OptionsBackRow, pick(kBack));
}

void drawSoundScreen() {
    drawRowLabel(SoundVolumeRow, pick(kVolume));
    drawValue(SoundVolumeRow, "%d%%", sound.soundVolume * 100 / 127);
    drawRowLabel(SoundBackRow, pick(kBack));
    setColour(0.7f, 0.7f, 0.7f);
    const double h = displayMode.height;
    printText(0.4 * h, 0.475 * h, 0, smallFont, "%s", pick(kSoundHint));
    setColour(1.0f, 1.0f, 1.0f);
}

void drawControlsScreen() {
    const TextPair* labels[kShipKeyCount] = {&kForward, &kRight, &kLeft, &kShoot};
    for (int row = ControlsForwardRow; row <= ControlsShootRow; ++row) {
        const std::int16_t code = shipBinding(row);
        drawRowLabel(row, pick(*labels[row]));
        if (code >= 0 && code <= kHighestBindableKey) {
            drawRowValue(row, keyName(code));
        } else {
            drawValue(row, "%d", code);
        }
    }
    drawRowLabel(ControlsDefaultKeysRow, pick(kDefaultKeys));
    drawGrey(ControlsHintRow, pick(kControlsHint));
    drawRowLabel(ControlsBackRow, pick(kBack));
}
