#pragma once
// MIDI output: numbered devices that take short messages. One device is open at a time.
// On Linux device 0 is the first that can play: the built-in General MIDI synthesiser when a
// SoundFont and an audio output exist, then the ALSA sequencer's output ports (never "Midi Through").
// On Windows it is the system's MIDI output device 0, the only one offered.
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

// A device family. The table is tried in order and numbers the devices one after the other.
struct MidiBackend {
    std::uint32_t (*deviceCount)();
    bool (*open)(std::uint32_t index);
    void (*shortMessage)(std::uint32_t message);
    void (*reset)();
    void (*close)();
};

// Replaces the device table (tests); nullptr restores the platform's own devices.
// Only while nothing is open.
void setMidiBackends(const MidiBackend* const* backends, int count);

extern const MidiBackend midiRecordingBackend;
// Linux only: the built-in synthesiser and the sequencer ports.
extern const MidiBackend midiSynthBackend;
extern const MidiBackend midiSequencerBackend;

// The recording backend: every message and reset, in order, for tests.
constexpr int kMidiRecordCapacity = 8192;
constexpr std::uint32_t kMidiResetMark = 0xFFFFFFFFu;
struct MidiRecording {
    std::uint32_t devices;     // what deviceCount reports
    std::uint32_t openFails;   // nonzero: open refuses, as a busy device does
    std::uint32_t opens;
    std::uint32_t closes;
    std::int32_t count;
    std::uint32_t messages[kMidiRecordCapacity];  // kMidiResetMark for a reset
};
extern MidiRecording midiRecording;
// Installs the recording backend alone, empty, offering the given number of devices.
void useMidiRecording(std::uint32_t devices);

// The instruments (bank, program) the built-in synthesiser will be asked for; the SoundFonts'
// other instruments stay out of memory. nullptr (the default) keeps them all. Before opening.
// Windows has no such synthesiser and ignores the list.
struct MidiInstrument {
    std::uint16_t bank;
    std::uint16_t program;
};
void setMidiSynthInstruments(const MidiInstrument* instruments, int count);

// The built-in synthesiser's knobs for tests and benchmarks (Linux only).
// Offline: no audio driver; the caller renders the output with midiSynthRender.
void setMidiSynthOffline(bool offline);
// Audio drivers tried in order; nullptr restores pulseaudio, then alsa.
void setMidiAudioDrivers(const char* const* names, int count);
// SoundFont files tried in order for the General MIDI font; nullptr restores the search list.
void setMidiSoundFontCandidates(const char* const* paths, int count);
// Waits until the SoundFonts have loaded and every message sent so far has reached the synthesiser.
// False on timeout or when the synthesiser is not open.
bool midiSynthSettle(int timeoutMs);
// True once the SoundFonts are in (always false while the synthesiser is not open).
bool midiSynthReady();
// Renders frames of interleaved stereo samples at 44100 Hz; offline only.
void midiSynthRender(float* interleaved, int frames);
