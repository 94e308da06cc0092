#pragma once
// Sound effects as General MIDI notes: the game marks an effect with requestSound,
// and updateSounds, once per game frame, starts and stops the notes.
#include "platform/midi.h"

#include <cstdint>

enum SoundEffect : std::uint8_t {
    PlayerShot,
    EnemyShot,
    BigBurst,
    Ambient,
    Thrust,
    SmallBurst,
    BonusAppears,
    BonusTaken,
    ExtraLife,
};

// The low Seashore voices that sound under the game, each re-struck on its own time.
constexpr int kAmbientVoiceCount = 5;

struct SoundState {
    std::uint32_t deviceId;
    std::uint32_t openResult;
    MidiHandle midiHandle;
    std::uint8_t message[4];  // status, data 1, data 2, 0: sent with the status byte lowest
    std::int8_t soundVolume;  // 0..127; -1 while no device is open; 0: effects wait
    std::uint32_t fieldWidth;
    std::uint32_t bigBurstX;
    std::uint32_t smallBurstX;
    double enemyShotTimer;  // -1 idle, -2 requested, else the time its notes stop
    double playerShotTimer;
    double bigBurstTimer;
    double ambientNext[kAmbientVoiceCount];
    double thrustTimer;
    double smallBurstTimer;
    double bonusAppearsTimer;
    double bonusTakenFirst;  // -3: the first note is over and the second sounds
    double bonusTakenSecond;
    double extraLifeTimer;
};

extern SoundState sound;

// Fills the record and opens MIDI device 0; soundVolume becomes -1 when none opens.
SoundState& openMidiOutput();
// At exit: resets and closes the device while soundVolume is 0 or more.
void closeMidiOutput();
// Silences every sounding note and keeps programs, volumes and pans.
void resetMidiOutput();

void startNote(std::int8_t channel, std::int8_t pan, std::int8_t program, std::int8_t note,
               std::int8_t volume);
void stopNote(std::int8_t channel, std::int8_t note);

// Marks the effect to start at the next updateSounds; bursts keep their x, truncated
// (a burst left of the field counts as x = 0).
void requestSound(SoundEffect effect, double x = 0.0);
void updateSounds(double now, double shipX);

// F7 and F8: the volume ten steps down or up within 0..127 (-1, no device, is a value like any).
std::int8_t volumeStepDown(std::int8_t volume);
std::int8_t volumeStepUp(std::int8_t volume);
