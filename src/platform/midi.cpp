#include "platform/midi.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

namespace {

const MidiBackend* const kDefaultBackends[] = {&midiSynthBackend, &midiSequencerBackend};
constexpr int kMaxBackends = 8;

const MidiBackend* backends[kMaxBackends] = {&midiSynthBackend, &midiSequencerBackend};
int backendCount = 2;

// The open device: its backend and the handle given out for it.
const MidiBackend* openBackend = nullptr;
MidiHandle openHandle = 0;

void discardFluidLog(int, const char*, void*) {}
void discardAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Both libraries print to the terminal by default; a player must never see that.
void silenceLibraries() {
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    for (int level = 0; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, discardFluidLog, nullptr);
    }
    snd_lib_error_set_handler(discardAlsaError);
}

}  // namespace

std::uint32_t midiDeviceCount() {
    silenceLibraries();
    std::uint32_t total = 0;
    for (int i = 0; i < backendCount; ++i) {
        total += backends[i]->deviceCount();
    }
    return total;
}

std::uint32_t midiOpen(std::uint32_t device, MidiHandle* handle) {
    silenceLibraries();
    if (handle != nullptr) {
        *handle = 0;
    }
    if (openBackend != nullptr) {
        return kMidiBusy;
    }
    std::uint32_t first = 0;
    for (int i = 0; i < backendCount; ++i) {
        const std::uint32_t count = backends[i]->deviceCount();
        if (device < first + count) {
            if (!backends[i]->open(device - first)) {
                return kMidiOpenFailed;
            }
            openBackend = backends[i];
            openHandle = device + 1;
            if (handle != nullptr) {
                *handle = openHandle;
            }
            return kMidiOk;
        }
        first += count;
    }
    return kMidiBadDevice;
}

void midiShortMessage(MidiHandle handle, std::uint32_t message) {
    if (openBackend != nullptr && handle == openHandle) {
        openBackend->shortMessage(message);
    }
}

void midiReset(MidiHandle handle) {
    if (openBackend != nullptr && handle == openHandle) {
        openBackend->reset();
    }
}

void midiClose(MidiHandle handle) {
    if (openBackend != nullptr && handle == openHandle) {
        openBackend->close();
        openBackend = nullptr;
        openHandle = 0;
    }
}

void setMidiBackends(const MidiBackend* const* table, int count) {
    if (openBackend != nullptr) {
        return;
    }
    if (table == nullptr) {
        table = kDefaultBackends;
        count = 2;
    }
    backendCount = 0;
    for (int i = 0; i < count && i < kMaxBackends; ++i) {
        backends[backendCount++] = table[i];
    }
}
