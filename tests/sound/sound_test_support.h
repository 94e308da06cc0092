#pragma once
// Short messages as the sound code must send them, and the recorded stream to compare with.
#include "platform/midi.h"
#include "sound/sound.h"

#include <cstdint>
#include <vector>

using Messages = std::vector<std::uint32_t>;

inline std::uint32_t controlChange(int channel, int controller, int value) {
    return static_cast<std::uint32_t>(0xB0 + channel) | (static_cast<std::uint32_t>(controller) << 8) |
           (static_cast<std::uint32_t>(value) << 16);
}
inline std::uint32_t programChange(int channel, int program) {
    return static_cast<std::uint32_t>(0xC0 + channel) | (static_cast<std::uint32_t>(program) << 8);
}
inline std::uint32_t noteOn(int channel, int note) {
    return static_cast<std::uint32_t>(0x90 + channel) | (static_cast<std::uint32_t>(note) << 8) | (100u << 16);
}
inline std::uint32_t noteOff(int channel, int note) {
    return static_cast<std::uint32_t>(0x90 + channel) | (static_cast<std::uint32_t>(note) << 8);
}

// The four messages of startNote: pan (skipped when negative), volume, program, note on.
inline Messages started(int channel, int pan, int program, int note, int volume) {
    Messages m;
    if (pan >= 0) {
        m.push_back(controlChange(channel, 10, pan));
    }
    m.push_back(controlChange(channel, 7, volume));
    m.push_back(programChange(channel, program));
    m.push_back(noteOn(channel, note));
    return m;
}

inline Messages operator+(Messages a, const Messages& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// What the recording backend holds, and emptying it.
inline Messages recorded() {
    return Messages(midiRecording.messages, midiRecording.messages + midiRecording.count);
}
inline Messages takeRecorded() {
    Messages m = recorded();
    midiRecording.count = 0;
    return m;
}

// Every note struck in the stream has been switched off again.
inline bool noNoteLeftOn(const Messages& stream) {
    bool on[16][128] = {};
    for (std::uint32_t m : stream) {
        if (m == kMidiResetMark) {
            for (auto& channel : on) {
                for (bool& note : channel) {
                    note = false;
                }
            }
        } else if ((m & 0xF0) == 0x90) {
            on[m & 0x0F][(m >> 8) & 0x7F] = ((m >> 16) & 0x7F) != 0;
        }
    }
    for (const auto& channel : on) {
        for (bool note : channel) {
            if (note) {
                return false;
            }
        }
    }
    return true;
}
