// Without a MIDI device the game is silent: no message goes out, nothing reaches the terminal,
// and the settings file neither stores nor loads a volume.
#include "settings/settings.h"
#include "sound_test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Everything written to file descriptors 1 and 2 between start and stop, libraries' output included.
class TerminalCapture {
public:
    void start() {
        std::fflush(stdout);
        std::fflush(stderr);
        file_ = std::tmpfile();
        for (int fd = 1; fd <= 2; ++fd) {
            saved_[fd - 1] = dup(fd);
            dup2(fileno(file_), fd);
        }
    }
    std::string stop() {
        std::fflush(stdout);
        std::fflush(stderr);
        for (int fd = 1; fd <= 2; ++fd) {
            dup2(saved_[fd - 1], fd);
            close(saved_[fd - 1]);
        }
        std::string text;
        std::rewind(file_);
        char buffer[256];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) {
            text.append(buffer, n);
        }
        std::fclose(file_);
        return text;
    }

private:
    std::FILE* file_ = nullptr;
    int saved_[2] = {-1, -1};
};

void playEveryEffect(double now) {
    for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
        requestSound(e, 100.0);
    }
    for (double t = now; t < now + 1000; t += 20) {
        updateSounds(t, 100.0);
    }
}

class NoDevice : public ::testing::Test {
protected:
    void TearDown() override {
        closeMidiOutput();
        midiClose(sound.midiHandle);
        setMidiBackends(nullptr, 0);
        setMidiSoundFontCandidates(nullptr, 0);
    }
};

TEST_F(NoDevice, LeavesTheGameSilentAndTheVolumeAtMinusOne) {
    useMidiRecording(0);
    openMidiOutput();
    EXPECT_EQ(sound.soundVolume, -1);
    EXPECT_EQ(midiRecording.opens, 0u);
    sound.fieldWidth = 800;
    playEveryEffect(0);
    resetMidiOutput();
    closeMidiOutput();
    EXPECT_EQ(midiRecording.count, 0);
    EXPECT_EQ(midiRecording.closes, 0u);
    EXPECT_EQ(sound.playerShotTimer, -1);  // processed, just never heard
}

TEST_F(NoDevice, ABusyDeviceCountsAsNone) {
    useMidiRecording(1);
    midiRecording.openFails = 1;
    openMidiOutput();
    EXPECT_EQ(sound.soundVolume, -1);
    EXPECT_NE(sound.openResult, 0u);
    playEveryEffect(0);
    EXPECT_EQ(midiRecording.count, 0);
}

TEST_F(NoDevice, F8WithoutADeviceProcessesEffectsThatGoNowhere) {
    useMidiRecording(0);
    openMidiOutput();
    sound.soundVolume = volumeStepUp(sound.soundVolume);
    EXPECT_EQ(sound.soundVolume, 9);
    resetMidiOutput();
    requestSound(PlayerShot);
    updateSounds(1000, 0);
    EXPECT_EQ(sound.playerShotTimer, 1250);
    closeMidiOutput();
    EXPECT_EQ(midiRecording.count, 0);
    EXPECT_EQ(midiRecording.closes, 0u);
}

TEST_F(NoDevice, NoSoundFontMeansNoSynthesiserAndNoOutput) {
    const MidiBackend* const synthOnly[] = {&midiSynthBackend};
    setMidiBackends(synthOnly, 1);
    const char* const missing[] = {"/nonexistent/zarv-test.sf2"};
    setMidiSoundFontCandidates(missing, 1);
    TerminalCapture capture;
    capture.start();
    openMidiOutput();
    playEveryEffect(0);
    closeMidiOutput();
    const std::string printed = capture.stop();
    EXPECT_EQ(sound.soundVolume, -1);
    EXPECT_EQ(printed, "");
}

TEST_F(NoDevice, TheRealDevicesPrintNothingWhateverTheyFind) {
    // On a machine without sound hardware every audio driver and the sequencer fail here; on a
    // desktop the synthesiser opens. Either way the terminal stays clean.
    TerminalCapture capture;
    capture.start();
    const std::uint32_t devices = midiDeviceCount();
    openMidiOutput();
    sound.fieldWidth = 800;
    if (devices == 0) {
        playEveryEffect(0);  // silent here; a desktop is spared the noise
    }
    closeMidiOutput();
    const std::string printed = capture.stop();
    EXPECT_EQ(printed, "");
    if (devices == 0) {
        EXPECT_EQ(sound.soundVolume, -1);
    }
}

TEST_F(NoDevice, SettingsFileNeitherStoresNorLoadsAVolume) {
    useMidiRecording(0);
    openMidiOutput();
    ASSERT_EQ(sound.soundVolume, -1);
    char directory[] = "/tmp/zarv-sound-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string path = std::string(directory) + "/zarv.cfg";
    const char* savedPath = settingsPath;
    settingsPath = path.c_str();

    saveSettings();
    std::ifstream written(path, std::ios::binary);
    std::stringstream text;
    text << written.rdbuf();
    EXPECT_NE(text.str().find("ezik="), std::string::npos);
    EXPECT_EQ(text.str().find("zvuk="), std::string::npos);

    {
        std::ofstream edited(path, std::ios::binary | std::ios::app);
        edited << "zvuk=50\r\n";
    }
    readSettingsFile();
    parseSettingsText();
    EXPECT_EQ(sound.soundVolume, -1);

    settingsPath = savedPath;
    clearSettingsTextForTest();
    std::remove(path.c_str());
    rmdir(directory);
}

}  // namespace
