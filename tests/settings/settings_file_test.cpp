#include "settings_fixture.h"

#include <cfloat>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string kHeader = ";;;; zarv701a - \xF4\xE0\xE9\xEB \xF1 \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8 ;;;;";

std::string defaultFile(bool withSound) {
    std::string lines = kHeader + "\r\n\r\nrazdelitelna=1\r\ncvetove=32\r\nczestota=60\r\ncqlEkran=0\r\n";
    if (withSound) {
        lines += "zvuk=127\r\n";
    }
    lines += "ezik=0\r\nW=104\r\nA=102\r\nD=100\r\nTAB=9\r\n"
             "lud1=Pelvor\r\nlut1=0\r\nlud2=Morvasta\r\nlut2=0\r\nlud3=Zintok\r\nlut3=0";
    return lines;
}

std::vector<std::string> entriesOf(const std::string& directory) {
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.push_back(entry->d_name);
        }
    }
    if (dir) {
        closedir(dir);
    }
    return names;
}

}  // namespace

TEST_F(SettingsTest, MissingFileLeavesEveryDefault) {
    readSettingsFile();
    EXPECT_EQ(settingsTextForTest(), nullptr);
    EXPECT_STREQ(findSettingValue("W="), "-1");
    parseSettingsText();
    EXPECT_EQ(settings.resolutionIndex, 1);
    EXPECT_EQ(displayMode.width, 800u);
    EXPECT_EQ(displayMode.height, 600u);
    EXPECT_EQ(displayMode.colourBits, 32u);
    EXPECT_EQ(displayMode.refreshRate, 60u);
    EXPECT_EQ(displayMode.fullScreen, 0);
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(keys.forwardKey, 104);
    EXPECT_EQ(keys.shootKey, 9);
    EXPECT_STREQ(highScores[1].name, "Morvasta");
    EXPECT_EQ(highScores[0].score, 0.0f);
}

TEST_F(SettingsTest, OutOfRangeValuesAreIgnoredKeyByKey) {
    load("razdelitelna=9\nczestota=61\ncvetove=24\nezik=5\nA=7\n");
    EXPECT_EQ(settings.resolutionIndex, 1);
    EXPECT_EQ(displayMode.colourBits, 32u);
    EXPECT_EQ(displayMode.refreshRate, 60u);
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(keys.rightKey, 7);  // the good key of the same file still applies

    load("razdelitelna=-3\n");
    EXPECT_EQ(settings.resolutionIndex, 1);
    load("razdelitelna=-1\n");  // the missing-value marker: absent
    EXPECT_EQ(settings.resolutionIndex, 1);
    load("razdelitelna=8\ncvetove=16\nczestota=150\n");
    EXPECT_EQ(settings.resolutionIndex, 8);
    EXPECT_EQ(displayMode.width, 2048u);
    EXPECT_EQ(displayMode.height, 1536u);
    EXPECT_EQ(layout.keptWidth, 2048.0);  // the sizes were prepared for the loaded resolution
    EXPECT_EQ(displayMode.colourBits, 16u);
    EXPECT_EQ(displayMode.refreshRate, 150u);
}

TEST_F(SettingsTest, FullScreenAndLanguageFallBackToZeroOnlyWhenAbsent) {
    displayMode.fullScreen = 1;
    settings.language = 1;
    load("cqlEkran=2\nezik=5\n");
    EXPECT_EQ(displayMode.fullScreen, 1);
    EXPECT_EQ(settings.language, 1);
    load("czestota=75\n");
    EXPECT_EQ(displayMode.fullScreen, 0);
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(displayMode.refreshRate, 75u);
    load("cqlEkran=1\nezik=1\n");
    EXPECT_EQ(displayMode.fullScreen, 1);
    EXPECT_EQ(settings.language, 1);
}

TEST_F(SettingsTest, VolumeLoadsOnlyWithADevice) {
    load("zvuk=80\n");
    EXPECT_EQ(sound.soundVolume, -1);
    saveSettings();
    EXPECT_EQ(readFile().find("zvuk="), std::string::npos);

    sound.soundVolume = 127;
    load("zvuk=128\n");
    EXPECT_EQ(sound.soundVolume, 127);
    load("zvuk=0\n");
    EXPECT_EQ(sound.soundVolume, 0);
    load("zvuk=80\n");
    EXPECT_EQ(sound.soundVolume, 80);
}

TEST_F(SettingsTest, KeyCodesFollowAtoiAndTheRange) {
    load("W=\nA=223\nD= +65xyz\nTAB=-5\n");
    EXPECT_EQ(keys.forwardKey, 0);  // an empty value reads as 0
    EXPECT_EQ(keys.rightKey, 102);
    EXPECT_EQ(keys.leftKey, 65);
    EXPECT_EQ(keys.shootKey, 9);  // negative: never passes the unsigned range test
    load("W=99999999999999999999\nA=-4294967200\nD=222\n");
    EXPECT_EQ(keys.forwardKey, 0);
    EXPECT_EQ(keys.rightKey, 102);
    EXPECT_EQ(keys.leftKey, 222);
}

TEST_F(SettingsTest, ScoresAreZeroOrMoreAndNamesMinusOneCountAsAbsent) {
    load("lut1=-5\nlut2=abc\nlut3=1234.7\nlud1=-1\nlud2=\nlud3=Ana Bel\n");
    EXPECT_EQ(highScores[0].score, 0.0f);
    EXPECT_EQ(highScores[1].score, 0.0f);
    EXPECT_FLOAT_EQ(highScores[2].score, 1234.7f);
    EXPECT_STREQ(highScores[0].name, "Pelvor");
    EXPECT_STREQ(highScores[1].name, "");
    EXPECT_STREQ(highScores[2].name, "Ana Bel");
    saveSettings();
    EXPECT_NE(readFile().find("\r\nlut3=1235"), std::string::npos);

    load("lut1=nan\nlut2=1e300\nlut3=-0\n");
    EXPECT_EQ(highScores[0].score, 0.0f);
    EXPECT_EQ(highScores[1].score, FLT_MAX);
    EXPECT_EQ(highScores[2].score, 0.0f);
}

TEST_F(SettingsTest, KeysMatchOnlyAtTheStartOfALine) {
    // A name holding "W=66" before the real line, and keys inside other values, are not keys.
    load("lud1=xW=66\nW=70\nlud2=A=71\nezik=1TAB=72\n");
    EXPECT_EQ(keys.forwardKey, 70);
    EXPECT_EQ(keys.rightKey, 102);
    EXPECT_EQ(keys.shootKey, 9);
    EXPECT_STREQ(highScores[0].name, "xW=66");
    // Case matters, and the first line of a key wins.
    load("w=5\nTAB=8\nTAB=13\n");
    EXPECT_EQ(keys.forwardKey, 70);
    EXPECT_EQ(keys.shootKey, 8);
    EXPECT_STREQ(findSettingValue("TAB="), "8");
}

TEST_F(SettingsTest, LongValuesAndNamesAreCut) {
    const std::string longValue(200, '7');
    load("lud1=Maximilian-the-Long\nW=" + longValue + "\nlud2=" + longValue + "\n");
    EXPECT_STREQ(highScores[0].name, "Maximili");
    EXPECT_EQ(std::strlen(findSettingValue("W=")), 63u);
    EXPECT_EQ(keys.forwardKey, 104);
    EXPECT_STREQ(highScores[1].name, "77777777");
}

TEST_F(SettingsTest, LineEndsHeaderAndOrderDoNotMatter) {
    load(kHeader + "\r\n\r\nezik=1\r\nrazdelitelna=3\r\nW=87\r\n");
    const std::string crlfText = settingsTextForTest();
    EXPECT_EQ(settings.language, 1);
    EXPECT_EQ(settings.resolutionIndex, 3);
    EXPECT_EQ(keys.forwardKey, 87);
    load(kHeader + "\n\nezik=1\nrazdelitelna=3\nW=87\n");
    EXPECT_EQ(crlfText, settingsTextForTest());
    // A carriage return not followed by a line feed stays in the value.
    load("W=90\r\nA=9\r1\r\n");
    EXPECT_EQ(keys.forwardKey, 90);
    EXPECT_STREQ(findSettingValue("A="), "9\r1");
    EXPECT_EQ(keys.rightKey, 9);
    // Text after a zero byte is not read.
    load(std::string("W=33\n\0A=34\n", 11));
    EXPECT_EQ(keys.forwardKey, 33);
    EXPECT_STREQ(findSettingValue("A="), "-1");
}

TEST_F(SettingsTest, FindAndPutWorkOnTheTextInPlace) {
    EXPECT_STREQ(findSettingValue("W="), "-1");
    putSettingValue("W=", "1");  // no text yet: it becomes a line feed, key and value
    EXPECT_STREQ(settingsTextForTest(), "\nW=1");
    putSettingValue("A=", "22");
    putSettingValue("W=", "333");  // longer, in the middle
    EXPECT_STREQ(settingsTextForTest(), "\nW=333\nA=22");
    putSettingValue("A=", "");  // shorter, at the end
    EXPECT_STREQ(settingsTextForTest(), "\nW=333\nA=");
    EXPECT_STREQ(findSettingValue("A="), "");
    putSettingValue("W=", "4");
    EXPECT_STREQ(settingsTextForTest(), "\nW=4\nA=");
}

TEST_F(SettingsTest, WriterOutputIsExactByteForByte) {
    saveSettings();
    EXPECT_EQ(readFile(), defaultFile(false));
    sound.soundVolume = 127;
    saveSettings();
    EXPECT_EQ(readFile(), defaultFile(true));
}

TEST_F(SettingsTest, WriterDropsForeignLinesAndEmptyRuns) {
    load(";; old header\r\n\r\n\r\nfoo=bar\r\nW=87\r\n\r\n\r\n");
    saveSettings();
    const std::string file = readFile();
    EXPECT_EQ(file.find("foo="), std::string::npos);
    EXPECT_EQ(file.find("old header"), std::string::npos);
    EXPECT_EQ(file.find("\r\n\r\n", kHeader.size() + 4), std::string::npos);
    EXPECT_NE(file.find("\r\nW=87\r\n"), std::string::npos);

    // writeSettingsFile alone, on a text with empty lines at both ends and in the middle.
    clearSettingsTextForTest();
    putSettingValue("W=", "1");
    putSettingValue("A=", "2");
    putSettingValue("\n\nD=", "3\n");
    writeSettingsFile();
    EXPECT_EQ(readFile(), kHeader + "\r\n\r\nW=1\r\nA=2\r\nD=3");
}

TEST_F(SettingsTest, RoundTripKeepsEveryValue) {
    settings.resolutionIndex = 5;
    settings.language = 1;
    displayMode.colourBits = 16;
    displayMode.refreshRate = 85;
    displayMode.fullScreen = 1;
    sound.soundVolume = 47;
    keys.forwardKey = 87;
    keys.rightKey = 68;
    keys.leftKey = 65;
    keys.shootKey = 32;
    const HighScoreEntry table[3] = {{"ivan", 9000}, {"\xC8\xE2\xE0\xED", 2500}, {"a b 12", 15}};
    std::memcpy(highScores, table, sizeof table);
    saveSettings();

    settings.resolutionIndex = 1;
    setDefaultKeyBindings(keys);
    const HighScoreEntry defaults[3] = {{"Pelvor", 0}, {"Morvasta", 0}, {"Zintok", 0}};
    std::memcpy(highScores, defaults, sizeof highScores);
    sound.soundVolume = 127;
    prepareGame(false, false);
    readSettingsFile();
    parseSettingsText();

    EXPECT_EQ(settings.resolutionIndex, 5);
    EXPECT_EQ(displayMode.width, 1280u);
    EXPECT_EQ(settings.language, 1);
    EXPECT_EQ(displayMode.colourBits, 16u);
    EXPECT_EQ(displayMode.refreshRate, 85u);
    EXPECT_EQ(displayMode.fullScreen, 1);
    EXPECT_EQ(sound.soundVolume, 47);
    EXPECT_EQ(keys.forwardKey, 87);
    EXPECT_EQ(keys.rightKey, 68);
    EXPECT_EQ(keys.leftKey, 65);
    EXPECT_EQ(keys.shootKey, 32);
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(highScores[i].name, table[i].name);
        EXPECT_EQ(highScores[i].score, table[i].score);
    }
}

TEST_F(SettingsTest, CapturedCodeAbove222IsSavedButIgnoredOnReading) {
    keys.forwardKey = 230;
    saveSettings();
    EXPECT_NE(readFile().find("\r\nW=230\r\n"), std::string::npos);
    setDefaultKeyBindings(keys);
    keys.forwardKey = 50;
    readSettingsFile();
    parseSettingsText();
    EXPECT_EQ(keys.forwardKey, 50);
}

TEST_F(SettingsTest, SaveReplacesTheFileWithoutTouchingTheOldOne) {
    writeFile("W=1\r\n");
    chmod(path.c_str(), 0640);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    // A reader that has the old file open keeps seeing it whole: it is replaced, never cut.
    const int oldFile = open(path.c_str(), O_RDONLY);
    ASSERT_GE(oldFile, 0);
    saveSettings();
    char bytes[16] = {};
    EXPECT_EQ(pread(oldFile, bytes, sizeof bytes, 0), 5);
    EXPECT_STREQ(bytes, "W=1\r\n");
    close(oldFile);

    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0640u);
    EXPECT_EQ(readFile(), defaultFile(false));
    EXPECT_EQ(entriesOf(directory), std::vector<std::string>{"zarv.cfg"});
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFileAndLeavesNothingBehind) {
    writeFile("W=1\r\n");
    keys.forwardKey = 77;

    // A directory where nothing can be created (only when not running as root).
    if (geteuid() != 0) {
        chmod(directory.c_str(), 0555);
        saveSettings();
        chmod(directory.c_str(), 0755);
        EXPECT_EQ(readFile(), "W=1\r\n");
    }

    // A write that fails part way (the file-size limit stands in for a full disk).
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    saveSettings();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readFile(), "W=1\r\n");
    EXPECT_EQ(entriesOf(directory), std::vector<std::string>{"zarv.cfg"});

    // A path that cannot be replaced: a non-empty directory under the file's name.
    const std::string blocked = directory + "/blocked";
    mkdir(blocked.c_str(), 0755);
    const std::string inner = blocked + "/keep";
    std::ofstream(inner) << "x";
    settingsPath = blocked.c_str();
    saveSettings();
    settingsPath = path.c_str();
    struct stat info {};
    ASSERT_EQ(stat(inner.c_str(), &info), 0);
    EXPECT_EQ(entriesOf(directory).size(), 2u);

    // A directory that does not exist.
    const std::string nowhere = directory + "/missing/zarv.cfg";
    settingsPath = nowhere.c_str();
    saveSettings();
    settingsPath = path.c_str();
    EXPECT_EQ(readFile(), "W=1\r\n");
}

TEST_F(SettingsTest, FirstSaveCreatesTheFile) {
    struct stat info {};
    ASSERT_NE(stat(path.c_str(), &info), 0);
    saveSettings();
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(readFile(), defaultFile(false));
}
