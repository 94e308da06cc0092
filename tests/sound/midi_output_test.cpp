// The device table: numbering across backends, one device open at a time, handles.
#include "platform/midi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FakeFamily {
    explicit FakeFamily(std::uint32_t n = 0) : devices(n) {}
    std::uint32_t devices;
    int opened = -1;
    std::vector<std::uint32_t> sent;
    int resets = 0;
    int closes = 0;
};

FakeFamily first(0);
FakeFamily second(2);

template <FakeFamily& f>
const MidiBackend* familyBackend() {
    static const MidiBackend backend = {
        [] { return f.devices; },
        [](std::uint32_t index) {
            f.opened = static_cast<int>(index);
            return index != 1 || f.devices != 3;  // the second of three refuses, as a busy port does
        },
        [](std::uint32_t m) { f.sent.push_back(m); },
        [] { ++f.resets; },
        [] { ++f.closes; },
    };
    return &backend;
}

class MidiDevices : public ::testing::Test {
protected:
    void SetUp() override {
        first = FakeFamily(0);
        second = FakeFamily(2);
        const MidiBackend* const table[] = {familyBackend<first>(), familyBackend<second>()};
        setMidiBackends(table, 2);
    }
    void TearDown() override { setMidiBackends(nullptr, 0); }
};

TEST_F(MidiDevices, NumbersDevicesAcrossFamiliesAndOpensOneAtATime) {
    EXPECT_EQ(midiDeviceCount(), 2u);
    first.devices = 1;
    EXPECT_EQ(midiDeviceCount(), 3u);

    MidiHandle handle = 99;
    EXPECT_EQ(midiOpen(3, &handle), kMidiBadDevice);
    EXPECT_EQ(handle, 0u);
    ASSERT_EQ(midiOpen(2, &handle), kMidiOk);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(first.opened, -1);
    EXPECT_EQ(second.opened, 1);

    MidiHandle other = 0;
    EXPECT_EQ(midiOpen(0, &other), kMidiBusy);
    EXPECT_EQ(other, 0u);

    midiShortMessage(handle, 0x643C90);
    midiShortMessage(handle + 1, 0x123456);  // not ours: ignored
    midiShortMessage(0, 0x123456);
    midiReset(handle);
    EXPECT_EQ(second.sent, std::vector<std::uint32_t>{0x643C90});
    EXPECT_EQ(second.resets, 1);
    EXPECT_TRUE(first.sent.empty());

    midiClose(handle);
    EXPECT_EQ(second.closes, 1);
    midiShortMessage(handle, 0x643C90);
    midiClose(handle);
    EXPECT_EQ(second.sent.size(), 1u);
    EXPECT_EQ(second.closes, 1);

    ASSERT_EQ(midiOpen(0, &handle), kMidiOk);
    EXPECT_EQ(first.opened, 0);
    midiClose(handle);
}

TEST_F(MidiDevices, ARefusedOpenLeavesNothingOpen) {
    second.devices = 3;
    MidiHandle handle = 5;
    EXPECT_EQ(midiOpen(1, &handle), kMidiOpenFailed);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(midiOpen(0, &handle), kMidiOk);
    midiClose(handle);
}

TEST(MidiRecordingDevice, KeepsMessagesAndResetsInOrder) {
    useMidiRecording(1);
    MidiHandle handle = 0;
    ASSERT_EQ(midiOpen(0, &handle), kMidiOk);
    midiShortMessage(handle, 0x7F0AB3);
    midiReset(handle);
    midiShortMessage(handle, 0x3CC3);
    ASSERT_EQ(midiRecording.count, 3);
    EXPECT_EQ(midiRecording.messages[0], 0x7F0AB3u);
    EXPECT_EQ(midiRecording.messages[1], kMidiResetMark);
    EXPECT_EQ(midiRecording.messages[2], 0x3CC3u);
    midiClose(handle);
    EXPECT_EQ(midiRecording.closes, 1u);
    setMidiBackends(nullptr, 0);
}

}  // namespace
