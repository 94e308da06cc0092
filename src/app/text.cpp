#include "app/text.h"

// Placeholder: replaced by the real text code.
std::uint32_t smallFont = 0;
std::uint32_t largeFont = 0;
std::uint32_t fontCharset = 204;
std::uint32_t createTextFont(std::uint32_t) { return 0; }
void createFonts() {}
void rebuildFonts() {}
void printText(double, double, double, std::uint32_t, const char*, ...) {}
