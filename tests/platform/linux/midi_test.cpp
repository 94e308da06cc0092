// The built-in synthesiser behind the sound code, rendered offline (playing from the SoundFont cut
// down to the game's instruments). The ALSA sequencer fallback has no test: build machines have no
// sequencer, and its part is one library call for each kind of message.
#include "platform/linux/midi_synth.h"
#include "platform/linux/midi_synth_seam.h"
#include "seams/seams.h"
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <vector>

namespace {

// The RMS of the next ms of output, both channels, the game's messages delivered first.
double render(double ms) {
    midiSynthSettle(1000);
    std::vector<float> buffer(2 * static_cast<std::size_t>(ms * 44.1));
    midiSynthRender(buffer.data(), static_cast<int>(buffer.size() / 2));
    return std::sqrt(std::inner_product(buffer.begin(), buffer.end(), buffer.begin(), 0.0, std::plus<>(),
                                        [](float a, float b) { return double(a) * b; }) / buffer.size());
}

}  // namespace

// Offline, the synthesiser alone as the game opens it (asking for the game's instruments only). The
// values the game sends for pan and volume are the sound tests' to check.
TEST(Synth, EveryEffectIsAudibleAndAResetSilencesAtOnce) {
    const MidiBackend* const synthOnly[] = {&midiSynthBackend};
    setMidiBackends(synthOnly, 1), setMidiSynthOffline(true), openMidiOutput();
    ASSERT_EQ(sound.soundVolume, 127) << "the General MIDI SoundFont is missing";
    ASSERT_TRUE(midiSynthSettle(20000));
    sound.fieldWidth = 800, std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 1e12);
    // Each effect sets its channel's pan, volume and program again.
    for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
        requestSound(e, 400), updateSounds(0, 400);
        EXPECT_GT(render(60), 0.001) << int(e);
        resetMidiOutput(), render(5);
        EXPECT_LT(render(100), 1e-6) << int(e);
        updateSounds(1e6, 400);
    }
    // A channel's volume (CC7) reaches the synthesiser: at 0 a note on a fresh channel is not heard.
    for (std::uint32_t m : {0xBDu | 7u << 8, 0x9Du | 60u << 8 | 100u << 16}) {
        midiShortMessage(sound.midiHandle, m);
    }
    EXPECT_LT(render(100), 1e-6);
    midiShortMessage(sound.midiHandle, 0x9Cu | 60u << 8 | 100u << 16);  // programs and volumes stay
    EXPECT_GT(render(100), 0.002);
    closeMidiOutput();
    EXPECT_FALSE(midiSynthReady()) << "still open: a second opening would make a second synthesiser";
    setMidiSynthOffline(false), setMidiBackends(nullptr, 0);
}
