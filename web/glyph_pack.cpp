// Writes the page's glyph bitmaps: for every resolution the options offer, the small font
// (width / 60) and the large one (height / 20) that render/text.cpp asks for, rendered by the
// Linux port's renderFontBitmaps, the same bold face fontconfig gives the Linux game.
// Usage: zarv_glyph_pack <file>
#include "platform/port.h"
#include "platform/web/glyph_pack.h"
#include "settings/settings.h"

#include <cstdio>
#include <set>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file>\n", argv[0]);
        return 2;
    }
    std::set<std::uint32_t> heights;
    for (int i = 0; i < kResolutionCount; ++i) {
        heights.insert(resolutionWidth(i) / 60);
        heights.insert(resolutionHeight(i) / 20);
    }
    std::vector<std::uint8_t> file;
    static FontBitmaps font;
    for (const std::uint32_t height : heights) {
        renderFontBitmaps(height, 204, font);
        if (font.pixels.empty()) {
            std::fprintf(stderr, "%s: no bold sans-serif face for %u px (fonts-liberation2 missing?)\n", argv[0], height);
            return 1;
        }
        glyph_pack::appendFont(file, height, font);
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    const bool written = out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
