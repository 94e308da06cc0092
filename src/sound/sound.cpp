#include "sound/sound.h"

#include "platform/port.h"
#include "platform/rand.h"

#include <cmath>

SoundState sound{};

namespace {

constexpr double kIdle = -1.0;
constexpr double kRequested = -2.0;
constexpr double kSecondNoteSounding = -3.0;
constexpr std::int8_t kNoPan = -1;  // a negative pan or volume skips its control change

constexpr double kAmbientFirstStart[kAmbientVoiceCount] = {0.0, 2750.0, 5250.0, 7550.0, 10000.0};

// Every program the effects use (bank 128 is the drum channel's: 56 the GS "SFX" kit, 0 the
// standard kit a GM synthesiser falls back to). The synthesiser keeps only these in memory.
constexpr MidiInstrument kInstruments[] = {
    {0, 127}, {0, 23}, {128, 56}, {128, 0}, {0, 122}, {0, 85}, {0, 113},
    {0, 98},  {0, 96}, {0, 90},   {0, 55},  {0, 91},
};

void sendMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    sound.message[0] = status;
    sound.message[1] = data1;
    sound.message[2] = data2;
    sound.message[3] = 0;
    const std::uint32_t packed = static_cast<std::uint32_t>(sound.message[0]) |
                                 (static_cast<std::uint32_t>(sound.message[1]) << 8) |
                                 (static_cast<std::uint32_t>(sound.message[2]) << 16);
    midiShortMessage(sound.midiHandle, packed);
}

// The low byte of a truncated value, as the signed byte the pan is kept in: a position right of
// the field gives 128 or more, which reads as negative and leaves the channel's pan alone.
std::int8_t lowByte(std::int64_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

std::int8_t shipPan(double shipX) {
    const double pan = 127.0 * shipX / sound.fieldWidth;
    if (!std::isfinite(pan) || pan <= -9.0e18 || pan >= 9.0e18) {
        return kNoPan;
    }
    return lowByte(static_cast<std::int64_t>(pan));
}

std::int8_t burstPan(std::uint32_t x) {
    if (sound.fieldWidth == 0) {
        return kNoPan;
    }
    return lowByte((x * 127u) / sound.fieldWidth);
}

std::uint32_t burstX(double x) {
    if (!(x > 0.0)) {
        return 0;  // left of the field (or nonsense): the left edge
    }
    if (x >= 4294967295.0) {
        return 4294967295u;
    }
    return static_cast<std::uint32_t>(x);
}

std::int8_t volumeHalf(std::int8_t v) { return static_cast<std::int8_t>(v / 2); }
std::int8_t volumeThird(std::int8_t v) { return static_cast<std::int8_t>(v / 3); }
std::int8_t volumeQuarter(std::int8_t v) { return static_cast<std::int8_t>(v / 4); }
std::int8_t volumeFifth(std::int8_t v) { return static_cast<std::int8_t>(v / 5); }
std::int8_t volumeFull(std::int8_t v) { return v; }
std::int8_t volumeEnemyShot(std::int8_t v) { return static_cast<std::int8_t>(v * 0.4444444444444444); }
std::int8_t volumeBonusAppears(std::int8_t v) { return static_cast<std::int8_t>(v * 0.5714285714285714); }

enum class PanRule : std::uint8_t { Ship, BigBurst, SmallBurst, Fixed };

struct NoteSpec {
    std::int8_t channel;
    std::int8_t program;
    std::int8_t note;
    std::uint8_t spread;  // the note is note + random(spread) when spread > 1
};

struct NoteOff {
    std::int8_t channel;
    std::int8_t note;
};

// An effect that strikes its notes on request and switches them off after a fixed time.
struct TimedEffect {
    double SoundState::*timer;
    double durationMs;
    std::int8_t (*volume)(std::int8_t);
    PanRule panRule;
    std::int8_t fixedPan;
    std::uint8_t startCount;
    NoteSpec starts[3];
    std::uint8_t stopCount;
    NoteOff stops[3];
};

const TimedEffect kPlayerShot = {&SoundState::playerShotTimer, 250.0, volumeHalf, PanRule::Ship, 0,
                                 1, {{0, 127, 59, 3}}, 3, {{0, 61}, {0, 60}, {0, 59}}};
const TimedEffect kEnemyShot = {&SoundState::enemyShotTimer, 100.0, volumeEnemyShot, PanRule::Fixed, 64,
                                1, {{1, 23, 45, 0}}, 1, {{1, 45}}};
const TimedEffect kBigBurst = {&SoundState::bigBurstTimer, 450.0, volumeFull, PanRule::BigBurst, 0,
                               1, {{9, 56, 75, 0}}, 1, {{9, 75}}};
const TimedEffect kThrust = {&SoundState::thrustTimer, 50.0, volumeHalf, PanRule::Ship, 0,
                             3, {{7, 85, 30, 0}, {7, 85, 10, 0}, {7, 85, 3, 0}}, 3, {{7, 30}, {7, 10}, {7, 3}}};
const TimedEffect kSmallBurst = {&SoundState::smallBurstTimer, 50.0, volumeThird, PanRule::SmallBurst, 0,
                                 2, {{10, 113, 60, 0}, {8, 98, 50, 0}}, 2, {{10, 60}, {8, 50}}};
const TimedEffect kBonusAppears = {&SoundState::bonusAppearsTimer, 100.0, volumeBonusAppears, PanRule::Fixed, 63,
                                   1, {{11, 96, 72, 0}}, 1, {{11, 72}}};
const TimedEffect kExtraLife = {&SoundState::extraLifeTimer, 250.0, volumeHalf, PanRule::Fixed, 63,
                                2, {{12, 55, 60, 0}, {13, 91, 84, 0}}, 2, {{12, 60}, {13, 84}}};

std::int8_t effectPan(const TimedEffect& effect, double shipX) {
    switch (effect.panRule) {
    case PanRule::Ship: return shipPan(shipX);
    case PanRule::BigBurst: return burstPan(sound.bigBurstX);
    case PanRule::SmallBurst: return burstPan(sound.smallBurstX);
    case PanRule::Fixed: break;
    }
    return effect.fixedPan;
}

void updateTimedEffect(const TimedEffect& effect, double now, double shipX) {
    double& timer = sound.*effect.timer;
    if (sound.soundVolume == 0 || timer == kIdle) {
        return;
    }
    if (timer == kRequested) {
        const std::int8_t pan = effectPan(effect, shipX);
        const std::int8_t volume = effect.volume(sound.soundVolume);
        for (int i = 0; i < effect.startCount; ++i) {
            const NoteSpec& n = effect.starts[i];
            const int note = n.spread > 1 ? n.note + random(n.spread) : n.note;
            startNote(n.channel, pan, n.program, static_cast<std::int8_t>(note), volume);
        }
        timer = now + effect.durationMs;
    } else if (now >= timer) {
        for (int i = 0; i < effect.stopCount; ++i) {
            stopNote(effect.stops[i].channel, effect.stops[i].note);
        }
        timer = kIdle;
    }
}

// A rising fifth: note 60 for 100 ms, then 67 for 500 ms.
void updateBonusTaken(double now) {
    constexpr std::int8_t kChannel = 11;
    constexpr std::int8_t kProgram = 90;
    constexpr std::int8_t kPan = 63;
    if (sound.soundVolume == 0 || (sound.bonusTakenFirst == kIdle && sound.bonusTakenSecond == kIdle)) {
        return;
    }
    const std::int8_t volume = volumeHalf(sound.soundVolume);
    if (sound.bonusTakenFirst == kRequested) {
        // Requested again while the second note sounds: end it, so the sequence starts cleanly
        // and no note is left on.
        if (sound.bonusTakenSecond != kIdle) {
            stopNote(kChannel, 67);
            sound.bonusTakenSecond = kIdle;
        }
        startNote(kChannel, kPan, kProgram, 60, volume);
        sound.bonusTakenFirst = now + 100.0;
    } else if (now >= sound.bonusTakenFirst && sound.bonusTakenSecond == kIdle) {
        stopNote(kChannel, 60);
        sound.bonusTakenFirst = kSecondNoteSounding;
        startNote(kChannel, kPan, kProgram, 67, volume);
        sound.bonusTakenSecond = now + 500.0;
    }
    if (now >= sound.bonusTakenSecond && sound.bonusTakenFirst == kSecondNoteSounding) {
        stopNote(kChannel, 67);
        sound.bonusTakenFirst = kIdle;
        sound.bonusTakenSecond = kIdle;
    }
}

// The ambient voices, each re-struck every 3 to 3.5 s at a random place in the stereo field.
void updateAmbient(double now) {
    struct Voice {
        std::int8_t channel;
        std::int8_t note;
        std::int8_t (*volume)(std::int8_t);
    };
    static const Voice kVoices[kAmbientVoiceCount] = {
        {2, 30, volumeFifth}, {3, 20, volumeFifth}, {4, 15, volumeQuarter}, {5, 10, volumeQuarter}, {6, 5, volumeQuarter},
    };
    if (sound.soundVolume == 0) {
        return;
    }
    for (int k = 0; k < kAmbientVoiceCount; ++k) {
        if (sound.ambientNext[k] > now) {
            continue;
        }
        const Voice& voice = kVoices[k];
        stopNote(voice.channel, voice.note);
        const std::int8_t pan = static_cast<std::int8_t>(random(128));
        startNote(voice.channel, pan, 122, voice.note, voice.volume(sound.soundVolume));
        sound.ambientNext[k] = now + random(500) + 3000;
    }
}

}  // namespace

SoundState& openMidiOutput() {
    sound.deviceId = 0;
    sound.openResult = 0;
    sound.midiHandle = 0;
    sound.soundVolume = 127;
    sound.enemyShotTimer = sound.playerShotTimer = sound.bigBurstTimer = kIdle;
    sound.thrustTimer = sound.smallBurstTimer = sound.bonusAppearsTimer = kIdle;
    sound.bonusTakenFirst = sound.bonusTakenSecond = sound.extraLifeTimer = kIdle;
    for (int k = 0; k < kAmbientVoiceCount; ++k) {
        sound.ambientNext[k] = kAmbientFirstStart[k];
    }
    setMidiSynthInstruments(kInstruments, static_cast<int>(sizeof kInstruments / sizeof kInstruments[0]));
    if (midiDeviceCount() == 0) {
        sound.soundVolume = -1;
        return sound;
    }
    sound.openResult = midiOpen(sound.deviceId, &sound.midiHandle);
    if (sound.openResult != 0) {
        sound.soundVolume = -1;
    }
    return sound;
}

void closeMidiOutput() {
    if (sound.soundVolume >= 0) {
        midiReset(sound.midiHandle);
        midiClose(sound.midiHandle);
        sound.midiHandle = 0;
    }
}

void resetMidiOutput() {
    midiReset(sound.midiHandle);
}

void startNote(std::int8_t channel, std::int8_t pan, std::int8_t program, std::int8_t note, std::int8_t volume) {
    if (sound.soundVolume < 0) {
        return;
    }
    if (channel > 15) {
        channel = 15;
    }
    if (channel < 0) {
        channel = 0;
    }
    if (note < 0) {
        note = 0;
    }
    const std::uint8_t ch = static_cast<std::uint8_t>(channel);
    if (pan >= 0) {
        sendMessage(0xB0 + ch, 10, static_cast<std::uint8_t>(pan));
    }
    if (volume >= 0) {
        sendMessage(0xB0 + ch, 7, static_cast<std::uint8_t>(volume));
    }
    sendMessage(0xC0 + ch, static_cast<std::uint8_t>(program), 0);
    sendMessage(0x90 + ch, static_cast<std::uint8_t>(note), 100);
}

void stopNote(std::int8_t channel, std::int8_t note) {
    if (sound.soundVolume < 0) {
        return;
    }
    sendMessage(static_cast<std::uint8_t>(0x90 + static_cast<std::uint8_t>(channel)), static_cast<std::uint8_t>(note), 0);
}

void requestSound(SoundEffect effect, double x) {
    switch (effect) {
    case PlayerShot: sound.playerShotTimer = kRequested; break;
    case EnemyShot: sound.enemyShotTimer = kRequested; break;
    case BigBurst:
        sound.bigBurstTimer = kRequested;
        sound.bigBurstX = burstX(x);
        break;
    case SmallBurst:
        sound.smallBurstTimer = kRequested;
        sound.smallBurstX = burstX(x);
        break;
    case Thrust: sound.thrustTimer = kRequested; break;
    case BonusAppears: sound.bonusAppearsTimer = kRequested; break;
    case BonusTaken: sound.bonusTakenFirst = kRequested; break;
    case ExtraLife: sound.extraLifeTimer = kRequested; break;
    case Ambient: break;
    }
}

void updateSounds(double now, double shipX) {
    updateTimedEffect(kPlayerShot, now, shipX);
    updateTimedEffect(kEnemyShot, now, shipX);
    updateTimedEffect(kBigBurst, now, shipX);
    updateAmbient(now);
    updateTimedEffect(kThrust, now, shipX);
    updateTimedEffect(kSmallBurst, now, shipX);
    updateTimedEffect(kBonusAppears, now, shipX);
    updateBonusTaken(now);
    updateTimedEffect(kExtraLife, now, shipX);
}

std::int8_t volumeStepDown(std::int8_t volume) {
    return volume < 10 ? 0 : static_cast<std::int8_t>(volume - 10);
}

std::int8_t volumeStepUp(std::int8_t volume) {
    return volume > 117 ? 127 : static_cast<std::int8_t>(volume + 10);
}
