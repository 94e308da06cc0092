#include "platform/fonts.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <vector>

namespace {

// Windows-1251 bytes 0x80..0xFF as Unicode; 0x98 is the one byte the code page leaves undefined.
constexpr unsigned short kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// Mesa drops the advance of a glBitmap with a null image, so empty glyphs point here.
const GLubyte kEmptyBitmap[1] = {0};

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

void emptyGlyph(GLfloat advance) {
    glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, kEmptyBitmap);
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

unsigned cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    return kCp1251High[byte - 0x80];
}

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
    for (unsigned n = 0; n < 256; ++n) {
        glNewList(base + n, GL_COMPILE);
        if (haveFace) {
            renderGlyph(face, cp1251ToUnicode(static_cast<unsigned char>(n)), rows);
        } else {
            // No face at all: keep the lists valid and let text at least advance.
            emptyGlyph(static_cast<GLfloat>(heightPx / 2));
        }
        glEndList();
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
