// The system's MIDI output device 0, through the multimedia API. Every Windows has a General
// MIDI synthesiser there, so no SoundFont travels with the game.
#include "platform/port.h"
#include "platform/windows/win_hooks.h"

namespace {

constexpr WinmmCalls kSystemCalls = {midiOutGetNumDevs, midiOutOpen, midiOutShortMsg, midiOutReset,
                                     midiOutClose};
const WinmmCalls* calls = &kSystemCalls;
HMIDIOUT out = nullptr;

// Only device 0 is offered, whatever else is installed.
std::uint32_t systemDeviceCount() {
    return calls->getNumDevs() > 0 ? 1 : 0;
}

bool systemOpen(std::uint32_t) {
    HMIDIOUT opened = nullptr;
    if (calls->open(&opened, 0, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        return false;
    }
    out = opened;
    return true;
}

// The game's message word already is the system's: status lowest, then the two data bytes.
void systemShortMessage(std::uint32_t message) {
    if (out != nullptr) {
        calls->shortMsg(out, static_cast<DWORD>(message));
    }
}

void systemReset() {
    if (out != nullptr) {
        calls->reset(out);
    }
}

void systemClose() {
    if (out != nullptr) {
        calls->close(out);
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

void setWinmmCalls(const WinmmCalls* replacement) {
    calls = replacement != nullptr ? replacement : &kSystemCalls;
}
