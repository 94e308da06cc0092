#pragma once
// What the ports' bitmap fonts (buildBitmapFont, port.h) share.

// Draws nothing and advances the raster position, inside the list being compiled; a glyph with
// no image at all loses its advance on some GL drivers (Mesa's).
void emptyGlyph(float advance);
// Fills the 256 lists at base with empty glyphs half the height wide, when no face could be
// had: the lists stay valid and text at least advances.
void emptyFont(unsigned base, unsigned heightPx);
