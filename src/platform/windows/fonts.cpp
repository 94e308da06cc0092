#include "platform/fonts.h"

#include "platform/port.h"

#include <windows.h>

#include <vector>

namespace {

// One character as the system's bitmap text places it: GGO_BITMAP's image (rows top-down, each
// padded to 32 bits, the top bit leftmost), its origin and its cell advance.
void renderGlyph(HDC dc, unsigned n, std::vector<BYTE>& bits, FontBitmaps& out) {
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics{};
    const DWORD size = GetGlyphOutlineA(dc, n, GGO_BITMAP, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR) {
        addGlyph(out, n, 0, 0, 0, 0, 0);
        return;
    }
    const int advance = metrics.gmCellIncX;
    if (size == 0) {  // no pixels at all (the space): only the advance
        addGlyph(out, n, 0, 0, 0, 0, advance);
        return;
    }
    bits.assign(size, 0);
    if (GetGlyphOutlineA(dc, n, GGO_BITMAP, &metrics, size, bits.data(), &identity) == GDI_ERROR) {
        addGlyph(out, n, 0, 0, 0, 0, advance);
        return;
    }
    const int width = static_cast<int>(metrics.gmBlackBoxX);
    const int height = static_cast<int>(metrics.gmBlackBoxY);
    const std::size_t pitch = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    if (pitch * static_cast<std::size_t>(height) > size) {
        addGlyph(out, n, 0, 0, 0, 0, advance);
        return;
    }
    std::uint8_t* rows = addGlyph(out, n, width, height, metrics.gmptGlyphOrigin.x, metrics.gmptGlyphOrigin.y, advance);
    for (int r = 0; rows != nullptr && r < height; ++r) {
        const BYTE* src = bits.data() + pitch * r;
        for (int c = 0; c < width; ++c) {
            rows[static_cast<std::size_t>(r) * width + c] = (src[c / 8] & (0x80 >> (c % 8))) ? 255 : 0;
        }
    }
}

}  // namespace

// The system draws the glyphs: a bold Arial in the asked character set, whose code page reads
// each byte as the game meant it (Windows-1251 for Cyrillic).
void renderFontBitmaps(unsigned heightPx, unsigned charset, FontBitmaps& out) {
    clearFont(out, static_cast<int>(heightPx / 2));
    const HDC dc = CreateCompatibleDC(nullptr);
    const HFONT font = CreateFontA(-static_cast<int>(heightPx), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   static_cast<DWORD>(charset), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "Arial");
    if (dc != nullptr && font != nullptr && heightPx > 0) {
        const HGDIOBJ previous = SelectObject(dc, font);
        std::vector<BYTE> bits;
        for (unsigned n = 0; n < 256; ++n) {
            renderGlyph(dc, n, bits, out);
        }
        SelectObject(dc, previous);
    }
    if (font != nullptr) {
        DeleteObject(font);
    }
    if (dc != nullptr) {
        DeleteDC(dc);
    }
}
