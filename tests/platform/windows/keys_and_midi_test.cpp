// The Windows layer between the game and the system: the MIDI words that reach the system's
// device. (The key state is read through the system's own call: a fake of it would only repeat
// the mask the code applies. Without a device the game is silent, as the end-to-end run under
// Wine, which offers none, shows on the options screen.)
#include "seams/seams.h"
#include "platform/windows/win_hooks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What the system's device was asked, in order: the open (kOpened and the device number), each word
// as the handle opened got it, a reset kept as the recording device keeps it, and the close.
constexpr DWORD kOpened = 0x0F000000;
constexpr DWORD kClosed = 0x0E000000;
std::vector<DWORD> asked;

const HMIDIOUT kFakeOut = reinterpret_cast<HMIDIOUT>(0x1234);

MMRESULT ask(HMIDIOUT out, DWORD what) {
    asked.push_back(out == kFakeOut ? what : 0);
    return MMSYSERR_NOERROR;
}

const WinmmCalls kFakeWinmm = {
    []() -> UINT { return 3; },
    [](LPHMIDIOUT out, UINT device, DWORD_PTR, DWORD_PTR, DWORD) -> MMRESULT {
        *out = kFakeOut;
        return ask(kFakeOut, kOpened + device);
    },
    [](HMIDIOUT out, DWORD word) -> MMRESULT { return ask(out, word); },
    [](HMIDIOUT out) -> MMRESULT { return ask(out, kMidiResetMark); },
    [](HMIDIOUT out) -> MMRESULT { return ask(out, kClosed); },
};

}  // namespace

// Every kind of message the game sends (note on and off, controller, program, pitch bend)
// goes to device 0 as it is, whatever number of devices the system has; so do a reset and the close.
TEST(WindowsMidi, OnlyDeviceZeroIsOfferedAndGetsEveryWordAsItIs) {
    winmmCalls = &kFakeWinmm;
    setMidiBackends(nullptr, 0);
    EXPECT_EQ(midiDeviceCount(), 1u);
    MidiHandle h = 0;
    ASSERT_EQ(midiOpen(0, &h), kMidiOk);
    const std::vector<DWORD> sent = {0x647C93, 0x403C83, 0x5A07B5, 0x17C6, 0x4000E8};
    for (DWORD word : sent) {
        midiShortMessage(h, word);
    }
    midiReset(h);
    midiClose(h);
    midiShortMessage(h, 0x647C93);  // closed: goes nowhere
    winmmCalls = &kSystemWinmmCalls;
    std::vector<DWORD> expected = {kOpened};
    expected.insert(expected.end(), sent.begin(), sent.end());
    expected.insert(expected.end(), {kMidiResetMark, kClosed});
    EXPECT_EQ(asked, expected);
}
