// A device that keeps what it is sent, so tests can read the exact byte stream.
#include "platform/midi_seam.h"
#include "seams/seams.h"

MidiRecording midiRecording{};

namespace {

void record(std::uint32_t message) {
    if (midiRecording.count >= 0 && midiRecording.count < kMidiRecordCapacity) {
        midiRecording.messages[midiRecording.count++] = message;
    }
}

std::uint32_t recordingDeviceCount() {
    return midiRecording.devices;
}

bool recordingOpen(std::uint32_t) {
    if (midiRecording.openFails != 0) {
        return false;
    }
    ++midiRecording.opens;
    return true;
}

void recordingReset() {
    record(kMidiResetMark);
}

void recordingClose() {
    ++midiRecording.closes;
}

}  // namespace

const MidiBackend midiRecordingBackend = {recordingDeviceCount, recordingOpen, record, recordingReset,
                                          recordingClose};

void useMidiRecording(std::uint32_t devices) {
    midiRecording = MidiRecording{};
    midiRecording.devices = devices;
    const MidiBackend* const table[] = {&midiRecordingBackend};
    setMidiBackends(table, 1);
}
