#pragma once
// The Linux MIDI device families: the built-in synthesiser, the sequencer ports.
#include "platform/midi.h"

extern const MidiBackend midiSynthBackend;
extern const MidiBackend midiSequencerBackend;
