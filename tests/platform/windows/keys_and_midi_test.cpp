// The Windows layer between the game and the system: the MIDI words that reach the system's
// device. (The key state is read through the system's own call: a fake of it would only repeat
// the mask the code applies.)
#include "platform/test_hooks.h"
#include "platform/windows/win_hooks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What the system's device was asked, a reset kept as the recording device keeps it.
struct SystemMidi {
    UINT devices = 1;
    MMRESULT openResult = MMSYSERR_NOERROR;
    std::vector<UINT> opened;
    std::vector<DWORD> words;
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
    [](HMIDIOUT out) -> MMRESULT {
        systemMidi.words.push_back(out == kFakeOut ? kMidiResetMark : 0);
        return MMSYSERR_NOERROR;
    },
    [](HMIDIOUT out) -> MMRESULT { return systemMidi.closes += out == kFakeOut, MMSYSERR_NOERROR; },
};

class WindowsMidi : public ::testing::Test {
protected:
    void SetUp() override {
        systemMidi = SystemMidi{};
        setWinmmCalls(&kFakeWinmm);
        setMidiBackends(nullptr, 0);
    }
    void TearDown() override { setWinmmCalls(nullptr); }
};

}  // namespace

// Every kind of message the game sends (note on and off, controller, program, pitch bend) goes to
// device 0 as it is, whatever number of devices the system has; so do a reset and the close.
TEST_F(WindowsMidi, OnlyDeviceZeroIsOfferedAndGetsEveryWordAsItIs) {
    systemMidi.devices = 3;
    EXPECT_EQ(midiDeviceCount(), 1u);
    MidiHandle h = 0;
    ASSERT_EQ(midiOpen(0, &h), kMidiOk);
    const std::vector<DWORD> words = {0x647C93, 0x403C83, 0x5A07B5, 0x17C6, 0x4000E8};
    for (DWORD word : words) {
        midiShortMessage(h, word);
    }
    midiReset(h);
    midiClose(h);
    midiShortMessage(h, 0x647C93);  // closed: goes nowhere
    std::vector<DWORD> expected = words;
    expected.push_back(kMidiResetMark);
    EXPECT_EQ(systemMidi.opened, std::vector<UINT>{0});
    EXPECT_EQ(systemMidi.words, expected);
    EXPECT_EQ(systemMidi.closes, 1);
}

TEST_F(WindowsMidi, NoDeviceOrARefusalOpensNothingAndSendsNothing) {
    systemMidi.devices = 0;
    EXPECT_EQ(midiDeviceCount(), 0u);
    MidiHandle h = 0;
    EXPECT_EQ(midiOpen(0, &h), kMidiBadDevice);
    EXPECT_TRUE(systemMidi.opened.empty());

    systemMidi.devices = 2;
    systemMidi.openResult = MMSYSERR_ALLOCATED;
    EXPECT_EQ(midiOpen(0, &h), kMidiOpenFailed);
    EXPECT_EQ(systemMidi.opened, std::vector<UINT>{0});
    midiShortMessage(h, 0x647C93);
    midiReset(h);
    EXPECT_TRUE(systemMidi.words.empty());
}
