// A save stopped at each of its steps in turn, as a full disk or a failing device stops it: up to
// the failure every moment on disk, and afterwards the file, reads through the game's own reader
// as the old settings or the new ones, and a save that reports failure left the old ones.
#include "settings/settings_fixture.h"

#include "platform/port.h"
#include "seams/seams.h"

namespace {

struct Watch {
    std::string oldText;
    std::string newText;
    int failAt = 0;
    // Only a file rewritten in place may read as neither after a failed write, until its old
    // bytes are back.
    bool inPlace = false;
    int steps = 0;
    int torn = 0;  // the first step before which the file read as neither
} watch;

std::string textOf(const std::string& bytes) {
    loadSettingsText(bytes.data(), bytes.size());
    return settingsText;
}

std::string textOnDisk() {
    readSettingsFile();
    const char* text = settingsText;
    return text ? text : "(no file)";
}

bool watchStep() {
    const bool failing = ++watch.steps == watch.failAt;
    const std::string now = textOnDisk();
    const bool watched = watch.steps <= watch.failAt || !watch.inPlace;
    if (watch.torn == 0 && watched && now != watch.oldText && now != watch.newText) {
        watch.torn = watch.steps;
    }
    return failing;
}

std::string withScores(const char* volume, const char* score) {
    std::string file = defaultFile(volume);
    return file.replace(file.find("lut1=0"), 6, std::string("lut1=") + score);
}

}  // namespace

// A longer old file (a volume line, more score digits) and a shorter one, each replaced as a whole
// and, with a second name for the file, rewritten in place.
TEST_F(SettingsTest, ASaveFailingAtAnyStepLeavesTheOldSettingsOrTheNew) {
    const std::string longer = withScores("zvuk=90\r\n", "8765432");
    const std::string shorter = withScores("", "5");
    const std::string second = directory + "/second-name.cfg";
    for (const bool linked : {false, true}) {
        for (const auto& [oldBytes, newBytes] : {std::pair(longer, shorter), std::pair(shorter, longer)}) {
            bool failed = true;
            for (int failAt = 1; failed; ++failAt) {
                SCOPED_TRACE(::testing::Message() << (linked ? "in place, " : "replaced, ") << oldBytes.size()
                                                  << " bytes by " << newBytes.size() << ", step " << failAt);
                std::filesystem::remove(path);
                std::filesystem::remove(second);
                put(path, oldBytes);
                if (linked) {
                    std::filesystem::create_hard_link(path, second);
                }
                watch = Watch{textOf(oldBytes), textOf(newBytes), failAt, linked, 0, 0};
                watchSaveSteps(watchStep);
                const bool saved = replaceFileContents(path.c_str(), newBytes.data(), newBytes.size());
                watchSaveSteps(nullptr);
                failed = watch.steps >= failAt;
                EXPECT_EQ(watch.torn, 0) << "neither old nor new before this step";
                EXPECT_EQ(textOnDisk(), saved ? watch.newText : watch.oldText);
                EXPECT_TRUE(saved || failed);
                // Both names one file, or the one file replaced by the other.
                EXPECT_EQ(contents(path), linked ? contents(second) : saved ? newBytes : oldBytes);
            }
        }
    }
}
