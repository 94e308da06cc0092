#include "sound/sound.h"

// Placeholder until the MIDI output lands: the record and the requests work, nothing sounds.
SoundState sound{};

SoundState& openMidiOutput() {
    sound.deviceId = 0;
    sound.soundVolume = -1;
    sound.enemyShotTimer = sound.playerShotTimer = sound.bigBurstTimer = -1;
    sound.thrustTimer = sound.smallBurstTimer = sound.bonusAppearsTimer = -1;
    sound.bonusTakenFirst = sound.bonusTakenSecond = sound.extraLifeTimer = -1;
    return sound;
}

void closeMidiOutput() {}
void resetMidiOutput() {}
void startNote(std::int8_t, std::int8_t, std::int8_t, std::int8_t, std::int8_t) {}
void stopNote(std::int8_t, std::int8_t) {}

void requestSound(SoundEffect effect, double x) {
    switch (effect) {
    case PlayerShot: sound.playerShotTimer = -2; break;
    case EnemyShot: sound.enemyShotTimer = -2; break;
    case BigBurst: sound.bigBurstTimer = -2; sound.bigBurstX = static_cast<std::uint32_t>(static_cast<std::int64_t>(x)); break;
    case SmallBurst: sound.smallBurstTimer = -2; sound.smallBurstX = static_cast<std::uint32_t>(static_cast<std::int64_t>(x)); break;
    case Thrust: sound.thrustTimer = -2; break;
    case BonusAppears: sound.bonusAppearsTimer = -2; break;
    case BonusTaken: sound.bonusTakenFirst = -2; break;
    case ExtraLife: sound.extraLifeTimer = -2; break;
    case Ambient: break;
    }
}

void updateSounds(double, double) {}
