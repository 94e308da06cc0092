#pragma once
// The MIDI device table midiDeviceCount and midiOpen walk: the port's own families, or a test's
// put in their place.
#include "platform/midi.h"

// Replaces the table; nullptr puts the port's own back. Only while nothing is open.
void setMidiBackends(const MidiBackend* const* backends, int count);
