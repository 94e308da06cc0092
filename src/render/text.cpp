#include "render/text.h"

#include "platform/port.h"
#include "render/display_mode.h"
#include "render/draw.h"
#include "render/screen_mapping.h"
#include "settings/settings.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

std::uint32_t smallFont = 1;
std::uint32_t largeFont = 2;
std::uint32_t fontCharset = 204;

namespace {
// Room for 4,096 characters and the terminator; longer texts are cut, never overrun.
constexpr std::size_t kTextBufferSize = 4097;
// A texel of space between glyphs, so that no sampling can reach a neighbour.
constexpr int kGap = 1;
constexpr int kWidestAtlas = 8192;

// Rows of glyphs left to right in an atlas `width` texels wide; the height they take, or 0 when a
// glyph is wider than the atlas.
int packGlyphs(const FontBitmaps& font, int width, GlyphMetrics* placed) {
    int x = kGap, y = kGap, rowHeight = 0;
    for (int n = 0; n < 256; ++n) {
        const FontGlyph& g = font.glyphs[n];
        if (g.width + 2 * kGap > width) {
            return 0;
        }
        if (x + g.width + kGap > width) {
            x = kGap, y += rowHeight + kGap, rowHeight = 0;
        }
        placed[n] = GlyphMetrics{g.width, g.height, g.left, g.top, g.advance, static_cast<std::int16_t>(x),
                                 static_cast<std::int16_t>(y)};
        x += g.width + kGap;
        rowHeight = g.height > rowHeight ? g.height : rowHeight;
    }
    return y + rowHeight + kGap;
}

}  // namespace

void createTextFont(std::uint32_t heightPx, std::uint32_t atlas) {
    static FontBitmaps font;
    renderFontBitmaps(heightPx, fontCharset, font);
    // The narrowest square-ish power-of-two atlas that holds them all.
    GlyphMetrics placed[256];
    int width = 64, height = 0;
    for (; width <= kWidestAtlas; width *= 2) {
        height = packGlyphs(font, width, placed);
        if (height > 0 && height <= width) {
            break;
        }
    }
    if (width > kWidestAtlas || height <= 0) {
        return;
    }
    int rows = 1;
    while (rows < height) {
        rows *= 2;
    }
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * rows, 0);
    for (int n = 0; n < 256; ++n) {
        const FontGlyph& g = font.glyphs[n];
        for (int r = 0; r < g.height; ++r) {
            std::memcpy(&texels[static_cast<std::size_t>(placed[n].atlasY + r) * width + placed[n].atlasX],
                        &font.pixels[g.offset + static_cast<std::size_t>(r) * g.width], static_cast<std::size_t>(g.width));
        }
    }
    loadGlyphAtlas(static_cast<int>(atlas), placed, texels.data(), width, rows);
}

void createFonts() {
    createTextFont(displayMode.width / 60, smallFont);
    createTextFont(displayMode.height / 20, largeFont);
}

std::uint32_t charsetFor(std::int32_t language) {
    return language < 2 ? 204 : 0;
}

void rebuildFonts() {
    fontCharset = charsetFor(settings.language);
    createFonts();
}

void printText(double x, double y, double z, std::uint32_t font, const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char text[kTextBufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0) {
        text[0] = '\0';
    }
    drawTextRun(static_cast<float>(mapX(x)), static_cast<float>(mapY(y)), static_cast<float>(z), static_cast<int>(font),
                text);
}
