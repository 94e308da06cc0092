// The built-in synthesiser rendered offline: every effect is heard, and a reset silences at once.
#include "sound_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kWidth = 800.0;

struct Level {
    double rms;
    double peak;
};

Level render(int frames) {
    std::vector<float> buffer(static_cast<std::size_t>(frames) * 2);
    midiSynthRender(buffer.data(), frames);
    double sum = 0;
    double peak = 0;
    for (float s : buffer) {
        sum += static_cast<double>(s) * s;
        peak = std::fmax(peak, std::fabs(static_cast<double>(s)));
    }
    return Level{std::sqrt(sum / static_cast<double>(buffer.size())), peak};
}

int framesFor(double ms) {
    return static_cast<int>(std::ceil(ms * kRate / 1000.0));
}

class RenderedSound : public ::testing::Test {
protected:
    void SetUp() override {
        const MidiBackend* const synthOnly[] = {&midiSynthBackend};
        setMidiBackends(synthOnly, 1);
        setMidiSynthOffline(true);
        openMidiOutput();
        ASSERT_EQ(sound.soundVolume, 127) << "the General MIDI SoundFont is missing";
        ASSERT_TRUE(midiSynthSettle(20000));
        ASSERT_TRUE(midiSynthReady());
        sound.fieldWidth = static_cast<std::uint32_t>(kWidth);
        for (double& t : sound.ambientNext) {
            t = 1.0e12;
        }
    }
    void TearDown() override {
        closeMidiOutput();
        setMidiSynthOffline(false);
        setMidiBackends(nullptr, 0);
    }
    // Runs game frames every 10 ms from `from` for `ms`, rendering the audio in step.
    static Level play(double from, double ms) {
        double sum = 0;
        double peak = 0;
        int blocks = 0;
        for (double t = from; t < from + ms; t += 10) {
            updateSounds(t, kWidth / 2);
            midiSynthSettle(1000);
            const Level l = render(framesFor(10));
            sum += l.rms * l.rms;
            peak = std::fmax(peak, l.peak);
            ++blocks;
        }
        return Level{std::sqrt(sum / blocks), peak};
    }
};

TEST_F(RenderedSound, EveryEffectIsAudible) {
    struct Case {
        const char* name;
        SoundEffect effect;
        double ms;
    };
    const Case cases[] = {
        {"PlayerShot", PlayerShot, 300},   {"EnemyShot", EnemyShot, 200},   {"BigBurst", BigBurst, 500},
        {"Thrust", Thrust, 200},           {"SmallBurst", SmallBurst, 200}, {"BonusAppears", BonusAppears, 200},
        {"BonusTaken", BonusTaken, 700},   {"ExtraLife", ExtraLife, 300},
    };
    double now = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        requestSound(c.effect, kWidth / 2);
        const Level level = play(now, c.ms);
        EXPECT_GT(level.peak, 0.005);
        EXPECT_GT(level.rms, 0.001);
        now += c.ms + 1000;
        updateSounds(now, kWidth / 2);
        resetMidiOutput();
        midiSynthSettle(1000);
        render(framesFor(100));
    }

    SCOPED_TRACE("Ambient");
    for (double& t : sound.ambientNext) {
        t = 0;
    }
    const Level ambient = play(now, 1500);
    EXPECT_GT(ambient.peak, 0.005);
    EXPECT_GT(ambient.rms, 0.001);
}

TEST_F(RenderedSound, ResetSilencesWithinFiveMilliseconds) {
    for (double& t : sound.ambientNext) {
        t = 0;
    }
    requestSound(Thrust);
    requestSound(BigBurst, 100);
    requestSound(BonusTaken);
    requestSound(ExtraLife);
    const Level before = play(0, 60);
    ASSERT_GT(before.peak, 0.01);

    resetMidiOutput();
    ASSERT_TRUE(midiSynthSettle(1000));
    render(framesFor(5));
    const Level after = render(framesFor(200));
    EXPECT_LT(after.peak, 1e-6);

    // Programs, volumes and pans stay: a note struck after the reset sounds as before.
    midiShortMessage(sound.midiHandle, noteOn(12, 60));
    ASSERT_TRUE(midiSynthSettle(1000));
    EXPECT_GT(render(framesFor(100)).peak, 0.01);
}

}  // namespace
