// The page's synthesiser (web/synth.js, on Web Audio) as MIDI device 0. It plays the samples the
// cut of the desktop's SoundFonts left in the page's sound file, so it is there only once that file
// has loaded; before the player's first key press or click it takes messages and stays silent.
#include "platform/port.h"

#include <emscripten.h>

// The page script may be missing or have failed to load its file: then there is no device.
EM_JS(int, pageSynthReady, (), { return typeof zarvSynth !== 'undefined' && zarvSynth.ready ? 1 : 0; });
EM_JS(void, pageSynthMessage, (int message), { zarvSynth.message(message); });
EM_JS(void, pageSynthReset, (), { zarvSynth.reset(); });

namespace {

bool opened = false;

std::uint32_t pageDeviceCount() {
    return pageSynthReady() != 0 ? 1 : 0;
}

bool pageOpen(std::uint32_t index) {
    if (index != 0 || opened || pageSynthReady() == 0) {
        return false;
    }
    opened = true;
    return true;
}

void pageShortMessage(std::uint32_t message) {
    if (opened) {
        pageSynthMessage(static_cast<int>(message & 0x00FFFFFFu));
    }
}

void pageReset() {
    if (opened) {
        pageSynthReset();
    }
}

// Closing leaves nothing sounding, as closing the desktop's synthesiser does.
void pageClose() {
    if (opened) {
        pageSynthReset();
        opened = false;
    }
}

const MidiBackend pageBackend = {pageDeviceCount, pageOpen, pageShortMessage, pageReset, pageClose};

}  // namespace

const MidiBackend* const kPlatformMidiBackends[] = {&pageBackend};
const int kPlatformMidiBackendCount = 1;

void quietMidiLibraries() {}

// The sound file holds the game's instruments and nothing else already.
void setMidiSynthInstruments(const MidiInstrument*, int) {}
