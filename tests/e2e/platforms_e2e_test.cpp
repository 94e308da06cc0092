// What must not depend on the platform the game was built for: run with ZARV_GAME_COMMAND naming
// the Windows build under Wine, the same keys give the same settings file as the Linux build's.
#include "e2e/harness.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Language, a resolution through the options screen (the window re-created at its size), then
// Exit, which writes zarv.cfg.
std::string settingsAfterTheSameKeys(const char* command, Image* options) {
    GameRun run;
    if (!run.start(command)) {
        return "(no window)";
    }
    run.tap("F8");
    run.tap("Down");    // "Options"
    run.tap("Return");
    waitFor([&] { return (*options = run.screenshot()).count(448, 195, 560, 217, 255, 255, 255) > 20; });  // "800x600"
    run.tap("Right");   // 960 x 720
    run.tap("Escape");  // "Back"
    run.tap("Return");  // apply: a new window of the new size
    int w = 0, h = 0;
    if (!waitFor([&] { return run.windowSize(w, h) && w == 960 && h == 720; })) {
        return "(window " + std::to_string(w) + "x" + std::to_string(h) + ")";
    }
    // Back from the options screen highlights "Options" (row 2); rows are 0.04375 W apart.
    const int top = static_cast<int>(0.24375 * 960 + 2 * 0.04375 * 960);
    waitFor([&] { return run.screenshot().count(263, top - 1, 278, top + 26, 255, 255, 255) > 30; });
    run.pause(500);  // under Wine the new window gets its keys a while after it shows (longer there)
    run.tap("Escape");  // "Exit"
    run.tap("Return");
    const int status = run.waitExit(30000);
    if (status != 1) {
        return "(exit status " + std::to_string(status) + ")";
    }
    return run.readSettings();
}

// The Sound row (row 4 of the options screen at 800 x 600): grey 0.7 without a device, else white.
int soundRowPixels(const Image& image, int level) {
    const int top = 195 + 35 * 4;
    return image.count(240, top - 2, 560, top + 24, level, level, level, 3);
}

}  // namespace

TEST(PlatformsEndToEnd, TheSameKeysWriteTheSameFileAndTheSoundRowShowsWhetherADeviceOpened) {
    Image options;
    const std::string file = settingsAfterTheSameKeys(gameCommand(), &options);
    ASSERT_NE(file.find("razdelitelna=2\r\n"), std::string::npos) << file;
    ASSERT_TRUE(options.valid());
    const bool withSound = file.find("zvuk=") != std::string::npos;
    EXPECT_GT(soundRowPixels(options, withSound ? 255 : 179), 40);
    EXPECT_EQ(soundRowPixels(options, withSound ? 179 : 255), 0);
    if (gameCommand() == nullptr) {
        GTEST_SKIP() << "the comparison runs when ZARV_GAME_COMMAND names another build";
    }
    EXPECT_FALSE(withSound) << "Wine offers no MIDI device";
    Image linuxOptions;
    std::string linuxFile = settingsAfterTheSameKeys(nullptr, &linuxOptions);
    // The Linux build may have found a synthesiser; everything else is byte for byte the same.
    const std::size_t sound = linuxFile.find("zvuk=");
    if (sound != std::string::npos) {
        linuxFile.erase(sound, linuxFile.find("\r\n", sound) + 2 - sound);
    }
    EXPECT_EQ(file, linuxFile);
}
