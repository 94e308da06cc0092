#include "platform/fonts.h"

namespace {

// Far beyond any glyph of the largest font the game asks for; a wild size from a broken font
// is dropped rather than allocated.
constexpr int kLargestGlyphSide = 1024;

}  // namespace

void clearFont(FontBitmaps& out, int advance) {
    out.pixels.clear();
    for (FontGlyph& g : out.glyphs) {
        g = FontGlyph{0, 0, 0, 0, static_cast<std::int16_t>(advance), 0};
    }
}

std::uint8_t* addGlyph(FontBitmaps& out, unsigned n, int width, int height, int left, int top, int advance) {
    if (n > 255) {
        return nullptr;
    }
    FontGlyph& g = out.glyphs[n];
    g = FontGlyph{0, 0, 0, 0, static_cast<std::int16_t>(advance), 0};
    if (width <= 0 || height <= 0 || width > kLargestGlyphSide || height > kLargestGlyphSide) {
        return nullptr;
    }
    g = FontGlyph{static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), static_cast<std::int16_t>(left),
                  static_cast<std::int16_t>(top), static_cast<std::int16_t>(advance),
                  static_cast<std::uint32_t>(out.pixels.size())};
    out.pixels.resize(out.pixels.size() + static_cast<std::size_t>(width) * height, 0);
    return out.pixels.data() + g.offset;
}
