#pragma once
// What tests and benchmarks put in place of the system's sources, through the tables the seam
// headers of src/ declare (platform/*_seam.h and each port's own): the key source and the clock
// are assigned directly; the save's calls and the MIDI devices are below.
#include "platform/clock_seam.h"
#include "platform/keys_seam.h"
#include "platform/midi.h"
#include "platform/midi_seam.h"

#include <cstdint>

// Calls beforeStep before each call by which a save creates, changes, moves or flushes a file;
// when it returns true that call fails as on a full disk, without being made (a failing write
// first puts down half of its bytes, as a disk that fills part way does). nullptr lets every call
// run. Each port's save calls are its own: tests/seams/<port>/save_steps.cpp.
void watchSaveSteps(bool (*beforeStep)());

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
