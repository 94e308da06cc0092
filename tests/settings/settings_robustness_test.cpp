// The reader and parser on 100,000 random and mutated files: no crash, no access outside a buffer
// (the sanitizer build runs this too), and every loaded value inside its accepted set.
#include "settings_fixture.h"

#include <cfloat>
#include <cmath>
#include <random>
#include <string>

namespace {

const char* const kFragments[] = {
    "razdelitelna=", "cvetove=", "czestota=", "cqlEkran=", "zvuk=", "ezik=", "W=", "A=", "D=", "TAB=",
    "lud1=", "lud2=", "lud3=", "lut1=", "lut2=", "lut3=", "-1", "\n", "\r\n", "\r", "=", " ", "-",
    "+", "0", "8", "16", "32", "127", "222", "223", "4294967295", "99999999999999999999", "1e39",
    "nan", "inf", "-0", "0x10", "\xF4\xE0\xE9\xEB", ";;;;",
};

const std::string kValidFile =
    ";;;; zarv701a - \xF4\xE0\xE9\xEB \xF1 \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8 ;;;;\r\n\r\n"
    "razdelitelna=3\r\ncvetove=16\r\nczestota=85\r\ncqlEkran=1\r\nzvuk=90\r\nezik=1\r\n"
    "W=87\r\nA=68\r\nD=65\r\nTAB=32\r\nlud1=ivan\r\nlut1=9000\r\nlud2=maria\r\nlut2=2500\r\n"
    "lud3=petar\r\nlut3=15";

class Mutator {
public:
    explicit Mutator(unsigned seed) : rng(seed) {}

    std::string next() {
        return pick(4) == 0 ? randomBytes() : mutated();
    }

private:
    std::size_t pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    }

    char byte() {
        return static_cast<char>(pick(256));
    }

    std::string randomBytes() {
        std::string s;
        const std::size_t pieces = pick(40);
        for (std::size_t i = 0; i < pieces; ++i) {
            if (pick(2) == 0) {
                s += kFragments[pick(std::size(kFragments))];
            } else {
                s += byte();
            }
        }
        return s;
    }

    std::string mutated() {
        std::string s = kValidFile;
        const std::size_t edits = 1 + pick(8);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = s.empty() ? 0 : pick(s.size() + 1);
            switch (pick(6)) {
            case 0:
                if (!s.empty() && at < s.size()) {
                    s[at] = byte();
                }
                break;
            case 1:
                s.insert(at, kFragments[pick(std::size(kFragments))]);
                break;
            case 2:
                s.erase(at, pick(20));
                break;
            case 3:
                s.insert(at, std::string(pick(300), static_cast<char>("7a \r\n="[pick(6)])));
                break;
            case 4:
                s.insert(at, 1, '\0');
                break;
            default:
                s = s.substr(0, at);
                break;
            }
        }
        return s;
    }

    std::mt19937 rng;
};

bool isListedRate(std::uint32_t rate) {
    for (std::uint32_t listed : kRefreshRates) {
        if (listed == rate) {
            return true;
        }
    }
    return false;
}

void expectSaneState(bool withSound) {
    ASSERT_GE(settings.resolutionIndex, 0);
    ASSERT_LT(settings.resolutionIndex, kResolutionCount);
    ASSERT_EQ(displayMode.width, kResolutionWidths[settings.resolutionIndex]);
    ASSERT_EQ(displayMode.height, displayMode.width * 3 / 4);
    ASSERT_TRUE(displayMode.colourBits == 8 || displayMode.colourBits == 16 || displayMode.colourBits == 32);
    ASSERT_TRUE(isListedRate(displayMode.refreshRate));
    ASSERT_LE(displayMode.fullScreen, 1);
    ASSERT_LE(settings.language, 1);
    if (withSound) {
        ASSERT_GE(sound.soundVolume, 0);
    } else {
        ASSERT_EQ(sound.soundVolume, -1);
    }
    for (std::int16_t code : {keys.forwardKey, keys.rightKey, keys.leftKey, keys.shootKey}) {
        ASSERT_GE(code, 0);
        ASSERT_LE(code, 222);
    }
    for (const HighScoreEntry& entry : highScores) {
        ASSERT_LE(strnlen(entry.name, sizeof entry.name), 8u);
        ASSERT_GE(entry.score, 0.0f);
        ASSERT_LE(entry.score, FLT_MAX);
    }
}

}  // namespace

TEST_F(SettingsTest, HundredThousandRandomAndMutatedTextsLoadSafely) {
    Mutator mutator(20261206);
    for (int i = 0; i < 100000; ++i) {
        const bool withSound = i % 2 == 0;
        sound.soundVolume = withSound ? 127 : -1;
        const std::string bytes = mutator.next();
        loadSettingsText(bytes.data(), bytes.size());
        parseSettingsText();
        expectSaneState(withSound);
        ASSERT_LE(std::strlen(findSettingValue("lud1=")), 63u);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "input " << i;
            return;
        }
    }
}

TEST_F(SettingsTest, MutatedFilesOnDiskReadAndSaveToAFixedPoint) {
    // Through the real file: whatever a file held, saving what was loaded and loading that again
    // gives the same values, and the saved file loads unchanged a second time.
    Mutator mutator(77);
    sound.soundVolume = 127;
    for (int i = 0; i < 300; ++i) {
        load(mutator.next());
        expectSaneState(true);
        saveSettings();
        const std::string first = readFile();
        readSettingsFile();
        parseSettingsText();
        saveSettings();
        ASSERT_EQ(readFile(), first) << "input " << i;
    }
}
