// The MIDI backends behind the sound code: the built-in synthesiser rendered offline (playing from
// the SoundFont cut down to the game's instruments), and the ALSA sequencer's events as it would
// send them.
#include "platform/linux/midi_sequencer.h"
#include "platform/linux/midi_synth.h"
#include "platform/test_hooks.h"
#include "sound/sound.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Left and right RMS of the next ms of output, the game's messages delivered first.
std::pair<double, double> render(double ms) {
    midiSynthSettle(1000);
    std::vector<float> buffer(2 * static_cast<std::size_t>(ms * 44.1));
    midiSynthRender(buffer.data(), static_cast<int>(buffer.size() / 2));
    double sum[2] = {};
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        sum[i % 2] += double(buffer[i]) * buffer[i];
    }
    return {std::sqrt(sum[0] * 2 / buffer.size()), std::sqrt(sum[1] * 2 / buffer.size())};
}

// A note on channel 2 (program 23, one the game plays) at the pan and volume; its level.
std::pair<double, double> note(int pan, int volume) {
    for (std::uint32_t m : {0xB2u | 10u << 8 | unsigned(pan) << 16, 0xB2u | 7u << 8 | unsigned(volume) << 16,
                            0xC2u | 23u << 8, 0x92u | 60u << 8 | 100u << 16}) {
        midiShortMessage(sound.midiHandle, m);
    }
    const auto level = render(300);
    midiShortMessage(sound.midiHandle, 0x92u | 60u << 8);
    render(1000);
    return level;
}

// What the sequencer would send: type, channel, note or controller, velocity or value; each event
// must go at once (no queue) to the subscribers.
std::vector<std::vector<int>> sent;

void recordEvent(const snd_seq_event* e) {
    const auto& n = e->data.note;
    const auto& c = e->data.control;
    const bool note = e->type == SND_SEQ_EVENT_NOTEON || e->type == SND_SEQ_EVENT_NOTEOFF;
    EXPECT_TRUE(e->queue == SND_SEQ_QUEUE_DIRECT && e->dest.client == SND_SEQ_ADDRESS_SUBSCRIBERS) << e->type;
    sent.push_back({e->type, note ? n.channel : c.channel, note ? n.note : int(c.param),
                    note ? n.velocity : c.value});
}

}  // namespace

// Offline, the synthesiser alone as the game opens it (asking for the game's instruments only).
TEST(Synth, PanAndVolumeReachItEveryEffectIsAudibleAndAResetSilencesAtOnce) {
    const MidiBackend* const synthOnly[] = {&midiSynthBackend};
    setMidiBackends(synthOnly, 1);
    setMidiSynthOffline(true);
    openMidiOutput();
    ASSERT_EQ(sound.soundVolume, 127) << "the General MIDI SoundFont is missing";
    ASSERT_TRUE(midiSynthSettle(20000));
    sound.fieldWidth = 800;
    std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 1e12);
    const auto left = note(0, 127);
    const auto right = note(127, 127);
    const auto quiet = note(127, 40);
    EXPECT_GT(left.first, 0.01);
    EXPECT_LT(left.second, left.first * 0.6);  // the stereo samples keep some of each side
    EXPECT_LT(right.first, right.second * 0.6);
    EXPECT_LT(quiet.second, right.second * 0.3);
    EXPECT_GT(quiet.second, right.second * 0.01);
    EXPECT_LT(note(64, 0).second, 1e-5);
    // Each effect sets its channel's pan, volume and program again.
    for (SoundEffect e :
         {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
        requestSound(e, 400);
        updateSounds(0, 400);
        const auto level = render(60);
        EXPECT_GT(level.first + level.second, 0.002) << int(e);
        resetMidiOutput();
        render(5);
        EXPECT_LT(render(100).first, 1e-6) << int(e);
        updateSounds(1e6, 400);
    }
    midiShortMessage(sound.midiHandle, 0x9Cu | 60u << 8 | 100u << 16);  // programs and volumes stay
    EXPECT_GT(render(100).first, 0.002);
    closeMidiOutput();
    EXPECT_FALSE(midiSynthReady()) << "still open: a second opening would make a second synthesiser";
    setMidiSynthOffline(false);
    setMidiBackends(nullptr, 0);
}

// Behind another family's devices the sequencer is the next device number; each message the game
// sends (note on, note off as a note on at velocity 0, controller, program) goes as its event, a
// reset as all sound off and all notes off on every channel, nothing once closed.
TEST(SequencerBackend, SendsEachMessageAsItsEventToTheSubscribersAtOnce) {
    setSequencerSink(recordEvent);
    useMidiRecording(2);
    const MidiBackend* const both[] = {&midiRecordingBackend, &midiSequencerBackend};
    setMidiBackends(both, 2);
    MidiHandle h = 0;
    ASSERT_EQ(midiOpen(2, &h), kMidiOk);
    for (std::uint32_t m : {0x93u | 60u << 8 | 100u << 16, 0x93u | 60u << 8, 0xB5u | 7u << 8 | 90u << 16,
                            0xC6u | 23u << 8}) {
        midiShortMessage(h, m);
    }
    midiReset(h);
    midiClose(h);
    midiShortMessage(h, 0x90u | 1u << 8);
    setSequencerSink(nullptr);
    setMidiBackends(nullptr, 0);
    std::vector<std::vector<int>> expected = {
        {SND_SEQ_EVENT_NOTEON, 3, 60, 100}, {SND_SEQ_EVENT_NOTEON, 3, 60, 0},
        {SND_SEQ_EVENT_CONTROLLER, 5, 7, 90}, {SND_SEQ_EVENT_PGMCHANGE, 6, 0, 23}};
    for (int channel = 0; channel < 16; ++channel) {
        for (int controller : {120, 123}) {  // all sound off, all notes off
            expected.push_back({SND_SEQ_EVENT_CONTROLLER, channel, controller, 0});
        }
    }
    EXPECT_EQ(sent, expected);
}
