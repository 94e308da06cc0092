#pragma once
// Seams through which tests and benchmarks replace the system's sources. The game never calls
// them; they are built into a library of their own (zarv_test_hooks) that only tests link.
#include "platform/midi.h"

// Replace the key and focus sources; nullptr restores the real ones.
void setKeySource(bool (*down)(int vk), bool (*focused)());
// While a source is set, clockMs() returns its value; nullptr restores the real clock.
void setClockSource(double (*source)());

// Called before each step of replaceFileContents that creates, changes, moves or flushes a file,
// with the step's name. True fails that step as a full disk would, without making it; a failing
// write first puts down half of its bytes, as a disk that fills part way does. nullptr lets every
// step run.
using FileStepHook = bool (*)(const char* step);
void setFileStepHook(FileStepHook hook);

// Replaces the MIDI device table; nullptr restores the platform's own devices.
// Only while nothing is open.
void setMidiBackends(const MidiBackend* const* backends, int count);

// The recording device family: every message and reset, in order.
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
extern const MidiBackend midiRecordingBackend;
// Installs the recording backend alone, empty, offering the given number of devices.
void useMidiRecording(std::uint32_t devices);
