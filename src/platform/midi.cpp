#include "platform/midi_seam.h"

#include "platform/port.h"

namespace {

constexpr int kMaxBackends = 8;

const MidiBackend* backends[kMaxBackends] = {};
int backendCount = -1;  // the platform's table until a test sets another

// The open device: its backend and the handle given out for it.
const MidiBackend* openBackend = nullptr;
MidiHandle openHandle = 0;

// The table is filled on first use: the platform's own table is another file's constant.
void useDefaultTable() {
    if (backendCount < 0) {
        setMidiBackends(nullptr, 0);
    }
}

}  // namespace

std::uint32_t midiDeviceCount() {
    quietMidiLibraries();
    useDefaultTable();
    std::uint32_t total = 0;
    for (int i = 0; i < backendCount; ++i) {
        total += backends[i]->deviceCount();
    }
    return total;
}

std::uint32_t midiOpen(std::uint32_t device, MidiHandle* handle) {
    quietMidiLibraries();
    useDefaultTable();
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
        table = kPlatformMidiBackends;
        count = kPlatformMidiBackendCount;
    }
    backendCount = 0;
    for (int i = 0; i < count && i < kMaxBackends; ++i) {
        backends[backendCount++] = table[i];
    }
}
