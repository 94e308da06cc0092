#include "render/draw.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Room for the fullest frame's largest batch (every burst particle's four points) several times
// over; a batch that fills it is drawn and the next one starts.
constexpr int kBatchVertices = 1 << 16;

struct GlyphAtlas {
    GlyphMetrics glyphs[256];
    std::vector<std::uint8_t> texels;
    int width = 0;
    int height = 0;
};

struct Drawing {
    const DrawBackend* backend = nullptr;
    bool started = false;
    DrawState state{};        // what the next vertices are drawn with
    DrawState batchState{};   // what the collected ones are drawn with
    int count = 0;
    DrawVertex batch[kBatchVertices];
    float colour[4] = {1, 1, 1, 1};
    float lineWidth = 1.0f;  // GL keeps the two apart, and so does the game's drawing
    float pointSize = 1.0f;
    std::uint8_t stipple[kStippleBytes] = {};
    bool stippleLoaded = false;
    int viewWidth = 1;
    int viewHeight = 1;
    ViewBox box{0, 1, 0, 1};
    // The open shape: its kind and the vertices a strip or a pair still waits on.
    Shape shape = Shape::Points;
    int shapeVertices = 0;
    DrawVertex held[2]{};
    GlyphAtlas atlases[kDrawAtlasSlots];
};

Drawing drawing;

DrawVertex makeVertex(float x, float y, float z) {
    return DrawVertex{x, y, z, drawing.colour[0], drawing.colour[1], drawing.colour[2], drawing.colour[3], 0, 0};
}

// Room for n more vertices drawn as `primitive`, in the current state.
DrawVertex* reserve(DrawPrimitive primitive, int n) {
    DrawState wanted = drawing.state;
    wanted.primitive = primitive;
    if (primitive != kDrawTriangles) {
        wanted.stipple = false;
        wanted.atlas = 0;
    }
    wanted.size = primitive == kDrawLines ? drawing.lineWidth : primitive == kDrawPoints ? drawing.pointSize : 1.0f;
    if (primitive != kDrawLines) {
        wanted.smooth = false;
    }
    if (drawing.count > 0 && (!(wanted == drawing.batchState) || drawing.count + n > kBatchVertices)) {
        flushDrawing();
    }
    drawing.batchState = wanted;
    DrawVertex* out = drawing.batch + drawing.count;
    drawing.count += n;
    return out;
}

void addLine(const DrawVertex& a, const DrawVertex& b) {
    DrawVertex* out = reserve(kDrawLines, 2);
    out[0] = a, out[1] = b;
}

void addTriangle(const DrawVertex& a, const DrawVertex& b, const DrawVertex& c) {
    DrawVertex* out = reserve(kDrawTriangles, 3);
    out[0] = a, out[1] = b, out[2] = c;
}

void uploadAtlas(int slot) {
    const GlyphAtlas& atlas = drawing.atlases[slot];
    if (drawing.started && atlas.width > 0) {
        drawing.backend->setAtlas(slot, atlas.texels.data(), atlas.width, atlas.height);
    }
}

}  // namespace

void startDrawing(const DrawBackend& backend) {
    drawing.count = 0;
    drawing.backend = &backend;
    drawing.started = backend.start();
    drawing.stippleLoaded = false;
    for (int slot = 1; slot < kDrawAtlasSlots; ++slot) {
        uploadAtlas(slot);
    }
}

const DrawBackend* drawingBackend() {
    return drawing.started ? drawing.backend : nullptr;
}

void setDrawView(int width, int height, const ViewBox& box) {
    flushDrawing();
    drawing.viewWidth = width > 0 ? width : 1;
    drawing.viewHeight = height > 0 ? height : 1;
    drawing.box = box;
    if (drawing.started) {
        drawing.backend->setView(width, height, box);
    }
}

void setDepthTest(bool on) {
    flushDrawing();
    if (drawing.started) {
        drawing.backend->setDepthTest(on);
    }
}

void clearFrame() {
    flushDrawing();
    if (drawing.started) {
        drawing.backend->clear();
    }
}

void flushDrawing() {
    if (drawing.count > 0 && drawing.started) {
        drawing.backend->draw(drawing.batchState, drawing.batch, drawing.count);
    }
    drawing.count = 0;
}

void readFramePixels(int x, int y, int width, int height, std::uint8_t* rgb) {
    flushDrawing();
    if (drawing.started) {
        drawing.backend->finish();
        drawing.backend->readPixels(x, y, width, height, rgb);
    } else {
        std::memset(rgb, 0, static_cast<std::size_t>(width) * height * 3);
    }
}

void setColour(float r, float g, float b, float a) {
    drawing.colour[0] = r, drawing.colour[1] = g, drawing.colour[2] = b, drawing.colour[3] = a;
}

void setBlend(bool on) {
    drawing.state.blend = on;
}

void setLineSmooth(bool on) {
    drawing.state.smooth = on;
}

void setLineWidth(float width) {
    drawing.lineWidth = width;
}

void setPointSize(float size) {
    drawing.pointSize = size;
}

void setStipple(const std::uint8_t* mask) {
    drawing.state.stipple = mask != nullptr;
    if (mask == nullptr || (drawing.stippleLoaded && std::memcmp(mask, drawing.stipple, kStippleBytes) == 0)) {
        return;
    }
    flushDrawing();  // what is collected keeps the pattern it was drawn with
    std::memcpy(drawing.stipple, mask, kStippleBytes);
    drawing.stippleLoaded = true;
    if (drawing.started) {
        drawing.backend->setStipple(drawing.stipple);
    }
}

void beginShape(Shape shape) {
    drawing.shape = shape;
    drawing.shapeVertices = 0;
}

void shapeVertex(float x, float y, float z) {
    const DrawVertex v = makeVertex(x, y, z);
    const int n = drawing.shapeVertices++;
    DrawVertex* held = drawing.held;
    switch (drawing.shape) {
    case Shape::Points:
        *reserve(kDrawPoints, 1) = v;
        break;
    case Shape::Lines:
        if (n % 2 == 1) {
            addLine(held[0], v);
        }
        held[0] = v;
        break;
    case Shape::LineStrip:
        if (n > 0) {
            addLine(held[0], v);
        }
        held[0] = v;
        break;
    case Shape::Triangles:
        if (n % 3 == 2) {
            addTriangle(held[0], held[1], v);
        }
        held[n % 3 == 0 ? 0 : 1] = v;
        break;
    case Shape::TriangleStrip:
        // Every other triangle of a strip has its first two corners swapped, as GL orders them.
        if (n >= 2) {
            if (n % 2 == 0) {
                addTriangle(held[0], held[1], v);
            } else {
                addTriangle(held[1], held[0], v);
            }
        }
        held[0] = n >= 1 ? held[1] : v;
        held[1] = v;
        break;
    }
}

void endShape() {
    drawing.shapeVertices = 0;
}

void drawRing(float x, float y, float z, double inner, double outer, int slices) {
    constexpr int kMostSlices = 239;
    constexpr double kPi = 3.14159265358979323846;
    slices = slices > kMostSlices ? kMostSlices : slices;
    if (slices < 2 || !(outer > 0.0) || inner < 0.0 || inner > outer) {
        return;
    }
    // Single precision where the circle's vertices have always been worked out in it.
    float sines[kMostSlices + 1];
    float cosines[kMostSlices + 1];
    for (int i = 0; i < slices; ++i) {
        const auto angle = static_cast<float>(2 * kPi * i / slices);
        sines[i] = static_cast<float>(std::sin(angle));
        cosines[i] = static_cast<float>(std::cos(angle));
    }
    sines[slices] = sines[0];
    cosines[slices] = cosines[0];
    const auto width = static_cast<float>(outer - inner);
    const float radii[2] = {static_cast<float>(outer), static_cast<float>(outer - width * 1.0f)};
    for (int loop = 0; loop < 2; ++loop) {
        beginShape(Shape::LineStrip);
        for (int i = 0; i <= slices; ++i) {
            shapeVertex(x + radii[loop] * sines[i], y + radii[loop] * cosines[i], z);
        }
        endShape();
        if (inner == outer) {
            break;
        }
    }
}

void loadGlyphAtlas(int atlas, const GlyphMetrics glyphs[256], const std::uint8_t* texels, int width, int height) {
    if (atlas <= 0 || atlas >= kDrawAtlasSlots) {
        return;
    }
    flushDrawing();
    GlyphAtlas& a = drawing.atlases[atlas];
    std::memcpy(a.glyphs, glyphs, sizeof a.glyphs);
    a.texels.assign(texels, texels + static_cast<std::size_t>(width) * height);
    a.width = width;
    a.height = height;
    uploadAtlas(atlas);
}

void drawTextRun(float x, float y, float z, int atlas, const char* text) {
    if (atlas <= 0 || atlas >= kDrawAtlasSlots || text == nullptr || !drawing.started) {
        return;
    }
    const GlyphAtlas& a = drawing.atlases[atlas];
    float pen[3];
    if (a.width == 0 || !drawing.backend->windowPosition(x, y, z, pen)) {
        return;
    }
    // Window pixels back to view coordinates: a glyph's corners land on pixel edges, half a pixel
    // from any pixel centre, so rounding here cannot change which pixels it covers.
    const double sx = (drawing.box.right - drawing.box.left) / drawing.viewWidth;
    const double sy = (drawing.box.top - drawing.box.bottom) / drawing.viewHeight;
    const float du = 1.0f / static_cast<float>(a.width);
    const float dv = 1.0f / static_cast<float>(a.height);
    for (const char* c = text; *c != '\0'; ++c) {
        const GlyphMetrics& g = a.glyphs[static_cast<unsigned char>(*c)];
        if (g.width > 0 && g.height > 0) {
            // Whole pixels, as a bitmap at the pen is placed: the tiny lift keeps a pen that sits
            // a rounding error below a pixel edge on that edge.
            const float lift = 0.0001f;
            const double left = std::floor(pen[0] + lift + static_cast<float>(g.left));
            const double bottom = std::floor(pen[1] + lift - static_cast<float>(g.height - g.top));
            const auto x0 = static_cast<float>(drawing.box.left + left * sx);
            const auto x1 = static_cast<float>(drawing.box.left + (left + g.width) * sx);
            const auto y0 = static_cast<float>(drawing.box.bottom + bottom * sy);
            const auto y1 = static_cast<float>(drawing.box.bottom + (bottom + g.height) * sy);
            const float u0 = g.atlasX * du, u1 = (g.atlasX + g.width) * du;
            const float vTop = g.atlasY * dv, vBottom = (g.atlasY + g.height) * dv;
            DrawState saved = drawing.state;
            drawing.state.atlas = static_cast<std::uint8_t>(atlas);
            drawing.state.stipple = false;
            DrawVertex* out = reserve(kDrawTriangles, 6);
            drawing.state = saved;
            DrawVertex corners[4] = {makeVertex(x0, y0, z), makeVertex(x1, y0, z), makeVertex(x1, y1, z),
                                     makeVertex(x0, y1, z)};
            corners[0].u = corners[3].u = u0, corners[1].u = corners[2].u = u1;
            corners[0].v = corners[1].v = vBottom, corners[2].v = corners[3].v = vTop;
            out[0] = corners[0], out[1] = corners[1], out[2] = corners[2];
            out[3] = corners[0], out[4] = corners[2], out[5] = corners[3];
        }
        pen[0] += static_cast<float>(g.advance);
    }
}
