#pragma once
// A private directory for zarv.cfg and the settings, bindings and table at their start-up values.
#include "app/startup.h"
#include "game/game_state.h"
#include "game/input.h"
#include "render/display_mode.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "ui/high_scores.h"
#include "ui/stored_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>

inline const std::string kHeader = ";;;; zarv701a - \xF4\xE0\xE9\xEB \xF1 \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8 ;;;;";

inline std::string defaultFile(const char* volume) {
    return kHeader + "\r\n\r\nrazdelitelna=1\r\ncvetove=32\r\nczestota=60\r\ncqlEkran=0\r\n" + volume +
           "ezik=0\r\nW=104\r\nA=102\r\nD=100\r\nTAB=9\r\n"
           "lud1=Pelvor\r\nlut1=0\r\nlud2=Morvasta\r\nlut2=0\r\nlud3=Zintok\r\nlut3=0";
}

inline void clearSettingsText() {
    std::free(settingsText);
    settingsText = nullptr;
}

inline std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Its own directory: the test programs run side by side, on Windows too.
        directory = ::testing::TempDir() + "zarv-settings-" + std::to_string(std::random_device{}());
        ASSERT_TRUE(std::filesystem::create_directory(directory));
        path = directory + "/zarv.cfg", settingsPath = path.c_str(), resetState();
    }

    // Everything but the directory back at its start-up values.
    void resetState() {
        clearSettingsText(), initialiseGameTables();
        settings.resolutionIndex = 1, setStartupDefaults();
        const HighScoreEntry defaults[3] = {{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}};
        std::memcpy(highScores, defaults, sizeof highScores);
        sound.soundVolume = -1, setFieldSize(800, 600), prepareGame(false, false);
    }

    void TearDown() override {
        clearSettingsText();
        std::error_code ignored;  // a directory left behind fails no test
        std::filesystem::remove_all(directory, ignored);
        settingsPath = kSettingsPath;
    }

    void writeFile(const std::string& bytes) { put(path, bytes); }
    std::string readFile() const { return contents(path); }

    void load(const std::string& bytes) {
        writeFile(bytes);
        loadSettings();
    }

    std::string directory;
    std::string path;
};
