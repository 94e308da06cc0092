// A save stopped at each of its steps in turn, as a full disk or a failing device stops it: up to
// the failure every moment on disk, and afterwards the file, reads through the game's own reader
// as the old settings or the new ones, and a save that reports failure left the old ones.
#include "settings/settings_fixture.h"

#include "platform/file_replace.h"
#include "platform/test_hooks.h"

#include <filesystem>

namespace {

struct Watch {
    std::string oldText;
    std::string newText;
    int steps = 0;
    int failAt = 0;
    // Only a file rewritten in place may read as neither after a failed write, until its old
    // bytes are back.
    bool inPlace = false;
    std::string torn;  // the first step before which the file read as neither
} watch;

std::string textOf(const std::string& bytes) {
    loadSettingsText(bytes.data(), bytes.size());
    return settingsTextForTest();
}

std::string textOnDisk() {
    readSettingsFile();
    const char* text = settingsTextForTest();
    return text ? text : "(no file)";
}

bool watchStep(const char* step) {
    const bool failing = ++watch.steps == watch.failAt;
    const std::string now = textOnDisk();
    const bool watched = watch.steps <= watch.failAt || !watch.inPlace;
    if (watch.torn.empty() && watched && now != watch.oldText && now != watch.newText) {
        watch.torn = step;
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
            watch.oldText = textOf(oldBytes);
            watch.newText = textOf(newBytes);
            bool failed = true;
            for (int failAt = 1; failed; ++failAt) {
                const std::string where = (linked ? "in place, " : "replaced, ") +
                                          std::to_string(oldBytes.size()) + " bytes by " +
                                          std::to_string(newBytes.size()) + ", step " + std::to_string(failAt);
                std::filesystem::remove(path);
                std::filesystem::remove(second);
                put(path, oldBytes);
                if (linked) {
                    std::filesystem::create_hard_link(path, second);
                }
                watch.steps = 0;
                watch.failAt = failAt;
                watch.inPlace = linked;
                watch.torn.clear();
                setFileStepHook(watchStep);
                const bool saved = replaceFileContents(path.c_str(), newBytes.data(), newBytes.size());
                setFileStepHook(nullptr);
                failed = watch.steps >= failAt;
                EXPECT_EQ(watch.torn, "") << where << ": neither old nor new before this step";
                EXPECT_EQ(textOnDisk(), saved ? watch.newText : watch.oldText) << where;
                EXPECT_TRUE(saved || failed) << where;
                if (linked) {
                    EXPECT_EQ(contents(second), contents(path)) << where << ": both names, one file";
                } else {
                    EXPECT_EQ(contents(path), saved ? newBytes : oldBytes) << where << ": one file or the other";
                }
            }
        }
    }
}
