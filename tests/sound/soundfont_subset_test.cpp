// The General MIDI font cut down to the game's instruments: the right presets, the original
// samples byte for byte, and no crash on damaged files.
#include "platform/midi_soundfont.h"
#include "sound_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

const char* const kGmFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
const char* const kGsFont = "/usr/share/sounds/sf2/FluidR3_GS.sf2";

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t le32(const std::uint8_t* p) {
    return le16(p) | (static_cast<std::uint32_t>(le16(p + 2)) << 16);
}

// (bank, program) of every preset header in a built pdta chunk, the terminal one left out.
std::vector<std::pair<int, int>> presetsOf(const SoundFontSubset& s) {
    std::vector<std::pair<int, int>> presets;
    const std::uint8_t* p = s.pdta.data() + 12;
    EXPECT_EQ(std::memcmp(p, "phdr", 4), 0);
    const std::uint32_t size = le32(p + 4);
    for (std::uint32_t at = 0; at + 38 < size; at += 38) {
        presets.emplace_back(le16(p + 8 + at + 22), le16(p + 8 + at + 20));
    }
    EXPECT_EQ(std::memcmp(p + 8 + size - 38, "EOP", 3), 0);
    return presets;
}

std::vector<std::uint8_t> fileBytes(const char* path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        return bytes;
    }
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        bytes.clear();
    }
    std::fclose(f);
    return bytes;
}

TEST(SoundFontSubset, KeepsExactlyTheWantedPresetsAndTheOriginalSamples) {
    std::FILE* font = std::fopen(kGmFont, "rb");
    ASSERT_NE(font, nullptr);
    const SoundFontPreset keep[] = {{0, 127}, {0, 23}, {128, 56}, {128, 0}, {0, 122}, {7, 7}};
    SoundFontSubset subset;
    ASSERT_TRUE(buildSoundFontSubset(font, keep, 6, subset));
    EXPECT_EQ(subset.presetCount, 4);  // the GM font has no SFX kit and no bank 7
    std::vector<std::pair<int, int>> presets = presetsOf(subset);
    std::sort(presets.begin(), presets.end());
    EXPECT_EQ(presets, (std::vector<std::pair<int, int>>{{0, 23}, {0, 122}, {0, 127}, {128, 0}}));
    EXPECT_LT(subset.pdta.size(), 400000u);

    // Head: a RIFF whose size covers the reduced file; then the original bytes up to the presets.
    const std::int64_t size = soundFontSubsetSize(subset);
    std::uint8_t head[16];
    ASSERT_TRUE(readSoundFontSubset(font, subset, 0, head, 16));
    EXPECT_EQ(std::memcmp(head, "RIFF", 4), 0);
    EXPECT_EQ(le32(head + 4), static_cast<std::uint32_t>(size - 8));
    EXPECT_EQ(std::memcmp(head + 8, "sfbk", 4), 0);

    std::vector<std::uint8_t> ours(4096);
    std::vector<std::uint8_t> theirs(4096);
    for (std::int64_t at : {std::int64_t{12}, subset.bodyEnd / 2, subset.bodyEnd - 4096}) {
        ASSERT_TRUE(readSoundFontSubset(font, subset, at, ours.data(), 4096));
        ASSERT_EQ(fseeko(font, at, SEEK_SET), 0);
        ASSERT_EQ(std::fread(theirs.data(), 1, 4096, font), 4096u);
        EXPECT_EQ(ours, theirs) << "at " << at;
    }
    // Across the seam into the new preset data, and the very end.
    ASSERT_TRUE(readSoundFontSubset(font, subset, subset.bodyEnd - 8, ours.data(), 20));
    EXPECT_EQ(std::memcmp(ours.data() + 8, "LIST", 4), 0);
    EXPECT_TRUE(readSoundFontSubset(font, subset, size - 10, ours.data(), 10));
    EXPECT_FALSE(readSoundFontSubset(font, subset, size - 10, ours.data(), 11));
    EXPECT_FALSE(readSoundFontSubset(font, subset, -1, ours.data(), 1));
    std::fclose(font);
}

bool subsetOfBytes(std::vector<std::uint8_t>& bytes, std::size_t length, SoundFontSubset& subset) {
    const SoundFontPreset keep[] = {{128, 56}, {0, 0}};
    std::FILE* f = fmemopen(bytes.data(), length, "rb");
    if (f == nullptr) {
        return false;
    }
    const bool built = buildSoundFontSubset(f, keep, 2, subset);
    if (built) {
        // Whatever was built reads back whole.
        std::vector<std::uint8_t> all(static_cast<std::size_t>(soundFontSubsetSize(subset)));
        EXPECT_TRUE(readSoundFontSubset(f, subset, 0, all.data(), static_cast<std::int64_t>(all.size())));
        EXPECT_LE(subset.presetCount, 2);
    }
    std::fclose(f);
    return built;
}

TEST(SoundFontSubset, RefusesWhatIsNotASoundFontAndSurvivesDamage) {
    SoundFontSubset subset;
    std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't', '!', '!', '!', '!'};
    EXPECT_FALSE(subsetOfBytes(text, text.size(), subset));
    EXPECT_FALSE(subsetOfBytes(text, 0, subset));

    std::vector<std::uint8_t> gs = fileBytes(kGsFont);
    ASSERT_FALSE(gs.empty());
    ASSERT_TRUE(subsetOfBytes(gs, gs.size(), subset));
    EXPECT_EQ(subset.presetCount, 1);  // only the SFX kit
    const std::size_t pdtaAt = static_cast<std::size_t>(subset.bodyEnd);
    EXPECT_FALSE(subsetOfBytes(gs, pdtaAt + 100, subset));  // cut inside the preset data
    EXPECT_FALSE(subsetOfBytes(gs, pdtaAt / 2, subset));

    // Random damage to the chunk headers and the preset data: refused or cut, never a crash.
    std::mt19937 rng(11);
    int built = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::pair<std::size_t, std::uint8_t>> saved;
        const int hits = 1 + static_cast<int>(rng() % 8);
        for (int h = 0; h < hits; ++h) {
            std::size_t at = 0;
            switch (rng() % 4) {
            case 0: at = rng() % 64; break;                                            // RIFF and INFO headers
            case 1: at = pdtaAt + rng() % 64; break;                                    // preset-data headers
            default: at = pdtaAt + rng() % (gs.size() - pdtaAt); break;                 // records
            }
            saved.emplace_back(at, gs[at]);
            gs[at] = static_cast<std::uint8_t>(rng() % 4 == 0 ? 0xFF : rng());
        }
        built += subsetOfBytes(gs, gs.size(), subset) ? 1 : 0;
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            gs[it->first] = it->second;
        }
    }
    EXPECT_GT(built, 0);
}

TEST(SoundFontSubset, TheSynthesiserPlaysOnlyTheKeptInstruments) {
    const MidiBackend* const synthOnly[] = {&midiSynthBackend};
    setMidiBackends(synthOnly, 1);
    setMidiSynthOffline(true);
    openMidiOutput();  // asks for the game's instruments only
    ASSERT_EQ(sound.soundVolume, 127);
    ASSERT_TRUE(midiSynthSettle(20000));
    auto peakOf = [](int program) {
        midiShortMessage(sound.midiHandle, programChange(0, program));
        midiShortMessage(sound.midiHandle, noteOn(0, 60));
        midiSynthSettle(1000);
        std::vector<float> buffer(2 * 4410);
        midiSynthRender(buffer.data(), 4410);
        midiShortMessage(sound.midiHandle, noteOff(0, 60));
        midiReset(sound.midiHandle);
        midiSynthSettle(1000);
        std::vector<float> rest(2 * 4410);
        midiSynthRender(rest.data(), 4410);
        float peak = 0;
        for (float v : buffer) {
            peak = std::fmax(peak, std::fabs(v));
        }
        return peak;
    };
    EXPECT_GT(peakOf(127), 0.01f);  // Gunshot: one of the game's
    EXPECT_EQ(peakOf(0), 0.0f);     // the piano is left out
    EXPECT_GT(peakOf(55), 0.01f);   // Orchestra Hit
    closeMidiOutput();
    setMidiSynthOffline(false);
    setMidiBackends(nullptr, 0);
}

}  // namespace
