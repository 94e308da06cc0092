#pragma once
// What the ports' bitmap fonts (renderFontBitmaps, port.h) share.
#include "platform/port.h"

// Every character empty, advancing `advance` pixels.
void clearFont(FontBitmaps& out, int advance);
// Makes character n width x height pixels placed by left, top and advance, and returns its first
// row (zeroed), or nullptr for a glyph without pixels or too large to keep.
std::uint8_t* addGlyph(FontBitmaps& out, unsigned n, int width, int height, int left, int top, int advance);
