#include "platform/port.h"

#include "platform/linux/midi_synth.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

const MidiBackend* const kPlatformMidiBackends[] = {&midiSynthBackend, &midiSequencerBackend};
const int kPlatformMidiBackendCount = 2;

namespace {
void discardFluidLog(int, const char*, void*) {}
void discardAlsaError(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

// Both libraries print to the terminal by default; a player must never see that.
void quietMidiLibraries() {
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
