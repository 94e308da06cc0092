#pragma once
// Bitmap-font text at game coordinates, from glyph atlases.
#include <cstdint>

// The two fonts' atlases: smallFont (width / 60 high) and largeFont (height / 20).
extern std::uint32_t smallFont;
extern std::uint32_t largeFont;
extern std::uint32_t fontCharset;  // 204 (Cyrillic) for both languages

// Makes the glyph atlas of the port's font heightPx high into `atlas` (smallFont or largeFont).
void createTextFont(std::uint32_t heightPx, std::uint32_t atlas);
// Both fonts at the sizes for the current display mode.
void createFonts();
// Both fonts again, in the current language's character set.
void rebuildFonts();
// The character set the fonts are asked for in a language: Cyrillic (204) for both, since the
// English texts use only its Latin half.
std::uint32_t charsetFor(std::int32_t language);
// (x, y) is the left end of the baseline; the text takes the current colour.
void printText(double x, double y, double z, std::uint32_t font, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
