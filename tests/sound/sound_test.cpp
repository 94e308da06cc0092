// The effects' MIDI stream through the recording device: the stream of a scripted run against a
// stored digest (see support/test_support.h), the pan and volume controllers by value, notes
// always stopped, the volume keys, no device.
#include "game/game_state.h"
#include "platform/rand.h"
#include "seams/seams.h"
#include "sound/sound.h"
#include "support/test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

const SoundEffect kEffects[] = {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife};

class RecordedSound : public ::testing::Test {
protected:
    void SetUp() override {
        useMidiRecording(1), openMidiOutput(), sound.fieldWidth = 800, platformSrand(1234);
        std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 1e12);  // until a test starts them
    }
    void TearDown() override { closeMidiOutput(), setMidiBackends(nullptr, 0); }
};

// Every note struck in the stream has been switched off again (or silenced by a reset).
bool noNoteLeftOn() {
    bool on[16][128] = {};
    for (int i = 0; i < midiRecording.count; ++i) {
        const std::uint32_t m = midiRecording.messages[i];
        if (m == kMidiResetMark) {
            std::fill(&on[0][0], &on[0][0] + sizeof on, false);
        } else if ((m & 0xF0) == 0x90) {
            on[m & 0x0F][(m >> 8) & 0x7F] = ((m >> 16) & 0x7F) != 0;
        }
    }
    return std::find(&on[0][0], &on[0][0] + sizeof on, true) == &on[0][0] + sizeof on;
}

}  // namespace

TEST_F(RecordedSound, EveryEffectAtEveryVolumeAndPlaceDigestsTheSameAndStopsItsNotes) {
    Digest d{.every = 20};
    double now = 1000;
    for (int volume : {127, 40, 0}) {
        for (SoundEffect effect : kEffects) {
            for (double x : {-50.0, 200.9, 799.0}) {
                sound.soundVolume = static_cast<std::int8_t>(volume), midiRecording.count = 0;
                requestSound(effect, x), requestSound(effect, x);  // asked again before it starts: once
                for (double t = now; t < now + 1500; t += 7) {
                    updateSounds(t, x + 100);
                    if (t > now + 400 && volume == 0) {
                        sound.soundVolume = 90;  // what waited at volume 0 plays after F8
                    }
                }
                now += 1500;
                EXPECT_TRUE(noNoteLeftOn()) << int(effect) << " " << x;  // what waited at volume 0 included
                for (int i = 0; i < midiRecording.count; ++i) {
                    d.add("message", midiRecording.messages[i]), d.step();
                }
            }
        }
    }
    std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 0);  // they wander by random numbers
    for (double t = now; t < now + 20000; t += 10) {
        midiRecording.count = 0, updateSounds(t, 400);
        for (int i = 0; i < midiRecording.count; ++i) {
            d.add("message", midiRecording.messages[i]), d.add("time", t), d.step();
        }
    }
    expectDigest("sound_stream", d);
    midiRecording.count = 0, closeMidiOutput();  // at exit: nothing left sounding
    EXPECT_TRUE(midiRecording.count == 1 && midiRecording.messages[0] == kMidiResetMark);
}

// The pan (CC10) follows the ship across the field's 800 units for its shots and thrust and the
// burst's x for a burst, truncated (left of the field: the left edge); right of the field the
// channel's pan is left alone. The channel volume (CC7) is the effect's share of the setting.
TEST_F(RecordedSound, PanAndVolumeControllers) {
    const double cases[][5] = {{PlayerShot, 0, 127, 0, 63},       {PlayerShot, 806.2, 127, 127, 63},
                               {Thrust, 806.4, 40, -1, 20},       {BigBurst, -50, 127, 0, 127},
                               {SmallBurst, 799.9, 127, 126, 42}, {EnemyShot, 0, 40, 64, 17}};
    for (const auto& [effect, x, volume, pan, channelVolume] : cases) {
        sound.soundVolume = static_cast<std::int8_t>(volume), midiRecording.count = 0;
        requestSound(static_cast<SoundEffect>(effect), x), updateSounds(0, x);
        std::map<int, double> controllers = {{10, -1}};  // the first value of each; a pan may be left out
        for (int i = midiRecording.count - 1; i >= 0; --i) {
            const std::uint32_t m = midiRecording.messages[i];
            controllers[(m & 0xF0) == 0xB0 ? int(m >> 8 & 0x7F) : -1] = m >> 16 & 0x7F;
        }
        EXPECT_EQ(std::pair(controllers[10], controllers[7]), std::pair(pan, channelVolume))
            << "pan and volume of " << effect << " at " << x << ", volume " << volume;
    }
}

// Half a minute of random requests in frames of random length, all of it kept and checked.
TEST_F(RecordedSound, RandomRequestsNeverLeaveANoteOn) {
    for (double now = 0; now < 30000; now += 1 + random(20)) {
        const int roll = now < 29000 ? random(40) : 40;  // the last second only ends what sounds
        if (roll < 9 && roll != Ambient) {
            requestSound(static_cast<SoundEffect>(roll), random(1600) - 400);
        }
        updateSounds(now, random(800));
    }
    ASSERT_LT(midiRecording.count, kMidiRecordCapacity);
    EXPECT_TRUE(noNoteLeftOn());
}

TEST(SoundVolumeKeys, StepsAndClampsFromEveryStart) {
    const int steps[][3] = {{-1, 0, 9}, {10, 0, 20}, {11, 1, 21}, {117, 107, 127}, {127, 117, 127}};
    for (const auto& [start, down, up] : steps) {
        EXPECT_EQ(volumeStepDown(static_cast<std::int8_t>(start)), down) << start;
        EXPECT_EQ(volumeStepUp(static_cast<std::int8_t>(start)), up) << start;
    }
}

// No device, or a busy one: the volume stays -1 and effects go nowhere, even after F8.
TEST_F(RecordedSound, NoDeviceOrABusyOneLeavesTheGameSilent) {
    closeMidiOutput();  // the fixture's device: left open, it would stay open for the tests after
    for (int busy = 0; busy < 2; ++busy) {
        useMidiRecording(busy), midiRecording.openFails = busy, openMidiOutput();
        EXPECT_EQ(sound.soundVolume, -1);
        sound.soundVolume = volumeStepUp(sound.soundVolume);  // F8
        for (SoundEffect e : kEffects) {
            requestSound(e, 100.0);
        }
        for (double t = 0; t < 1000; t += 20) {
            updateSounds(t, 100.0);
        }
        resetMidiOutput(), closeMidiOutput();
        EXPECT_EQ(midiRecording.count, 0);
    }
}
