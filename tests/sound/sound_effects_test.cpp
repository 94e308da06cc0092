// The exact MIDI stream of every effect, through the recording device.
#include "game/game_state.h"
#include "platform/rand.h"
#include "sound_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr double kWidth = 800.0;
constexpr double kFarFuture = 1.0e12;

class RecordedSound : public ::testing::Test {
protected:
    void SetUp() override {
        useMidiRecording(1);
        openMidiOutput();
        ASSERT_EQ(sound.soundVolume, 127);
        ASSERT_EQ(midiRecording.opens, 1u);
        sound.fieldWidth = static_cast<std::uint32_t>(kWidth);
        holdAmbient();
        takeRecorded();
        platformSrand(1234);
    }
    void TearDown() override {
        closeMidiOutput();
        midiClose(sound.midiHandle);  // a test may have left the volume negative
        setMidiBackends(nullptr, 0);
    }
    static void holdAmbient() {
        for (double& t : sound.ambientNext) {
            t = kFarFuture;
        }
    }
};

struct TimedCase {
    const char* name;
    SoundEffect effect;
    double x;  // the burst's x; the ship is at mid-field
    double durationMs;
    Messages start;
    Messages stop;
};

TEST_F(RecordedSound, EachTimedEffectSendsItsNotesAndStopsThemOnTime) {
    const TimedCase cases[] = {
        {"EnemyShot", EnemyShot, 0, 100, started(1, 64, 23, 45, 56), {noteOff(1, 45)}},
        // (200 * 127) / 800 = 31 in integers
        {"BigBurst", BigBurst, 200.9, 450, started(9, 31, 56, 75, 127), {noteOff(9, 75)}},
        {"Thrust", Thrust, 0, 50, started(7, 63, 85, 30, 63) + started(7, 63, 85, 10, 63) + started(7, 63, 85, 3, 63),
         {noteOff(7, 30), noteOff(7, 10), noteOff(7, 3)}},
        {"SmallBurst", SmallBurst, 600, 50, started(10, 95, 113, 60, 42) + started(8, 95, 98, 50, 42),
         {noteOff(10, 60), noteOff(8, 50)}},
        {"BonusAppears", BonusAppears, 0, 100, started(11, 63, 96, 72, 72), {noteOff(11, 72)}},
        {"ExtraLife", ExtraLife, 0, 250, started(12, 63, 55, 60, 63) + started(13, 63, 91, 84, 63),
         {noteOff(12, 60), noteOff(13, 84)}},
    };
    double now = 1000;
    for (const TimedCase& c : cases) {
        SCOPED_TRACE(c.name);
        requestSound(c.effect, c.x);
        updateSounds(now, kWidth / 2);
        EXPECT_EQ(takeRecorded(), c.start);
        updateSounds(now + c.durationMs - 1, kWidth / 2);
        EXPECT_EQ(takeRecorded(), Messages{});
        updateSounds(now + c.durationMs, kWidth / 2);
        EXPECT_EQ(takeRecorded(), c.stop);
        updateSounds(now + c.durationMs + 1000, kWidth / 2);
        EXPECT_EQ(takeRecorded(), Messages{});
        now += 5000;
    }
}

TEST_F(RecordedSound, PlayerShotPicksOneOfThreeNotesAndStopsAllThree) {
    for (int shot = 0; shot < 6; ++shot) {
        platformSrand(100 + shot);
        const int note = 59 + random(3);
        platformSrand(100 + shot);
        const double now = 1000.0 * (shot + 1);
        requestSound(PlayerShot);
        updateSounds(now, 200.0);  // 127 * 200 / 800 = 31.75
        EXPECT_EQ(takeRecorded(), started(0, 31, 127, note, 63));
        updateSounds(now + 249, 200.0);
        EXPECT_EQ(takeRecorded(), Messages{});
        updateSounds(now + 250, 200.0);
        EXPECT_EQ(takeRecorded(), (Messages{noteOff(0, 61), noteOff(0, 60), noteOff(0, 59)}));
    }
}

TEST_F(RecordedSound, BonusTakenRisesAFifthThenFallsSilent) {
    requestSound(BonusTaken);
    updateSounds(500, 0);
    EXPECT_EQ(takeRecorded(), started(11, 63, 90, 60, 63));
    updateSounds(599, 0);
    EXPECT_EQ(takeRecorded(), Messages{});
    updateSounds(600, 0);
    EXPECT_EQ(takeRecorded(), Messages{noteOff(11, 60)} + started(11, 63, 90, 67, 63));
    updateSounds(1099, 0);
    EXPECT_EQ(takeRecorded(), Messages{});
    updateSounds(1100, 0);
    EXPECT_EQ(takeRecorded(), Messages{noteOff(11, 67)});
    EXPECT_EQ(sound.bonusTakenFirst, -1);
    EXPECT_EQ(sound.bonusTakenSecond, -1);
    updateSounds(5000, 0);
    EXPECT_EQ(takeRecorded(), Messages{});
}

TEST_F(RecordedSound, BonusTakenRequestedAgainRestartsCleanly) {
    // Again while the second note sounds: 67 ends, and the whole fifth plays once more.
    requestSound(BonusTaken);
    updateSounds(0, 0);
    updateSounds(100, 0);
    takeRecorded();
    requestSound(BonusTaken);
    updateSounds(300, 0);
    EXPECT_EQ(takeRecorded(), Messages{noteOff(11, 67)} + started(11, 63, 90, 60, 63));
    updateSounds(400, 0);
    EXPECT_EQ(takeRecorded(), Messages{noteOff(11, 60)} + started(11, 63, 90, 67, 63));
    updateSounds(900, 0);
    EXPECT_EQ(takeRecorded(), Messages{noteOff(11, 67)});

    // Again while the first note sounds: it is struck anew and still ends once.
    Messages stream;
    requestSound(BonusTaken);
    updateSounds(2000, 0);
    requestSound(BonusTaken);
    updateSounds(2050, 0);
    for (double t = 2060; t < 4000; t += 10) {
        updateSounds(t, 0);
    }
    stream = takeRecorded();
    EXPECT_TRUE(noNoteLeftOn(stream));
    EXPECT_EQ(sound.bonusTakenFirst, -1);
    EXPECT_EQ(sound.bonusTakenSecond, -1);
}

TEST_F(RecordedSound, ThrustHeldReStrikesEachStepAndStopsFiftyMsAfterTheLast) {
    const Messages strike = started(7, 0, 85, 30, 63) + started(7, 0, 85, 10, 63) + started(7, 0, 85, 3, 63);
    for (double t = 0; t <= 40; t += 10) {
        requestSound(Thrust);
        updateSounds(t, 0);
        EXPECT_EQ(takeRecorded(), strike);
    }
    updateSounds(89, 0);
    EXPECT_EQ(takeRecorded(), Messages{});
    updateSounds(90, 0);
    EXPECT_EQ(takeRecorded(), (Messages{noteOff(7, 30), noteOff(7, 10), noteOff(7, 3)}));
}

TEST_F(RecordedSound, VolumeValuesFollowTheSoundVolume) {
    struct Level {
        std::int8_t v;
        int half, enemyShot, third, bonusAppears;
    };
    const Level levels[] = {{127, 63, 56, 42, 72}, {10, 5, 4, 3, 5}};
    for (const Level& l : levels) {
        SCOPED_TRACE(static_cast<int>(l.v));
        sound.soundVolume = l.v;
        platformSrand(9);
        const int note = 59 + random(3);
        platformSrand(9);
        for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
            requestSound(e, 0.0);
        }
        updateSounds(100, 0);
        const Messages expected = started(0, 0, 127, note, l.half) + started(1, 64, 23, 45, l.enemyShot) +
                                  started(9, 0, 56, 75, l.v) + started(7, 0, 85, 30, l.half) +
                                  started(7, 0, 85, 10, l.half) + started(7, 0, 85, 3, l.half) +
                                  started(10, 0, 113, 60, l.third) + started(8, 0, 98, 50, l.third) +
                                  started(11, 63, 96, 72, l.bonusAppears) + started(11, 63, 90, 60, l.half) +
                                  started(12, 63, 55, 60, l.half) + started(13, 63, 91, 84, l.half);
        EXPECT_EQ(takeRecorded(), expected);
        updateSounds(10000, 0);
        updateSounds(20000, 0);
        takeRecorded();
    }

    // At 0 nothing is processed: no message, and every request keeps waiting.
    sound.soundVolume = 0;
    for (double& t : sound.ambientNext) {
        t = 0;
    }
    for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
        requestSound(e, 0.0);
    }
    updateSounds(30000, 0);
    EXPECT_EQ(recorded(), Messages{});
    EXPECT_EQ(sound.playerShotTimer, -2);
    EXPECT_EQ(sound.extraLifeTimer, -2);
    EXPECT_EQ(sound.bonusTakenFirst, -2);
}

TEST_F(RecordedSound, PansFollowThePositionAcrossTheField) {
    struct PanCase {
        double x;
        int pan;  // -1: no pan message
    };
    // Left of the field clamps to the left edge; right of it gives 128 or more, which is skipped.
    const PanCase bursts[] = {{0, 0}, {kWidth, 127}, {kWidth / 2, 63}, {1.5 * kWidth, -1}, {2 * kWidth, -1}, {-50, 0}};
    double now = 0;
    for (const PanCase& c : bursts) {
        SCOPED_TRACE(c.x);
        requestSound(BigBurst, c.x);
        requestSound(SmallBurst, c.x);
        updateSounds(now, 0);
        EXPECT_EQ(takeRecorded(), started(9, c.pan, 56, 75, 127) + started(10, c.pan, 113, 60, 42) +
                                      started(8, c.pan, 98, 50, 42));
        now += 1000;
        updateSounds(now, 0);
        takeRecorded();
    }
    const PanCase ships[] = {{0, 0}, {kWidth, 127}, {kWidth / 4, 31}, {1.5 * kWidth, -1}};
    for (const PanCase& c : ships) {
        SCOPED_TRACE(c.x);
        requestSound(EnemyShot);  // a fixed pan, whatever the ship does
        requestSound(Thrust);
        updateSounds(now, c.x);
        EXPECT_EQ(takeRecorded(), started(1, 64, 23, 45, 56) + started(7, c.pan, 85, 30, 63) +
                                      started(7, c.pan, 85, 10, 63) + started(7, c.pan, 85, 3, 63));
        now += 1000;
        updateSounds(now, c.x);
        takeRecorded();
    }
}

TEST_F(RecordedSound, AmbientVoicesStartOnScheduleAndWander) {
    const double firstStart[5] = {0, 2750, 5250, 7550, 10000};
    const int channel[5] = {2, 3, 4, 5, 6};
    const int note[5] = {30, 20, 15, 10, 5};
    const int volume[5] = {25, 25, 31, 31, 31};
    for (int k = 0; k < 5; ++k) {
        sound.ambientNext[k] = firstStart[k];
    }
    // The first game frame at 6000 ms starts the three voices whose time has passed, in order.
    platformSrand(77);
    Messages expected;
    double next[5];
    for (int k = 0; k < 3; ++k) {
        const int pan = random(128);
        next[k] = 6000 + random(500) + 3000;
        expected = expected + Messages{noteOff(channel[k], note[k])} + started(channel[k], pan, 122, note[k], volume[k]);
    }
    platformSrand(77);
    updateSounds(6000, 0);
    EXPECT_EQ(takeRecorded(), expected);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(sound.ambientNext[k], next[k]);
        EXPECT_GE(next[k], 9000);
        EXPECT_LT(next[k], 9500);
    }
    EXPECT_EQ(sound.ambientNext[3], 7550);
    updateSounds(7549, 0);
    EXPECT_EQ(takeRecorded(), Messages{});

    // Over a minute every voice is re-struck every 3 to 3.5 s, never more often.
    int strikes[5] = {};
    double last[5] = {-1, -1, -1, -1, -1};
    for (double t = 7550; t < 67550; t += 5) {
        updateSounds(t, 0);
        for (std::uint32_t m : takeRecorded()) {
            if ((m & 0xF0) == 0x90 && (m >> 16) != 0) {
                const int k = static_cast<int>(m & 0x0F) - 2;
                ASSERT_GE(k, 0);
                ASSERT_LT(k, 5);
                if (last[k] >= 0) {
                    EXPECT_GE(t - last[k], 3000);
                    EXPECT_LE(t - last[k], 3505);
                }
                last[k] = t;
                ++strikes[k];
            }
        }
    }
    for (int k = 0; k < 5; ++k) {
        EXPECT_GE(strikes[k], 17) << "voice " << k;
        EXPECT_LE(strikes[k], 21) << "voice " << k;
    }
}

TEST_F(RecordedSound, RequestsWaitingAtVolumeZeroAllPlayAfterF8) {
    sound.soundVolume = 0;
    requestSound(PlayerShot);
    requestSound(BigBurst, 400);
    requestSound(BonusTaken);
    requestSound(ExtraLife);
    updateSounds(100, 400);
    updateSounds(200, 400);
    EXPECT_EQ(takeRecorded(), Messages{});

    sound.soundVolume = volumeStepUp(sound.soundVolume);
    resetMidiOutput();
    EXPECT_EQ(sound.soundVolume, 10);
    platformSrand(5);
    const int note = 59 + random(3);
    platformSrand(5);
    updateSounds(300, 400);
    EXPECT_EQ(takeRecorded(), Messages{kMidiResetMark} + started(0, 63, 127, note, 5) + started(9, 63, 56, 75, 10) +
                                  started(11, 63, 90, 60, 5) + started(12, 63, 55, 60, 5) + started(13, 63, 91, 84, 5));
}

TEST_F(RecordedSound, RandomRequestsNeverLeaveANoteOn) {
    platformSrand(2024);
    Messages stream;
    double now = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        now += 1 + random(20);
        const int roll = random(40);
        if (roll < 9 && roll != Ambient) {
            requestSound(static_cast<SoundEffect>(roll), random(1600) - 400);
        }
        updateSounds(now, random(800));
        Messages m = takeRecorded();
        stream.insert(stream.end(), m.begin(), m.end());
    }
    for (int i = 0; i < 100; ++i) {
        now += 10;
        updateSounds(now, 0);
    }
    stream = stream + takeRecorded();
    EXPECT_TRUE(noNoteLeftOn(stream));
}

TEST(SoundVolumeKeys, StepsAndClampsFromEveryStart) {
    EXPECT_EQ(volumeStepDown(-1), 0);
    EXPECT_EQ(volumeStepUp(-1), 9);
    EXPECT_EQ(volumeStepDown(5), 0);
    EXPECT_EQ(volumeStepDown(9), 0);
    EXPECT_EQ(volumeStepDown(10), 0);
    EXPECT_EQ(volumeStepDown(11), 1);
    EXPECT_EQ(volumeStepDown(127), 117);
    EXPECT_EQ(volumeStepUp(0), 10);
    EXPECT_EQ(volumeStepUp(117), 127);
    EXPECT_EQ(volumeStepUp(118), 127);
    EXPECT_EQ(volumeStepUp(127), 127);
}

TEST_F(RecordedSound, StartNoteLimitsChannelAndNoteAndSkipsNegativeValues) {
    startNote(20, -1, 5, -7, -1);
    EXPECT_EQ(takeRecorded(), (Messages{programChange(15, 5), noteOn(15, 0)}));
    startNote(3, 0, 0, 127, 0);
    EXPECT_EQ(takeRecorded(), started(3, 0, 0, 127, 0));
    stopNote(4, 64);
    EXPECT_EQ(takeRecorded(), Messages{noteOff(4, 64)});
}

TEST_F(RecordedSound, ResetAndCloseReachTheDevice) {
    resetMidiOutput();
    EXPECT_EQ(takeRecorded(), Messages{kMidiResetMark});
    closeMidiOutput();
    EXPECT_EQ(takeRecorded(), Messages{kMidiResetMark});
    EXPECT_EQ(midiRecording.closes, 1u);
    // Closed: further messages go nowhere.
    startNote(0, 0, 0, 60, 100);
    resetMidiOutput();
    EXPECT_EQ(recorded(), Messages{});
}

}  // namespace
