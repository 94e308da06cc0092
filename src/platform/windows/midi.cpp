// The system's MIDI output device 0, through the multimedia API. Every Windows has a General
// MIDI synthesiser there, so no SoundFont travels with the game.
#include "platform/port.h"
#include "platform/windows/win_hooks.h"

constinit const WinmmCalls kSystemWinmmCalls = {midiOutGetNumDevs, midiOutOpen, midiOutShortMsg, midiOutReset,
                                                midiOutClose};
constinit const WinmmCalls* winmmCalls = &kSystemWinmmCalls;

namespace {

HMIDIOUT out = nullptr;

// Only device 0 is offered, whatever else is installed.
std::uint32_t systemDeviceCount() {
    return winmmCalls->getNumDevs() > 0 ? 1 : 0;
}

bool systemOpen(std::uint32_t) {
    HMIDIOUT opened = nullptr;
    if (winmmCalls->open(&opened, 0, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        return false;
    }
    out = opened;
    return true;
}

// The game's message word already is the system's: status lowest, then the two data bytes.
void systemShortMessage(std::uint32_t message) {
    if (out != nullptr) {
        winmmCalls->shortMsg(out, static_cast<DWORD>(message));
    }
}

void systemReset() {
    if (out != nullptr) {
        winmmCalls->reset(out);
    }
}

void systemClose() {
    if (out != nullptr) {
        winmmCalls->close(out);
        out = nullptr;
    }
}

const MidiBackend systemBackend = {systemDeviceCount, systemOpen, systemShortMessage, systemReset, systemClose};

}  // namespace

const MidiBackend* const kPlatformMidiBackends[] = {&systemBackend};
const int kPlatformMidiBackendCount = 1;

void quietMidiLibraries() {}

// The system synthesiser holds every instrument already.
void setMidiSynthInstruments(const MidiInstrument*, int) {}
