#pragma once
// The one way the game draws: shapes, rings and text are collected into vertex batches, each drawn
// with one call by the backend the window's context needs. State set here (colour, blending,
// smoothing, widths, the stipple) holds for what follows, as GL's own state would; a batch ends
// only where that state changes or the frame is flushed.
#include "platform/draw_backend.h"

#include <cstdint>

enum class Shape : std::uint8_t { Points, Lines, LineStrip, Triangles, TriangleStrip };

// The backend every following call draws with, started in the current context (again after each
// new context; the glyph atlases are loaded into it again too).
void startDrawing(const DrawBackend& backend);
const DrawBackend* drawingBackend();

// The window's pixels and the box of game view coordinates it shows.
void setDrawView(int width, int height, const ViewBox& box);
void setDepthTest(bool on);
// Draws what is collected, then clears colour and depth.
void clearFrame();
// Draws everything collected so far: before a swap, a read-back, or leaving a frame.
void flushDrawing();
// Flushes, waits for the drawing, and reads width x height RGB pixels from (x, y) up.
void readFramePixels(int x, int y, int width, int height, std::uint8_t* rgb);

void setColour(float r, float g, float b, float a = 1.0f);
void setBlend(bool on);
void setLineSmooth(bool on);
void setLineWidth(float width);
void setPointSize(float size);
// Triangles that follow are masked by the pattern (copied now) until setStipple(nullptr).
void setStipple(const std::uint8_t* mask);

// A shape of vertices in view coordinates, each with the colour current at its call.
void beginShape(Shape shape);
void shapeVertex(float x, float y, float z);
void endShape();

// A group of items (each an enemy, say) whose drawing may be reordered wherever that cannot change a
// pixel: items whose window areas are apart are drawn state by state, each item's own parts still
// in their order; an item that touches an earlier one in the group waits until that one is drawn.
// Fewer, larger batches, the same picture.
void beginDrawingGroup();
void beginGroupItem();
void endGroupItem();
void endDrawingGroup();

// The outline of a ring around (x, y) in view coordinates: the outer circle, then the inner, each
// of `slices` lines, as a one-loop silhouette disk has them. Nothing for a radius below zero, an
// inner radius above the outer or fewer than 2 slices.
void drawRing(float x, float y, float z, double inner, double outer, int slices);

// One glyph's image and how it sits: `left` and `top` are the pixels from the pen to the image's
// left column and from the baseline up to its top row; the pen then moves `advance` pixels.
struct GlyphMetrics {
    std::int16_t width, height, left, top, advance;
    std::int16_t atlasX, atlasY;  // where its top-left texel sits in the atlas
};
// Text in glyph atlas `atlas`, its pen starting at (x, y, z) in view coordinates and moving right
// in whole window pixels; the current colour. Not drawn at all when the start is outside the view.
void drawTextRun(float x, float y, float z, int atlas, const char* text);
// Loads atlas slot 1 or 2 (the glyphs of byte values 0..255, texels rows top-down, 0 or 255) into
// the drawing and its backend; kept for every later context too.
void loadGlyphAtlas(int atlas, const GlyphMetrics glyphs[256], const std::uint8_t* texels, int width, int height);
