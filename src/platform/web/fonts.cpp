#include "platform/fonts.h"
#include "platform/port.h"
#include "platform/web/glyph_pack.h"

#include <cstdio>
#include <vector>

namespace {

// Where the page's loader puts the pack (--preload-file, cmake/web.cmake).
constexpr const char* kGlyphPackPath = "/zarv-data/glyphs.bin";

const std::vector<std::uint8_t>& glyphPack() {
    static std::vector<std::uint8_t> pack;
    static bool read = false;
    if (!read) {
        read = true;
        if (std::FILE* file = std::fopen(kGlyphPackPath, "rb")) {
            std::uint8_t chunk[65536];
            for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
                pack.insert(pack.end(), chunk, chunk + n);
            }
            std::fclose(file);
        }
    }
    return pack;
}

}  // namespace

// The Linux port's bold face at the size asked, as the build machine rendered it (every size
// the resolutions need is in the pack; another takes the nearest). The charset changes nothing
// there either: the face covers Latin and Cyrillic, read as Windows-1251.
void renderFontBitmaps(unsigned heightPx, unsigned /*charset*/, FontBitmaps& out) {
    clearFont(out, static_cast<int>(heightPx / 2));
    const std::vector<std::uint8_t>& pack = glyphPack();
    if (heightPx == 0 || !glyph_pack::readFont(pack.data(), pack.size(), heightPx, out)) {
        clearFont(out, static_cast<int>(heightPx / 2));
    }
}
