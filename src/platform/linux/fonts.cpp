#include "platform/fonts.h"

#include "platform/linux/code_page.h"
#include "platform/port.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <vector>

namespace {

// Mesa drops the advance of a glBitmap with a null image, so empty glyphs point here.
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

// One glyph as a glBitmap inside the open list: rows bottom-up, as GL reads them.
void renderGlyph(FT_Face face, unsigned codePoint, std::vector<GLubyte>& rows) {
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) {
        emptyGlyph(0.0f);
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const GLfloat advance = static_cast<GLfloat>(slot->advance.x >> 6);
    const unsigned width = bitmap.width;
    const unsigned height = bitmap.rows;
    if (width == 0 || height == 0 || bitmap.buffer == nullptr) {
        emptyGlyph(advance);
        return;
    }
    const unsigned rowBytes = (width + 7) / 8;
    rows.assign(static_cast<std::size_t>(rowBytes) * height, 0);
    const int pitch = bitmap.pitch;
    for (unsigned r = 0; r < height; ++r) {
        // FreeType's rows run top-down with a padded pitch that may be negative.
        const unsigned char* src = pitch >= 0
                                       ? bitmap.buffer + static_cast<std::ptrdiff_t>(r) * pitch
                                       : bitmap.buffer + static_cast<std::ptrdiff_t>(height - 1 - r) * -pitch;
        std::memcpy(&rows[static_cast<std::size_t>(height - 1 - r) * rowBytes], src, rowBytes);
    }
    glBitmap(static_cast<GLsizei>(width), static_cast<GLsizei>(height),
             static_cast<GLfloat>(-slot->bitmap_left),
             static_cast<GLfloat>(static_cast<int>(height) - slot->bitmap_top), advance, 0.0f, rows.data());
}

}  // namespace

// The charset is accepted for the caller's sake: the face always covers both Latin and
// Cyrillic, and every byte is read as Windows-1251.
unsigned buildBitmapFont(unsigned heightPx, unsigned /*charset*/) {
    const GLuint base = glGenLists(256);
    if (base == 0) {
        return 0;
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::vector<char> path;
    int faceIndex = 0;
    const bool haveFace = heightPx > 0 && findBoldSansFile(path, faceIndex) && FT_Init_FreeType(&library) == 0 &&
                          FT_New_Face(library, path.data(), faceIndex, &face) == 0 &&
                          FT_Set_Pixel_Sizes(face, 0, heightPx) == 0;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    std::vector<GLubyte> rows;
    for (unsigned n = 0; n < 256 && haveFace; ++n) {
        glNewList(base + n, GL_COMPILE);
        renderGlyph(face, cp1251ToUnicode(static_cast<unsigned char>(n)), rows);
        glEndList();
    }
    if (!haveFace) {
        emptyFont(base, heightPx);
    }
    glPopClientAttrib();
    if (face != nullptr) {
        FT_Done_Face(face);
    }
    if (library != nullptr) {
        FT_Done_FreeType(library);
    }
    return base;
}
