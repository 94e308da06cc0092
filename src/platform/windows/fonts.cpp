#include "platform/fonts.h"

#include "platform/port.h"

#include <windows.h>

#include <GL/gl.h>

namespace {

// A glyph without pixels (the space) may come as a bitmap with no image, whose advance some GL
// drivers (Mesa's, under Wine) drop: the words of a text would run together.
void keepEmptyGlyphAdvances(HDC dc, GLuint base) {
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (unsigned n = 0; n < 256; ++n) {
        GLYPHMETRICS metrics{};
        if (GetGlyphOutlineA(dc, n, GGO_BITMAP, &metrics, 0, nullptr, &identity) != 0) {
            continue;
        }
        glNewList(base + n, GL_COMPILE);
        emptyGlyph(static_cast<GLfloat>(metrics.gmCellIncX));
        glEndList();
    }
}

}  // namespace

// The system draws the glyphs: a bold Arial in the asked character set, whose code page reads
// each byte as the game meant it (Windows-1251 for Cyrillic).
unsigned buildBitmapFont(unsigned heightPx, unsigned charset) {
    const GLuint base = glGenLists(256);
    if (base == 0) {
        return 0;
    }
    const HDC dc = wglGetCurrentDC();
    const HFONT font = CreateFontA(-static_cast<int>(heightPx), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   static_cast<DWORD>(charset), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH, "Arial");
    bool built = false;
    if (dc != nullptr && font != nullptr) {
        const HGDIOBJ previous = SelectObject(dc, font);
        built = wglUseFontBitmapsA(dc, 0, 256, base) != FALSE;
        if (built) {
            keepEmptyGlyphAdvances(dc, base);
        }
        SelectObject(dc, previous);
    }
    if (font != nullptr) {
        DeleteObject(font);
    }
    if (!built) {
        emptyFont(base, heightPx);
    }
    return base;
}
