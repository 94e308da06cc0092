#pragma once
// Bitmap-font text at game coordinates.
#include <cstdint>

extern std::uint32_t smallFont;
extern std::uint32_t largeFont;
extern std::uint32_t fontCharset;  // 204 (Cyrillic) for both languages

std::uint32_t createTextFont(std::uint32_t heightPx);
// Builds smallFont (width / 60) and largeFont (height / 20) for the current display mode.
void createFonts();
// Deletes both fonts' lists, then builds them again.
void rebuildFonts();
// The character set the fonts are asked for in a language: Cyrillic (204) for both, since the
// English texts use only its Latin half.
std::uint32_t charsetFor(std::int32_t language);
// (x, y) is the left end of the baseline; the text takes the current colour.
void printText(double x, double y, double z, std::uint32_t fontBase, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
