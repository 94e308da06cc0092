#pragma once
// A SoundFont 2 file cut down to a few presets, presented as a file of its own.
//
// A General MIDI font describes some 190 instruments; the synthesiser builds all their zones in
// memory (over 10 MB for FluidR3) though the game plays a dozen. The reduced file keeps the
// original's INFO and sample chunks byte for byte (read from the original on demand) and has a
// new preset-data chunk with only the wanted presets and the instruments they use. Sample headers
// are kept whole, so sample positions stay valid.
#include <cstdint>
#include <cstdio>
#include <vector>

struct SoundFontPreset {
    std::uint16_t bank;
    std::uint16_t program;
};

struct SoundFontSubset {
    std::uint8_t head[12];           // "RIFF", the new size, "sfbk"
    std::int64_t bodyEnd;            // bytes 12..bodyEnd come from the original file
    std::vector<std::uint8_t> pdta;  // the new "LIST" "pdta" chunk, header included
    int presetCount;                 // presets kept
};

// False when the file is not a SoundFont 2 this code can cut (it should then be read as it is).
bool buildSoundFontSubset(std::FILE* file, const SoundFontPreset* keep, int keepCount, SoundFontSubset& out);

// The reduced file's size and contents: count bytes at offset, false when they are not all there.
std::int64_t soundFontSubsetSize(const SoundFontSubset& subset);
bool readSoundFontSubset(std::FILE* original, const SoundFontSubset& subset, std::int64_t offset, void* buffer,
                         std::int64_t count);

// True for a regular file this process may read.
bool isReadableFile(const char* path);
// The installed General MIDI SoundFont, best first, and the GS font with its drum kits where one
// is installed (else an empty path); false when there is no General MIDI font at all.
bool findSystemSoundFonts(char* gmPath, char* gsPath, int size);
