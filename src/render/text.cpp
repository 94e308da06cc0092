#include "render/text.h"

#include "platform/fonts.h"
#include "platform/port.h"
#include "render/display_mode.h"
#include "render/screen_mapping.h"
#include "settings/settings.h"

#include <GL/gl.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>

std::uint32_t smallFont = 0;
std::uint32_t largeFont = 0;
std::uint32_t fontCharset = 204;

namespace {
constexpr int kListsPerFont = 256;
// Room for 4,096 characters and the terminator; longer texts are cut, never overrun.
constexpr std::size_t kTextBufferSize = 4097;
}  // namespace

std::uint32_t createTextFont(std::uint32_t heightPx) {
    return buildBitmapFont(heightPx, fontCharset);
}

void createFonts() {
    smallFont = createTextFont(displayMode.width / 60);
    largeFont = createTextFont(displayMode.height / 20);
}

std::uint32_t charsetFor(std::int32_t language) {
    return language < 2 ? 204 : 0;
}

void rebuildFonts() {
    if (smallFont != 0) {
        glDeleteLists(smallFont, kListsPerFont);
    }
    if (largeFont != 0) {
        glDeleteLists(largeFont, kListsPerFont);
    }
    fontCharset = charsetFor(settings.language);
    createFonts();
}

void printText(double x, double y, double z, std::uint32_t fontBase, const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char text[kTextBufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0) {
        text[0] = '\0';
    }
    const std::size_t length = std::strlen(text);
    glPushAttrib(GL_LIST_BIT);
    glRasterPos3f(static_cast<float>(mapX(x)), static_cast<float>(mapY(y)), static_cast<float>(z));
    glListBase(fontBase);
    glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
