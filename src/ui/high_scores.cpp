#include "ui/high_scores.h"

#include "game/game_state.h"
#include "game/input.h"
#include "game/key_latch.h"
#include "platform/keys.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/text.h"
#include "ui/menu.h"
#include "ui/options.h"
#include "ui/stored_settings.h"
#include "ui/texts.h"
#include "ui/ui_hooks.h"

#include "render/draw.h"
#include <cstdio>
#include <cstring>

HighScoreEntry highScores[kHighScoreCount] = {{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}};
char nameBuffer[9] = {};
std::int8_t nameLength = 0;

namespace {

constexpr std::int8_t kMaxNameLength = 8;

// Descending by score; entries with equal scores keep their order.
void sortHighScores() {
    for (int i = 1; i < kHighScoreCount; ++i) {
        const HighScoreEntry moving = highScores[i];
        int j = i;
        while (j > 0 && highScores[j - 1].score < moving.score) {
            highScores[j] = highScores[j - 1];
            --j;
        }
        highScores[j] = moving;
    }
}

bool typeable(int code) {
    return (code >= VkA && code <= VkZ) || (code >= Vk0 && code <= Vk9) || code == VkSpace;
}

void completeNameEntry() {
    nameLength = 0;
    insertHighScore(nameBuffer, game.score);
    saveSettings();
    while (keys.enterHeld) {
        serviceWindowWhileWaiting();
        uiHooks.pollKeyboard();
    }
    if (keys.keyboardUnseen) {
        // Enter may still be down: the menu's latch holds it until it is seen up.
        latchKey(kEnterLatch);
    }
    uiHooks.setAppMode(AppMode::Menu);
}

}  // namespace

bool scoreQualifies(float score) {
    for (const HighScoreEntry& entry : highScores) {
        if (score > entry.score) {
            return true;
        }
    }
    return false;
}

void insertHighScore(const char* name, float score) {
    sortHighScores();
    for (int i = 0; i < kHighScoreCount; ++i) {
        if (highScores[i].score < score) {
            for (int j = kHighScoreCount - 1; j > i; --j) {
                highScores[j] = highScores[j - 1];
            }
            std::snprintf(highScores[i].name, sizeof highScores[i].name, "%s", name);
            highScores[i].score = score;
            return;
        }
    }
}

void drawHighScoresScreen() {
    char score[64];
    for (int i = 0; i < kHighScoreCount; ++i) {
        drawRowLabel(i, highScores[i].name);
        std::snprintf(score, sizeof score, "%1.0lf", static_cast<double>(highScores[i].score));
        drawRowValue(i, score);
    }
    drawRowLabel(kHighScoresBackRow, pick(kBack));
}

void highScoresEnter(int row) {
    if (row == kHighScoresBackRow) {
        openMenuScreen(MainMenu, MainHighScoresRow, MainExitRow);
    }
}

void openNameEntry() {
    std::memset(nameBuffer, 0, sizeof nameBuffer);
    // Letters and digits are asked only here and by the key capture, so a tap made during play
    // would still be pending and typed as the name's first character.
    forgetPendingPresses();
    uiHooks.setAppMode(AppMode::NameEntry);
}

void nameEntryDisplay() {
    drawNameEntry();
    requestRedisplay();
    swapWindowBuffers();
}

void drawNameEntry() {
    clearFrame();
    setColour(1.0f, 1.0f, 1.0f);
    const double w = displayMode.width;
    const double h = displayMode.height;
    printText(0.4 * h, 0.3125 * w, 0, largeFont, "%s", pick(kHighScoreSet));
    printText(0.4 * h, 0.475 * h, 0, largeFont, "%s", pick(kEnterName));
    printText(0.4 * h, 0.4 * w, 0, largeFont, "%s", nameBuffer);
    flushDrawing();
}

void nameEntryIdle() {
    uiHooks.pollKeyboard();
    // Nothing typed can be read, and the latched key must stay latched.
    if (keys.keyboardUnseen) {
        return;
    }
    if (keys.enterHeld && nameLength != 0) {
        completeNameEntry();
        return;
    }
    // F5 resets the bindings inside captureKey and leaves the code at 0.
    std::int16_t code = 0;
    captureKey(code, false);
    const auto latched = static_cast<unsigned char>(game.lastFunctionKey);
    if (code == 0 || code == latched) {
        game.lastFunctionKey = static_cast<char>(code);
        return;
    }
    if (code == VkBackspace && nameLength > 0) {
        --nameLength;
        nameBuffer[nameLength] = 0;
    }
    if (nameLength >= kMaxNameLength) {
        return;
    }
    if (typeable(code)) {
        const bool lowerCase = !keys.shiftHeld && code >= VkA && code <= VkZ;
        nameBuffer[nameLength] = static_cast<char>(lowerCase ? code + 32 : code);
        ++nameLength;
    }
    game.lastFunctionKey = static_cast<char>(code);
}
