#include "platform/port.h"

// The page has no MIDI device yet: the game is silent, and the Sound row of the options grey.
const MidiBackend* const kPlatformMidiBackends[] = {nullptr};
const int kPlatformMidiBackendCount = 0;

void quietMidiLibraries() {}

void setMidiSynthInstruments(const MidiInstrument*, int) {}
