#pragma once
// Bitmap fonts as OpenGL display lists: list base + n draws the glyph of Windows-1251 character n
// in a bold sans-serif face and advances the raster position by its width.

// Builds 256 lists in the current GL context for a character height of heightPx pixels
// (the em size). Returns the list base; glyphs that cannot be rendered become empty lists that
// still advance. charset 204 asks for Cyrillic coverage, which the face used always has.
unsigned buildBitmapFont(unsigned heightPx, unsigned charset);

// Shared, for the ports' fonts. Draws nothing and advances the raster position, inside the list
// being compiled; a glyph with no image at all loses its advance on some GL drivers (Mesa's).
void emptyGlyph(float advance);
// Fills the 256 lists at base with empty glyphs half the height wide, when no face could be
// had: the lists stay valid and text at least advances.
void emptyFont(unsigned base, unsigned heightPx);
