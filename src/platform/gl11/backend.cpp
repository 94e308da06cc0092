// Desktop OpenGL 1.1 with client arrays: what every desktop driver gives without a loader (Windows'
// opengl32.dll included), and what draws the same pixels the game always drew: smoothed and wide
// lines, points, polygon stipple and the raster position are GL's own.
#include "platform/draw_backend.h"

#include <GL/gl.h>

namespace {

struct Gl11 {
    BatchState applied{};
    bool fresh = true;  // nothing applied yet in this context
    GLuint atlases[kDrawAtlasSlots] = {};
};

Gl11 gl11;

void enable(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

bool start() {
    gl11 = Gl11{};
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glDisable(GL_POINT_SMOOTH);
    // A glyph texel is lit or not: the alpha test keeps exactly the lit ones.
    glAlphaFunc(GL_GREATER, 0.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    // Read-backs come packed; unpacking keeps GL's default (atlas and stipple rows are whole words).
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return true;
}

void setView(int width, int height, const ViewBox& box) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glOrtho(box.left, box.right, box.bottom, box.top, -1.0, 1.0);
}

void setDepthTest(bool on) {
    enable(GL_DEPTH_TEST, on);
}

void clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void setStipple(const std::uint8_t mask[kStippleBytes]) {
    glPolygonStipple(mask);
}

void setAtlas(int slot, const std::uint8_t* texels, int width, int height) {
    if (slot <= 0 || slot >= kDrawAtlasSlots) {
        return;
    }
    if (gl11.atlases[slot] == 0) {
        glGenTextures(1, &gl11.atlases[slot]);
    }
    glBindTexture(GL_TEXTURE_2D, gl11.atlases[slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels);
    gl11.fresh = true;  // the binding moved: the next batch sets everything again
}

void apply(const BatchState& s) {
    const BatchState& a = gl11.applied;
    const bool all = gl11.fresh;
    if (all || s.blend != a.blend) {
        enable(GL_BLEND, s.blend);
    }
    if (all || s.smooth != a.smooth) {
        enable(GL_LINE_SMOOTH, s.smooth);
    }
    if (all || s.stipple != a.stipple) {
        enable(GL_POLYGON_STIPPLE, s.stipple);
    }
    if (all || s.atlas != a.atlas) {
        enable(GL_TEXTURE_2D, s.atlas != 0);
        enable(GL_ALPHA_TEST, s.atlas != 0);
        // Only text reads texture coordinates: other batches leave GL a smaller vertex to fetch.
        if (s.atlas != 0) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        if (s.atlas != 0) {
            glBindTexture(GL_TEXTURE_2D, gl11.atlases[s.atlas]);
        }
    }
    if (s.primitive == kDrawLines) {
        glLineWidth(s.size);
    } else if (s.primitive == kDrawPoints) {
        glPointSize(s.size);
    }
    gl11.applied = s;
    gl11.fresh = false;
}

void draw(const BatchState& state, const DrawVertex* vertices, int count) {
    if (count <= 0) {
        return;
    }
    apply(state);
    const auto stride = static_cast<GLsizei>(sizeof(DrawVertex));
    glVertexPointer(3, GL_FLOAT, stride, &vertices->x);
    glColorPointer(4, GL_FLOAT, stride, &vertices->r);
    if (state.atlas != 0) {
        glTexCoordPointer(2, GL_FLOAT, stride, &vertices->u);
    }
    const GLenum mode = state.primitive == kDrawPoints ? GL_POINTS : state.primitive == kDrawLines ? GL_LINES : GL_TRIANGLES;
    // Long runs of one colour (a burst's particles) go with that colour as GL's current one, as
    // immediate mode gave them: GL then fetches no colour per vertex. What lies between such runs
    // goes with the colour array, in order.
    const int unit = state.primitive == kDrawTriangles ? 3 : state.primitive == kDrawLines ? 2 : 1;
    constexpr int kLongRun = 64;
    const auto sameColour = [](const DrawVertex& a, const DrawVertex& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
    };
    int mixedStart = 0;
    for (int v = 0; v < count;) {
        int end = v + 1;
        while (end < count && sameColour(vertices[end], vertices[v])) {
            ++end;
        }
        // The whole primitives inside the run.
        const int first = (v + unit - 1) / unit * unit;
        const int last = end / unit * unit;
        if (state.atlas == 0 && last - first >= kLongRun) {
            if (first > mixedStart) {
                glDrawArrays(mode, mixedStart, first - mixedStart);
            }
            glDisableClientState(GL_COLOR_ARRAY);
            glColor4f(vertices[v].r, vertices[v].g, vertices[v].b, vertices[v].a);
            glDrawArrays(mode, first, last - first);
            glEnableClientState(GL_COLOR_ARRAY);
            mixedStart = last;
        }
        v = end;
    }
    if (count > mixedStart) {
        glDrawArrays(mode, mixedStart, count - mixedStart);
    }
}

bool windowPosition(float x, float y, float z, float out[3]) {
    glRasterPos3f(x, y, z);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    out[0] = position[0], out[1] = position[1], out[2] = position[2];
    return valid == GL_TRUE;
}

void readPixels(int x, int y, int width, int height, std::uint8_t* rgb) {
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

void finish() {
    glFinish();
}

}  // namespace

const DrawBackend gl11Backend{start, setView, setDepthTest, clear, setStipple, setAtlas, draw, windowPosition,
                              readPixels, finish};
