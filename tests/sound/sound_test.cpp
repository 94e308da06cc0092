// The effects' MIDI stream through the recording device: the stream of a scripted run against a
// stored digest (see support/test_support.h), notes always stopped, the volume keys, no device.
#include "game/game_state.h"
#include "platform/midi.h"
#include "platform/rand.h"
#include "sound/sound.h"
#include "support/test_support.h"
#include "platform/test_hooks.h"

#include <algorithm>
#include <iterator>
#include <gtest/gtest.h>

namespace {

const SoundEffect kEffects[] = {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife};

class RecordedSound : public ::testing::Test {
protected:
    void SetUp() override {
        useMidiRecording(1);
        openMidiOutput();
        sound.fieldWidth = 800;
        platformSrand(1234);
        std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 1e12);  // until a test starts them
    }
    void TearDown() override {
        closeMidiOutput();
        midiClose(sound.midiHandle);  // a test may have left the volume negative
        setMidiBackends(nullptr, 0);
    }
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
    ASSERT_EQ(midiRecording.opens, 1u);
    Digest d;
    d.every = 20;
    double now = 1000;
    for (int volume : {127, 40, 0}) {
        for (SoundEffect effect : kEffects) {
            for (double x : {-50.0, 200.9, 799.0}) {
                sound.soundVolume = static_cast<std::int8_t>(volume);
                midiRecording.count = 0;
                requestSound(effect, x);
                requestSound(effect, x);  // asked again before it starts: once
                for (double t = now; t < now + 1500; t += 7) {
                    updateSounds(t, x + 100);
                    if (t > now + 400 && volume == 0) {
                        sound.soundVolume = 90;  // what waited at volume 0 plays after F8
                    }
                }
                now += 1500;
                EXPECT_TRUE(noNoteLeftOn()) << int(effect) << " " << x;
                for (int i = 0; i < midiRecording.count; ++i) {
                    d.add("message", midiRecording.messages[i]), d.step();
                }
            }
        }
    }
    std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 0);  // they wander by random numbers
    for (double t = now; t < now + 20000; t += 10) {
        midiRecording.count = 0;
        updateSounds(t, 400);
        for (int i = 0; i < midiRecording.count; ++i) {
            d.add("message", midiRecording.messages[i]), d.add("time", t), d.step();
        }
    }
    expectDigest("sound_stream", d);
    midiRecording.count = 0;
    resetMidiOutput();
    closeMidiOutput();
    EXPECT_EQ(midiRecording.count, 2);
    EXPECT_EQ(midiRecording.messages[1], kMidiResetMark);
    EXPECT_EQ(midiRecording.closes, 1u);
}

TEST_F(RecordedSound, RandomRequestsNeverLeaveANoteOn) {
    double now = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        now += 1 + random(20);
        if (frame % 500 == 0) {
            midiRecording.count = 0;
        }
        const int roll = random(40);
        if (roll < 9 && roll != Ambient) {
            requestSound(static_cast<SoundEffect>(roll), random(1600) - 400);
        }
        updateSounds(now, random(800));
    }
    for (int i = 0; i < 100; ++i) {
        updateSounds(now += 10, 0);
    }
    EXPECT_TRUE(noNoteLeftOn());
}

TEST(SoundVolumeKeys, StepsAndClampsFromEveryStart) {
    const int down[][2] = {{-1, 0}, {5, 0}, {10, 0}, {11, 1}, {127, 117}};
    const int up[][2] = {{-1, 9}, {0, 10}, {117, 127}, {118, 127}, {127, 127}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(volumeStepDown(static_cast<std::int8_t>(down[i][0])), down[i][1]);
        EXPECT_EQ(volumeStepUp(static_cast<std::int8_t>(up[i][0])), up[i][1]);
    }
}

// No device, or a busy one: the volume stays -1 and effects go nowhere, even after F8.
TEST(NoDevice, LeavesTheGameSilent) {
    for (int busy = 0; busy < 2; ++busy) {
        useMidiRecording(busy);
        midiRecording.openFails = busy;
        openMidiOutput();
        EXPECT_EQ(sound.soundVolume, -1);
        sound.soundVolume = volumeStepUp(sound.soundVolume);
        for (SoundEffect e : kEffects) {
            requestSound(e, 100.0);
        }
        for (double t = 0; t < 1000; t += 20) {
            updateSounds(t, 100.0);
        }
        resetMidiOutput();
        closeMidiOutput();
        EXPECT_EQ(midiRecording.count, 0);
        EXPECT_EQ(midiRecording.closes, 0u);
        setMidiBackends(nullptr, 0);
    }
}
