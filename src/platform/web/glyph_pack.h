#pragma once
// The page's glyph bitmaps, one font a size, as the Linux port renders them (web/glyph_pack.cpp
// writes the file at build time; fonts.cpp reads it in the page, which has no FreeType). Each
// font: its height, its 256 glyphs' places and metrics, then its pixels one bit each (they are
// only ever 0 or 255), all numbers little-endian.
#include "platform/port.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glyph_pack {

constexpr std::uint8_t kMagic[4] = {'Z', 'G', 'L', '1'};
constexpr std::size_t kGlyphBytes = 5 * 2 + 4;

inline void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

inline std::uint32_t get(const std::uint8_t* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    }
    return value;
}

inline void appendFont(std::vector<std::uint8_t>& file, std::uint32_t heightPx, const FontBitmaps& font) {
    if (file.empty()) {
        file.assign(kMagic, kMagic + 4);
    }
    put(file, heightPx, 4);
    put(file, static_cast<std::uint32_t>(font.pixels.size()), 4);
    for (const FontGlyph& g : font.glyphs) {
        for (const std::int16_t v : {g.width, g.height, g.left, g.top, g.advance}) {
            put(file, static_cast<std::uint16_t>(v), 2);
        }
        put(file, g.offset, 4);
    }
    const std::size_t start = file.size();
    file.resize(start + (font.pixels.size() + 7) / 8, 0);
    for (std::size_t i = 0; i < font.pixels.size(); ++i) {
        file[start + i / 8] |= font.pixels[i] != 0 ? static_cast<std::uint8_t>(0x80 >> (i % 8)) : 0;
    }
}

// The font of the height nearest to heightPx (the smaller of two as near); false, leaving out as
// it was, for a file that is not a whole pack or holds no font. No glyph reaches past its pixels.
inline bool readFont(const std::uint8_t* file, std::size_t size, std::uint32_t heightPx, FontBitmaps& out) {
    if (file == nullptr || size < 4 || get(file, 4) != get(kMagic, 4)) {
        return false;
    }
    const std::uint8_t* best = nullptr;
    std::uint32_t bestDistance = 0xFFFFFFFFu;
    for (std::size_t at = 4; at + 8 <= size;) {
        const std::uint32_t height = get(file + at, 4);
        const std::size_t pixels = get(file + at + 4, 4);
        const std::size_t length = 8 + 256 * kGlyphBytes + (pixels + 7) / 8;
        if (length > size - at) {
            return false;
        }
        const std::uint32_t distance = height > heightPx ? height - heightPx : heightPx - height;
        if (distance < bestDistance || (distance == bestDistance && height < heightPx)) {
            best = file + at, bestDistance = distance;
        }
        at += length;
    }
    if (best == nullptr) {
        return false;
    }
    const std::size_t pixels = get(best + 4, 4);
    const std::uint8_t* glyphs = best + 8;
    out.pixels.assign(pixels, 0);
    for (std::size_t i = 0; i < pixels; ++i) {
        out.pixels[i] = (glyphs[256 * kGlyphBytes + i / 8] & (0x80 >> (i % 8))) != 0 ? 255 : 0;
    }
    for (int n = 0; n < 256; ++n) {
        const std::uint8_t* g = glyphs + n * kGlyphBytes;
        FontGlyph& glyph = out.glyphs[n];
        glyph = FontGlyph{static_cast<std::int16_t>(get(g, 2)), static_cast<std::int16_t>(get(g + 2, 2)),
                          static_cast<std::int16_t>(get(g + 4, 2)), static_cast<std::int16_t>(get(g + 6, 2)),
                          static_cast<std::int16_t>(get(g + 8, 2)), get(g + 10, 4)};
        const std::size_t area = static_cast<std::size_t>(glyph.width > 0 ? glyph.width : 0) *
                                 static_cast<std::size_t>(glyph.height > 0 ? glyph.height : 0);
        if (glyph.width <= 0 || glyph.height <= 0 || glyph.offset > pixels || area > pixels - glyph.offset) {
            glyph.width = glyph.height = 0, glyph.offset = 0;
        }
    }
    return true;
}

}  // namespace glyph_pack
