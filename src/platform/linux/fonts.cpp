#include "platform/fonts.h"

#include "platform/linux/code_page.h"
#include "platform/port.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <vector>

namespace {

// The font file fontconfig picks for a bold Arial; it answers every request with some face.
bool findBoldSansFile(std::vector<char>& path, int& faceIndex) {
    if (!FcInit()) {
        return false;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial:bold"));
    if (pattern == nullptr) {
        return false;
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (found) {
        const char* name = reinterpret_cast<const char*>(file);
        path.assign(name, name + std::strlen(name) + 1);
        faceIndex = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex);
    }
    FcPatternDestroy(match);
    return found;
}

// One glyph's image, as FreeType renders it one bit a pixel (the image a bitmap text has always had).
void renderGlyph(FT_Face face, unsigned n, FontBitmaps& out) {
    const FT_UInt index = FT_Get_Char_Index(face, cp1251ToUnicode(static_cast<unsigned char>(n)));
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) {
        addGlyph(out, n, 0, 0, 0, 0, 0);
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    std::uint8_t* rows = addGlyph(out, n, width, height, slot->bitmap_left, slot->bitmap_top,
                                  static_cast<int>(slot->advance.x >> 6));
    if (rows == nullptr || bitmap.buffer == nullptr) {
        return;
    }
    const int pitch = bitmap.pitch;
    for (int r = 0; r < height; ++r) {
        // Rows run top-down with a padded pitch, bottom-up when the pitch is negative.
        const unsigned char* src = pitch >= 0 ? bitmap.buffer + static_cast<std::ptrdiff_t>(r) * pitch
                                              : bitmap.buffer + static_cast<std::ptrdiff_t>(height - 1 - r) * -pitch;
        for (int c = 0; c < width; ++c) {
            rows[static_cast<std::size_t>(r) * width + c] = (src[c / 8] & (0x80 >> (c % 8))) ? 255 : 0;
        }
    }
}

}  // namespace

// The charset is accepted for the caller's sake: the face always covers both Latin and
// Cyrillic, and every byte is read as Windows-1251.
void renderFontBitmaps(unsigned heightPx, unsigned /*charset*/, FontBitmaps& out) {
    clearFont(out, static_cast<int>(heightPx / 2));
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<char> path;
    int faceIndex = 0;
    const bool haveFace = heightPx > 0 && findBoldSansFile(path, faceIndex) && FT_Init_FreeType(&library) == 0 &&
                          FT_New_Face(library, path.data(), faceIndex, &face) == 0 &&
                          FT_Set_Pixel_Sizes(face, 0, heightPx) == 0;
    for (unsigned n = 0; n < 256 && haveFace; ++n) {
        renderGlyph(face, n, out);
    }
    if (face != nullptr) {
        FT_Done_Face(face);
    }
    if (library != nullptr) {
        FT_Done_FreeType(library);
    }
}
