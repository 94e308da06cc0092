// zarv.cfg as the player's files hold it: what each value loads as, the exact bytes saved, and
// random and damaged files, each loaded safely and saved, read back and saved again to the same bytes.
#include "settings_fixture.h"

#include <algorithm>
#include <cfloat>
#include <set>
#include <utility>
#include <vector>

// What each file loads as: out-of-range values ignored key by key, keys only at the start of a
// line and the first one winning, long values and names cut, either line end,
// nothing after a zero byte.
TEST_F(SettingsTest, EachValueLoadsOnlyWhenValid) {
    const std::vector<int> defaults = {1, 800, 32, 60, 0, 0, 104, 102, 100, 9};
    struct Loaded {
        std::vector<int> values;  // resolution, width, colour bits, refresh, full screen, language, W, A, D, TAB
        std::vector<std::pair<std::string, float>> table = {{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}};
    };
    const std::pair<std::string, Loaded> files[] = {
        {"", {defaults}},
        {"razdelitelna=9\nczestota=61\ncvetove=24\nezik=5\ncqlEkran=2\nA=7\n", {{1, 800, 32, 60, 1, 1, 104, 7, 100, 9}}},
        {"razdelitelna=8\ncvetove=16\nczestota=150\ncqlEkran=1\nezik=1\n", {{8, 2048, 16, 150, 1, 1, 104, 102, 100, 9}}},
        {"razdelitelna=0\ncvetove=8\nczestota=85\n", {{0, 640, 8, 85, 0, 0, 104, 102, 100, 9}}},
        {"razdelitelna=-3\nW=\nA=223\nD= +65xyz\nTAB=-5\n", {{1, 800, 32, 60, 0, 0, 0, 102, 65, 9}}},
        {"lut1=-5\nlut2=abc\nlut3=1234.7\nlud1=-1\nlud2=\nlud3=Ana Bel\n",
         {defaults, {{"Pelvor", 0}, {"", 0}, {"Ana Bel", 1234.7f}}}},
        {"lud1=xW=66\nW=70\nlud2=A=71\nezik=1TAB=72\nTAB=8\nTAB=13\nw=5\n",
         {{1, 800, 32, 60, 0, 1, 70, 102, 100, 8}, {{"xW=66", 0}, {"A=71", 0}, {"Zintok", 0}}}},
        {"lud1=Maximilian-the-Long\nW=" + std::string(200, '7') + "\n",
         {defaults, {{"Maximili", 0}, {"Morvasta", 0}, {"Zintok", 0}}}},
        {kHeader + "\r\n\r\nezik=1\r\nrazdelitelna=3\r\nW=87\r\nA=9\r1\r\n", {{3, 1024, 32, 60, 0, 1, 87, 9, 100, 9}}},
        {std::string("W=33\n\0A=34\n", 11), {{1, 800, 32, 60, 0, 0, 33, 102, 100, 9}}},
    };
    for (const auto& [file, expected] : files) {
        resetState();
        displayMode.fullScreen = settings.language = 1;  // what an absent key resets and a bad value keeps
        load(file);
        EXPECT_EQ(std::vector<int>({settings.resolutionIndex, int(displayMode.width), int(displayMode.colourBits),
                                    int(displayMode.refreshRate), displayMode.fullScreen, settings.language,
                                    keys.forwardKey, keys.rightKey, keys.leftKey, keys.shootKey}),
                  expected.values) << file;
        EXPECT_EQ(layout.keptWidth, displayMode.width) << file;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(std::pair(std::string(highScores[i].name), highScores[i].score), expected.table[i]) << file;
        }
    }
}

TEST_F(SettingsTest, SavedBytesAndTheVolume) {
    saveSettings();
    EXPECT_EQ(readFile(), defaultFile(""));  // no device: no volume line (nor one loaded: the fuzz's)
    for (int volume : {0, 47, 127}) {
        sound.soundVolume = static_cast<std::int8_t>(volume), saveSettings();
        EXPECT_EQ(readFile(), defaultFile(("zvuk=" + std::to_string(volume) + "\r\n").c_str()));
        sound.soundVolume = 100, load(readFile());
        EXPECT_EQ(sound.soundVolume, volume);
    }
    load(";; old header\r\n\r\n\r\nfoo=bar\r\nzvuk=128\r\nW=230\r\n\r\n\r\n");
    EXPECT_EQ(sound.soundVolume, 127);
    keys.forwardKey = 230, saveSettings();  // a captured code beyond the readable range is still saved
    const std::string file = readFile();  // unknown keys and extra blank lines dropped
    EXPECT_TRUE(file.find("foo=") == file.npos && file.find("\r\n\r\n", kHeader.size() + 4) == file.npos) << file;
    EXPECT_NE(file.find("\r\nW=230\r\n"), std::string::npos);
}

TEST_F(SettingsTest, RandomAndDamagedFilesLoadSafelyAndSaveToAFixedPoint) {
    const std::string longRun(300, '7');
    const char* const pieces[] = {"razdelitelna=", "cvetove=", "czestota=", "zvuk=", "W=", "lud1=", "lut2=",
                                  "\n", "\r\n", "\r", "-1", "16", "222", "99999999999999999999", "nan",
                                  "1e300", longRun.c_str()};
    std::mt19937 rng(20261206);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes = defaultFile("zvuk=90\r\n").substr(0, rng() % 300);
        for (int e = rng() % 12; e > 0; --e) {
            const std::size_t at = rng() % (bytes.size() + 1);
            rng() % 2 ? bytes.insert(at, pieces[rng() % std::size(pieces)]) : bytes.insert(at, 1, char(rng()));
        }
        sound.soundVolume = i % 2 ? 127 : -1;
        const bool fixedPoint = i % 100 == 0;  // through the real file now and then
        fixedPoint ? load(bytes) : (loadSettingsText(bytes.data(), bytes.size()), applySettingsText());
        ASSERT_LT(unsigned(settings.resolutionIndex), unsigned(kResolutionCount)) << i;
        ASSERT_EQ(displayMode.width, kResolutionWidths[settings.resolutionIndex]);
        ASSERT_EQ(displayMode.height, displayMode.width * 3 / 4);
        ASSERT_TRUE(displayMode.colourBits == 8 || displayMode.colourBits == 16 || displayMode.colourBits == 32);
        ASSERT_TRUE(std::set<unsigned>({60, 70, 75, 85, 90, 100, 120, 150}).count(displayMode.refreshRate)) << i;
        ASSERT_LE(displayMode.fullScreen | settings.language, 1);
        ASSERT_EQ(sound.soundVolume < 0, i % 2 == 0);
        const auto [low, high] = std::minmax({keys.forwardKey, keys.rightKey, keys.leftKey, keys.shootKey});
        ASSERT_TRUE(low >= 0 && high <= 222) << i;
        for (const HighScoreEntry& entry : highScores) {
            ASSERT_TRUE(strnlen(entry.name, sizeof entry.name) <= 8 && entry.score >= 0 && entry.score <= FLT_MAX);
        }
        if (fixedPoint) {
            saveSettings();
            const std::string first = readFile();
            load(first), saveSettings();
            ASSERT_EQ(readFile(), first) << i;
        }
    }
}

