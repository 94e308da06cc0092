// Text from the glyph atlas against the system's own bitmap text (wglUseFontBitmaps, drawn with
// glBitmap): every character that has pixels, in both fonts of the default window, lights the same
// pixels. (Wine's own lists of the 30-pixel font light only some of each glyph's pixels: there every
// pixel they light must be lit.)
#include "render/draw.h"
#include "render/screen_mapping.h"
#include "render/text.h"
#include "support/gl_test_support.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Fonts, AtlasTextLightsThePixelsOfTheSystemBitmapFont) {
    ASSERT_TRUE(openTestWindow(800, 600));
    createFonts(), setBlend(false), setColour(1, 1, 1);
    const HDC dc = wglGetCurrentDC();
    for (const unsigned height : {800u / 60, 600u / 20}) {
        const HFONT font = CreateFontA(-static_cast<int>(height), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, fontCharset,
                                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                       FF_DONTCARE | DEFAULT_PITCH, "Arial");
        const HGDIOBJ previous = SelectObject(dc, font);
        const GLuint lists = glGenLists(256);
        ASSERT_TRUE(wglUseFontBitmapsA(dc, 0, 256, lists));
        // Rows of the characters with pixels (a bitmap without any loses its advance on Mesa).
        std::vector<std::string> rows(1);
        for (int c = 33; c < 256; ++c) {
            const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
            GLYPHMETRICS metrics{};
            const DWORD size = GetGlyphOutlineA(dc, c, GGO_BITMAP, &metrics, 0, nullptr, &identity);
            if (size != GDI_ERROR && size > 0) {
                rows.back() += static_cast<char>(c);
                if (rows.back().size() == 24) {
                    rows.emplace_back();
                }
            }
        }
        SelectObject(dc, previous), DeleteObject(font);
        std::vector<unsigned char> system(800 * 600 * 3), atlas(system.size());
        const std::uint32_t ours = height == 800 / 60 ? smallFont : largeFont;
        for (int pass = 0; pass < 2; ++pass) {
            clearFrame();
            for (std::size_t r = 0; r < rows.size(); ++r) {
                const double x = 10, y = 40 + 1.3 * height * r;
                if (pass == 0) {
                    glColor3f(1, 1, 1);
                    glRasterPos3f(static_cast<float>(mapX(x)), static_cast<float>(mapY(y)), 0);
                    glListBase(lists);
                    glCallLists(static_cast<GLsizei>(rows[r].size()), GL_UNSIGNED_BYTE, rows[r].data());
                } else {
                    printText(x, y, 0, ours, "%s", rows[r].c_str());
                }
            }
            readFramePixels(0, 0, 800, 600, (pass == 0 ? system : atlas).data());
        }
        glDeleteLists(lists, 256);
        EXPECT_GT(rows.size(), 6u) << height;
        std::size_t lit = 0, missing = 0;
        for (std::size_t i = 0; i < system.size(); ++i) {
            lit += system[i] != 0, missing += system[i] != 0 && atlas[i] == 0;
        }
        EXPECT_GT(lit, 1000u) << height;
        EXPECT_EQ(missing, 0u) << "font " << height << " px: pixels of the system's text the atlas leaves dark";
        EXPECT_TRUE(system == atlas || height == 600 / 20) << "font " << height << " px";
    }
}
