#pragma once
// What each platform gives the MIDI device table (see midi.h): its device families in the order
// they are tried, and a hook that keeps their libraries from printing.
#include "platform/midi.h"

extern const MidiBackend* const kPlatformMidiBackends[];
extern const int kPlatformMidiBackendCount;
void quietMidiLibraries();
