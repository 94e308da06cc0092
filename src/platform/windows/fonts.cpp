#include "platform/fonts.h"

#include <windows.h>

#include <GL/gl.h>

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
        SelectObject(dc, previous);
    }
    if (font != nullptr) {
        DeleteObject(font);
    }
    if (!built) {
        // No glyphs at all: keep the lists valid and let text at least advance.
        static const GLubyte empty[1] = {0};
        for (unsigned n = 0; n < 256; ++n) {
            glNewList(base + n, GL_COMPILE);
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(heightPx / 2), 0.0f, empty);
            glEndList();
        }
    }
    return base;
}
