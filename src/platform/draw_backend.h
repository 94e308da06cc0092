#pragma once
// What a drawing backend does for the render layer's batches (render/draw.h). A backend draws
// with one kind of OpenGL context; a port hands out the one its windows need (port.h).
#include <cstdint>

// A vertex as the batches hold it: position in view coordinates (the view box's, z from -1 at the
// back to 1 at the front), colour unclamped as GL's current colour takes it, and for text the
// glyph atlas coordinates (0 to 1 across the atlas).
struct DrawVertex {
    float x, y, z;
    float r, g, b, a;
    float u, v;
};

enum DrawPrimitive : std::uint8_t { kDrawPoints, kDrawLines, kDrawTriangles };

// Everything besides the vertices that a batch's pixels depend on; it changes only between batches.
struct BatchState {
    DrawPrimitive primitive = kDrawTriangles;
    bool blend = false;    // source alpha over what is there
    bool smooth = false;   // antialiased lines
    bool stipple = false;  // triangles masked by the 32 x 32 pattern, anchored to the window
    std::uint8_t atlas = 0;  // triangles drawing the lit texels of glyph atlas 1 or 2; 0 for none
    float size = 1.0f;       // line width or point size, in pixels
};

inline bool operator==(const BatchState& a, const BatchState& b) {
    return a.primitive == b.primitive && a.blend == b.blend && a.smooth == b.smooth && a.stipple == b.stipple &&
           a.atlas == b.atlas && a.size == b.size;
}

// The part of the game's coordinates a window shows: x from left to right, y from bottom to top.
struct ViewBox {
    double left;
    double right;
    double bottom;
    double top;
};

constexpr int kStippleBytes = 128;   // 32 rows of 32 bits, bottom row first, top bit leftmost
constexpr int kDrawAtlasSlots = 3;   // slot 0 stays unused: atlas 0 means none

struct DrawBackend {
    // Makes what the backend keeps in the current context; again after every new context.
    bool (*start)();
    // A window of width x height pixels showing box, with z from -1 to 1.
    void (*setView)(int width, int height, const ViewBox& box);
    // The depth test (less) on or off; the depth buffer is cleared with the colour either way.
    void (*setDepthTest)(bool on);
    // Colour to black, depth to the far end.
    void (*clear)();
    // The pattern of stippled batches from now on.
    void (*setStipple)(const std::uint8_t mask[kStippleBytes]);
    // Replaces atlas slot's texture with width x height alpha texels (0 or 255), row r at
    // v = r / height; width and height are powers of two. Sampled at texel centres, unfiltered.
    void (*setAtlas)(int slot, const std::uint8_t* texels, int width, int height);
    // Draws count vertices: separate points, separate lines (pairs) or separate triangles.
    void (*draw)(const BatchState& state, const DrawVertex* vertices, int count);
    // Where a point lands in the window, in pixels from its lower left corner, with its depth: the
    // position GL's glRasterPos gives (exactly, where the backend has one). False when the point
    // lies outside the view, where a text starting there is not drawn.
    bool (*windowPosition)(float x, float y, float z, float out[3]);
    // width x height pixels from (x, y) up, as RGB bytes, rows bottom-up and packed.
    void (*readPixels)(int x, int y, int width, int height, std::uint8_t* rgb);
    // Waits until everything drawn so far is in the frame.
    void (*finish)();
};

// The desktop OpenGL 1.1 backend (client arrays), on the desktop ports.
extern const DrawBackend gl11Backend;
// The OpenGL ES 3 / WebGL 2 backend (one shader pair), where a port has it.
extern const DrawBackend gles3Backend;
