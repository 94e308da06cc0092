// The Windows layer between the game and the system: the MIDI words that reach the system's
// device. (The key state is read through the system's own call: a fake of it would only repeat
// the mask the code applies.)
#include "platform/rand.h"
#include "platform/windows/win_hooks.h"
#include "sound/sound.h"
#include "platform/test_hooks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SystemMidi {
    UINT devices = 1;
    MMRESULT openResult = MMSYSERR_NOERROR;
    std::vector<UINT> opened;
    std::vector<DWORD> words;
    int resets = 0;
    int closes = 0;
} systemMidi;

const HMIDIOUT kFakeOut = reinterpret_cast<HMIDIOUT>(0x1234);

const WinmmCalls kFakeWinmm = {
    []() -> UINT { return systemMidi.devices; },
    [](LPHMIDIOUT out, UINT device, DWORD_PTR, DWORD_PTR, DWORD) -> MMRESULT {
        systemMidi.opened.push_back(device);
        *out = systemMidi.openResult == MMSYSERR_NOERROR ? kFakeOut : nullptr;
        return systemMidi.openResult;
    },
    [](HMIDIOUT out, DWORD word) -> MMRESULT {
        EXPECT_EQ(out, kFakeOut);
        systemMidi.words.push_back(word);
        return MMSYSERR_NOERROR;
    },
    [](HMIDIOUT) -> MMRESULT { return ++systemMidi.resets, MMSYSERR_NOERROR; },
    [](HMIDIOUT) -> MMRESULT { return ++systemMidi.closes, MMSYSERR_NOERROR; },
};

// Every effect the game makes, the same frames on whichever device is open.
void playEveryEffect() {
    platformSrand(7);
    for (int frame = 0; frame < 400; ++frame) {
        if (frame % 50 == 0) {
            for (int e = PlayerShot; e <= ExtraLife; ++e) {
                requestSound(static_cast<SoundEffect>(e), 37.0 * e + frame);
            }
        }
        updateSounds(frame * 17.0, 300.0 + frame);
    }
}

class WindowsMidi : public ::testing::Test {
protected:
    void SetUp() override {
        systemMidi = SystemMidi{};
        setWinmmCalls(&kFakeWinmm);
        setMidiBackends(nullptr, 0);
    }
    void TearDown() override {
        closeMidiOutput();
        setWinmmCalls(nullptr);
        setMidiBackends(nullptr, 0);
    }
};

}  // namespace

TEST_F(WindowsMidi, TheSystemDeviceGetsTheWordsTheRecordingDeviceGets) {
    useMidiRecording(1);
    openMidiOutput();
    playEveryEffect();
    resetMidiOutput();
    closeMidiOutput();
    const std::vector<std::uint32_t> recorded(midiRecording.messages, midiRecording.messages + midiRecording.count);
    ASSERT_GT(recorded.size(), 50u);

    setMidiBackends(nullptr, 0);
    openMidiOutput();
    ASSERT_GE(sound.soundVolume, 0) << "device 0 opened";
    playEveryEffect();
    resetMidiOutput();
    closeMidiOutput();
    std::vector<std::uint32_t> sent;
    int resets = 0;
    for (std::uint32_t word : recorded) {
        if (word == kMidiResetMark) {
            ++resets;
        } else {
            sent.push_back(word);
        }
    }
    EXPECT_EQ(systemMidi.words, std::vector<DWORD>(sent.begin(), sent.end()));
    EXPECT_EQ(systemMidi.resets, resets);
    EXPECT_EQ(systemMidi.closes, 1);
}

TEST_F(WindowsMidi, OnlyDeviceZeroIsOfferedAndARefusalLeavesTheGameSilent) {
    systemMidi.devices = 3;
    EXPECT_EQ(midiDeviceCount(), 1u);
    systemMidi.devices = 0;
    EXPECT_EQ(midiDeviceCount(), 0u);
    openMidiOutput();
    EXPECT_EQ(sound.soundVolume, -1);
    EXPECT_TRUE(systemMidi.opened.empty());

    systemMidi.devices = 2;
    systemMidi.openResult = MMSYSERR_ALLOCATED;
    openMidiOutput();
    EXPECT_EQ(sound.soundVolume, -1);
    EXPECT_EQ(systemMidi.opened, std::vector<UINT>{0});
    playEveryEffect();
    EXPECT_TRUE(systemMidi.words.empty());
}
