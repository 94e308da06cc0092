#include "platform/fonts.h"

#include <GL/gl.h>

namespace {

const GLubyte kEmptyBitmap[1] = {0};

}  // namespace

void emptyGlyph(float advance) {
    glBitmap(0, 0, 0.0f, 0.0f, advance, 0.0f, kEmptyBitmap);
}

void emptyFont(unsigned base, unsigned heightPx) {
    for (unsigned n = 0; n < 256; ++n) {
        glNewList(base + n, GL_COMPILE);
        emptyGlyph(static_cast<GLfloat>(heightPx / 2));
        glEndList();
    }
}
