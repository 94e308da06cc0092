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

// An item's run of vertices in one state, in the group's staging store.
struct Segment {
    BatchState state;
    int first;
    int count;
};

struct GroupItem {
    int firstSegment;
    int endSegment;
    float box[4];  // left, bottom, right, top in view coordinates, widened by the smoothing's reach
};

constexpr int kStagedVertices = 1 << 15;
constexpr int kStagedSegments = 4096;
constexpr int kGroupItems = 256;

struct Group {
    bool open = false;
    bool inItem = false;
    bool spilled = false;  // the item outgrew the store: the rest of it goes straight to the batches
    int vertexCount = 0;
    int segmentCount = 0;
    int itemCount = 0;
    int itemStartVertex = 0;
    DrawVertex vertices[kStagedVertices];
    Segment segments[kStagedSegments];
    GroupItem items[kGroupItems];
};

struct Drawing {
    const DrawBackend* backend = nullptr;
    bool started = false;
    BatchState state{};        // what the next vertices are drawn with
    BatchState batchState{};   // what the collected ones are drawn with
    int count = 0;
    DrawVertex batch[kBatchVertices];
    float colour[4] = {1, 1, 1, 1};
    // The primitive the open batch takes more of without any check but room (-1: check all).
    int quickPrimitive = -1;
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
Group group;

void drawGroupItems();
void spillGroup();

DrawVertex makeVertex(float x, float y, float z) {
    return DrawVertex{x, y, z, drawing.colour[0], drawing.colour[1], drawing.colour[2], drawing.colour[3], 0, 0};
}

// Room for n more vertices drawn as `primitive`, in the current state.
DrawVertex* reserve(DrawPrimitive primitive, int n) {
    if (primitive == drawing.quickPrimitive && drawing.count + n <= kBatchVertices) {
        DrawVertex* out = drawing.batch + drawing.count;
        drawing.count += n;
        return out;
    }
    BatchState wanted = drawing.state;
    wanted.primitive = primitive;
    if (primitive != kDrawTriangles) {
        wanted.stipple = false;
        wanted.atlas = 0;
    }
    wanted.size = primitive == kDrawLines ? drawing.lineWidth : primitive == kDrawPoints ? drawing.pointSize : 1.0f;
    if (primitive != kDrawLines) {
        wanted.smooth = false;
    }
    if (group.inItem && !group.spilled) {
        if (group.vertexCount + n > kStagedVertices || group.segmentCount >= kStagedSegments) {
            spillGroup();
        } else {
            Segment* last = group.segmentCount > group.items[group.itemCount].firstSegment
                                ? &group.segments[group.segmentCount - 1]
                                : nullptr;
            if (last == nullptr || !(last->state == wanted)) {
                group.segments[group.segmentCount++] = Segment{wanted, group.vertexCount, 0};
                last = &group.segments[group.segmentCount - 1];
            }
            last->count += n;
            DrawVertex* out = group.vertices + group.vertexCount;
            group.vertexCount += n;
            return out;
        }
    }
    if (drawing.count > 0 && (!(wanted == drawing.batchState) || drawing.count + n > kBatchVertices)) {
        flushDrawing();
    }
    drawing.batchState = wanted;
    drawing.quickPrimitive = group.inItem ? -1 : primitive;
    DrawVertex* out = drawing.batch + drawing.count;
    drawing.count += n;
    return out;
}

// State changed: the next vertices check what batch they belong to.
void stateChanged() {
    drawing.quickPrimitive = -1;
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

// Appends staged vertices in their own state to the batches.
void emitSegment(const Segment& segment) {
    stateChanged();
    const int total = segment.count;
    for (int done = 0; done < total;) {
        // Whole primitives per batch: 3 vertices for triangles, 2 for lines.
        const int unit = segment.state.primitive == kDrawTriangles ? 3 : segment.state.primitive == kDrawLines ? 2 : 1;
        int n = total - done;
        if (n > kBatchVertices) {
            n = kBatchVertices / unit * unit;
        }
        if (drawing.count > 0 && (!(segment.state == drawing.batchState) || drawing.count + n > kBatchVertices)) {
            flushDrawing();
        }
        drawing.batchState = segment.state;
        std::memcpy(drawing.batch + drawing.count, group.vertices + segment.first + done, sizeof(DrawVertex) * n);
        drawing.count += n;
        done += n;
    }
}

// Draws the staged items: every round takes one state and draws, item by item, each item's next
// parts in that state; an item's parts keep their order, and the items' areas are apart.
void drawGroupItems() {
    int cursor[kGroupItems];
    for (int i = 0; i < group.itemCount; ++i) {
        cursor[i] = group.items[i].firstSegment;
    }
    for (bool left = true; left;) {
        left = false;
        const Segment* lead = nullptr;
        for (int i = 0; i < group.itemCount && lead == nullptr; ++i) {
            if (cursor[i] < group.items[i].endSegment) {
                lead = &group.segments[cursor[i]];
            }
        }
        if (lead == nullptr) {
            break;
        }
        const BatchState state = lead->state;
        for (int i = 0; i < group.itemCount; ++i) {
            while (cursor[i] < group.items[i].endSegment && group.segments[cursor[i]].state == state) {
                emitSegment(group.segments[cursor[i]++]);
            }
            left = left || cursor[i] < group.items[i].endSegment;
        }
    }
    group.itemCount = 0;
    group.segmentCount = 0;
    group.vertexCount = 0;
}

// Draws everything staged, the open item's part too; the rest of that item then goes straight
// to the batches.
void spillGroup() {
    if (group.inItem && !group.spilled) {
        const int first = group.items[group.itemCount].firstSegment;
        group.items[group.itemCount] = GroupItem{first, group.segmentCount, {0, 0, 0, 0}};
        ++group.itemCount;
        group.spilled = true;
    }
    drawGroupItems();
}

bool boxesMeet(const float* a, const float* b) {
    return a[0] <= b[2] && b[0] <= a[2] && a[1] <= b[3] && b[1] <= a[3];
}

}  // namespace

void beginDrawingGroup() {
    stateChanged();
    group.open = true;
    group.itemCount = group.segmentCount = group.vertexCount = 0;
}

void beginGroupItem() {
    stateChanged();
    if (!group.open || group.itemCount >= kGroupItems) {
        if (group.open) {
            drawGroupItems();
        }
    }
    group.inItem = group.open;
    group.spilled = false;
    group.items[group.itemCount].firstSegment = group.segmentCount;
    group.itemStartVertex = group.vertexCount;
}

void endGroupItem() {
    stateChanged();
    if (!group.inItem) {
        return;
    }
    group.inItem = false;
    if (group.spilled) {
        return;  // drawn already, after everything staged before it
    }
    GroupItem item{group.items[group.itemCount].firstSegment, group.segmentCount, {1e30f, 1e30f, -1e30f, -1e30f}};
    for (int v = group.itemStartVertex; v < group.vertexCount; ++v) {
        const DrawVertex& p = group.vertices[v];
        item.box[0] = p.x < item.box[0] ? p.x : item.box[0];
        item.box[1] = p.y < item.box[1] ? p.y : item.box[1];
        item.box[2] = p.x > item.box[2] ? p.x : item.box[2];
        item.box[3] = p.y > item.box[3] ? p.y : item.box[3];
    }
    // Smoothed and wide lines, and points, reach a few pixels past their vertices.
    const auto reachX = static_cast<float>(4.0 * (drawing.box.right - drawing.box.left) / drawing.viewWidth);
    const auto reachY = static_cast<float>(4.0 * (drawing.box.top - drawing.box.bottom) / drawing.viewHeight);
    item.box[0] -= reachX, item.box[2] += reachX, item.box[1] -= reachY, item.box[3] += reachY;
    for (int i = 0; i < group.itemCount; ++i) {
        if (boxesMeet(item.box, group.items[i].box)) {
            // It must come after the one it touches: what is staged goes first, without it, and
            // the item alone starts the group again, moved to the front of the store.
            const int firstSegment = item.firstSegment;
            const int segmentCount = group.segmentCount - firstSegment;
            const int firstVertex = group.itemStartVertex;
            const int vertexCount = group.vertexCount - firstVertex;
            group.segmentCount = firstSegment;
            drawGroupItems();
            for (int k = 0; k < segmentCount; ++k) {
                group.segments[k] = group.segments[firstSegment + k];
                group.segments[k].first -= firstVertex;
            }
            std::memmove(group.vertices, group.vertices + firstVertex, sizeof(DrawVertex) * vertexCount);
            group.segmentCount = segmentCount;
            group.vertexCount = vertexCount;
            item.firstSegment = 0;
            item.endSegment = segmentCount;
            break;
        }
    }
    group.items[group.itemCount++] = item;
}

void endDrawingGroup() {
    stateChanged();
    if (group.open) {
        drawGroupItems();
    }
    group.open = false;
    group.inItem = false;
}

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
    stateChanged();
    drawing.state.blend = on;
}

void setLineSmooth(bool on) {
    stateChanged();
    drawing.state.smooth = on;
}

void setLineWidth(float width) {
    stateChanged();
    drawing.lineWidth = width;
}

void setPointSize(float size) {
    stateChanged();
    drawing.pointSize = size;
}

void setStipple(const std::uint8_t* mask) {
    stateChanged();
    drawing.state.stipple = mask != nullptr;
    if (mask == nullptr || (drawing.stippleLoaded && std::memcmp(mask, drawing.stipple, kStippleBytes) == 0)) {
        return;
    }
    if (group.open) {
        spillGroup();  // what is staged keeps the pattern it was made with
    }
    flushDrawing();  // and so does what is collected
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
            BatchState saved = drawing.state;
            drawing.state.atlas = static_cast<std::uint8_t>(atlas);
            drawing.state.stipple = false;
            stateChanged();
            DrawVertex* out = reserve(kDrawTriangles, 6);
            drawing.state = saved;
            stateChanged();
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
