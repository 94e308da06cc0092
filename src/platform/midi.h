#pragma once
// MIDI output: numbered devices that take short messages. One device is open at a time.
// The devices are those of the port's device families (port.h), numbered in the order
// they are tried, so device 0 is the first that can play. With none the game is silent.
// Nothing here ever writes to the terminal; failures show only as results.
#include <cstdint>

// 0 while nothing is open.
using MidiHandle = std::uint32_t;

constexpr std::uint32_t kMidiOk = 0;
constexpr std::uint32_t kMidiBadDevice = 2;   // no such device
constexpr std::uint32_t kMidiOpenFailed = 4;  // the device exists but would not open
constexpr std::uint32_t kMidiBusy = 7;        // a device is already open

// Devices that can be opened now. May take a few milliseconds (the synthesiser is prepared here).
std::uint32_t midiDeviceCount();
std::uint32_t midiOpen(std::uint32_t device, MidiHandle* handle);
// One short message: status byte lowest, then the two data bytes. Never blocks the caller;
// the built-in synthesiser queues messages that arrive while its SoundFonts are still loading.
void midiShortMessage(MidiHandle handle, std::uint32_t message);
// Silences every sounding note on every channel; programs, volumes and pans stay.
void midiReset(MidiHandle handle);
void midiClose(MidiHandle handle);

// A short message taken apart: the kind (0x80..0xE0 for channel messages), channel, data bytes.
struct MidiMessageParts {
    int kind;
    int channel;
    int data1;
    int data2;
};
inline MidiMessageParts splitMidiMessage(std::uint32_t message) {
    return MidiMessageParts{static_cast<int>(message & 0xF0), static_cast<int>(message & 0x0F),
                            static_cast<int>((message >> 8) & 0x7F), static_cast<int>((message >> 16) & 0x7F)};
}

// A device family. The table is tried in order and numbers the devices one after the other;
// each port lists its own (port.h).
struct MidiBackend {
    std::uint32_t (*deviceCount)();
    bool (*open)(std::uint32_t index);
    void (*shortMessage)(std::uint32_t message);
    void (*reset)();
    void (*close)();
};
