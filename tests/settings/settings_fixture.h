#pragma once
// A private directory for zarv.cfg and the settings, bindings and table at their start-up values.
#include "app/display_mode.h"
#include "app/key_bindings.h"
#include "game/game_state.h"
#include "settings/settings.h"
#include "sound/sound.h"
#include "ui/high_scores.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zarv-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        path = directory + "/zarv.cfg";
        settingsPath = path.c_str();
        resetState();
    }

    // Everything but the directory back at its start-up values.
    void resetState() {
        clearSettingsTextForTest();
        initialiseGameTables();
        settings.resolutionIndex = 1;
        setDefaultKeyBindings(keys);
        const HighScoreEntry defaults[3] = {{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}};
        std::memcpy(highScores, defaults, sizeof highScores);
        sound.soundVolume = -1;
        prepareGame(false, false);
    }

    void TearDown() override {
        clearSettingsTextForTest();
        std::string command = "chmod -R u+w '" + directory + "' && rm -rf '" + directory + "'";
        std::system(command.c_str());
        settingsPath = "./zarv.cfg";
    }

    void writeFile(const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    std::string readFile() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }

    // Start-up's order: read the file, then apply it.
    void load(const std::string& bytes) {
        writeFile(bytes);
        readSettingsFile();
        parseSettingsText();
    }

    std::string directory;
    std::string path;
};
