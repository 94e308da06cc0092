// The OpenGL ES 3 / WebGL 2 drawing backend: one shader pair for every batch, each batch streamed
// into one buffer and drawn with one call. What ES lacks beside desktop GL 1.1 is made here: wide
// and smooth lines become quads with a feathered edge, the polygon stipple a 32 x 32 mask texture
// anchored to the window, the raster position a sum on the CPU.
#include "platform/draw_backend.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// What the fragment shader does besides the vertex colour: bits of its `mode`.
constexpr int kModeAtlas = 1;    // only the glyph atlas's lit texels
constexpr int kModeStipple = 2;  // only the window pixels the mask keeps
constexpr int kModeEdge = 4;     // a smooth line's quad: (distance from the centre, half width) in
                                 // the texel coordinates, alpha falling off over the edge's pixel

// Colours are clamped per vertex, as fixed-function GL clamps the current colour before it is
// interpolated or blended. A point (pointSize above 0, a whole number) is GL's unsmoothed square:
// centred on a pixel's centre when its size is odd, on a pixel corner when even, the one nearest.
const char* const kVertexShader = R"(#version 300 es
uniform mat4 projection;
uniform vec2 viewport;
uniform float pointSize;
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 texel;
out vec4 vColour;
out vec2 vTexel;
void main() {
    gl_Position = projection * vec4(position, 1.0);
    gl_PointSize = max(pointSize, 1.0);
    if (pointSize > 0.0) {
        vec2 window = (gl_Position.xy / gl_Position.w * 0.5 + 0.5) * viewport;
        vec2 centre = mod(pointSize, 2.0) == 1.0 ? floor(window) + 0.5 : floor(window + 0.5);
        gl_Position.xy = (centre / viewport * 2.0 - 1.0) * gl_Position.w;
    }
    vColour = clamp(colour, 0.0, 1.0);
    vTexel = texel;
}
)";

const char* const kFragmentShader = R"(#version 300 es
precision highp float;
uniform int mode;
uniform sampler2D atlas;
uniform sampler2D stipple;
in vec4 vColour;
in vec2 vTexel;
out vec4 fragColour;
void main() {
    float alpha = vColour.a;
    if ((mode & 1) != 0 && texture(atlas, vTexel).r < 0.5) discard;
    if ((mode & 2) != 0 && texelFetch(stipple, ivec2(gl_FragCoord.xy) % 32, 0).r < 0.5) discard;
    if ((mode & 4) != 0) {
        float coverage = clamp(vTexel.y + 0.5 - abs(vTexel.x), 0.0, 1.0);
        if (coverage <= 0.0) discard;
        alpha *= coverage;
    }
    fragColour = vec4(vColour.rgb, alpha);
}
)";

// What the backend keeps in the current context, and the view it draws.
struct Gles3 {
    bool ready = false;
    GLuint stipple = 0;
    GLuint atlases[kDrawAtlasSlots] = {};
    GLint projection = -1, viewport = -1, pointSize = -1, mode = -1;
    float pointSizeSet = 0;  // 0 for every batch but points
    int width = 1, height = 1;
    ViewBox box{-1, 1, -1, 1};
    float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};  // column by column
    std::vector<DrawVertex> quads;      // the lines of the batch drawn as quads
    std::vector<std::uint8_t> scratch;  // texels and read-back pixels on their way
};
Gles3 es;

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == 0) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint newTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

void setStipple(const std::uint8_t mask[kStippleBytes]) {
    if (!es.ready || mask == nullptr) {
        return;
    }
    es.scratch.resize(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) {
        es.scratch[i] = (mask[i / 8] & (0x80 >> (i % 8))) != 0 ? 255 : 0;
    }
    glActiveTexture(GL_TEXTURE1);  // the mask's own unit; the atlases take unit 0
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 32, 32, GL_RED, GL_UNSIGNED_BYTE, es.scratch.data());
    glActiveTexture(GL_TEXTURE0);
}

// Objects of an earlier context are gone with it: everything is made anew, never deleted.
bool start() {
    es = Gles3{};
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    const GLuint program = vertex != 0 && fragment != 0 ? glCreateProgram() : 0;
    GLint linked = 0;
    if (program != 0) {
        glAttachShader(program, vertex), glAttachShader(program, fragment);
        glLinkProgram(program);
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
    }
    glDeleteShader(vertex), glDeleteShader(fragment);  // kept alive by the program
    if (linked == 0) {
        glDeleteProgram(program);
        return false;
    }
    glUseProgram(program);
    es.projection = glGetUniformLocation(program, "projection");
    es.viewport = glGetUniformLocation(program, "viewport");
    es.pointSize = glGetUniformLocation(program, "pointSize");
    es.mode = glGetUniformLocation(program, "mode");
    glUniform1i(glGetUniformLocation(program, "atlas"), 0);
    glUniform1i(glGetUniformLocation(program, "stipple"), 1);

    GLuint vao = 0, buffer = 0;
    glGenVertexArrays(1, &vao), glBindVertexArray(vao);
    glGenBuffers(1, &buffer), glBindBuffer(GL_ARRAY_BUFFER, buffer);
    constexpr GLsizei stride = sizeof(DrawVertex);
    const auto at = [](std::size_t offset) { return reinterpret_cast<const void*>(offset); };
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(DrawVertex, x)));
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, at(offsetof(DrawVertex, r)));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, at(offsetof(DrawVertex, u)));
    for (GLuint attribute = 0; attribute < 3; ++attribute) {
        glEnableVertexAttribArray(attribute);
    }

    // Glyph rows and the mask's 32 texels a row are not padded to 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glActiveTexture(GL_TEXTURE1);
    es.stipple = newTexture();
    const std::vector<std::uint8_t> solid(32 * 32, 255);  // GL's own pattern before any is set
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, 32, 32, 0, GL_RED, GL_UNSIGNED_BYTE, solid.data());
    glActiveTexture(GL_TEXTURE0);

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LESS);
    es.ready = true;
    glUniformMatrix4fv(es.projection, 1, GL_FALSE, es.matrix);
    glUniform2f(es.viewport, 1, 1);
    return true;
}

// glOrtho(left, right, bottom, top, -1, 1), worked out in double as GL's matrices are given; an
// empty box leaves the projection as it was, as glOrtho does.
void setView(int width, int height, const ViewBox& box) {
    if (!es.ready) {
        return;
    }
    es.width = width > 0 ? width : 0;
    es.height = height > 0 ? height : 0;
    glViewport(0, 0, es.width, es.height);
    glUniform2f(es.viewport, static_cast<float>(es.width), static_cast<float>(es.height));
    if (box.right == box.left || box.top == box.bottom) {
        return;
    }
    es.box = box;
    const double wide = box.right - box.left, high = box.top - box.bottom;
    es.matrix[0] = static_cast<float>(2.0 / wide);
    es.matrix[5] = static_cast<float>(2.0 / high);
    es.matrix[12] = static_cast<float>(-(box.right + box.left) / wide);
    es.matrix[13] = static_cast<float>(-(box.top + box.bottom) / high);
    glUniformMatrix4fv(es.projection, 1, GL_FALSE, es.matrix);
}

void setDepthTest(bool on) {
    if (es.ready) {
        on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    }
}

void clear() {
    if (es.ready) {
        glClearColor(0, 0, 0, 0);
        glClearDepthf(1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
}

void setAtlas(int slot, const std::uint8_t* texels, int width, int height) {
    if (!es.ready || slot < 1 || slot >= kDrawAtlasSlots || texels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    if (es.atlases[slot] == 0) {
        es.atlases[slot] = newTexture();
    }
    glBindTexture(GL_TEXTURE_2D, es.atlases[slot]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, width, height, 0, GL_RED, GL_UNSIGNED_BYTE, texels);
}

// Each line as two triangles reaching `reach` pixels to either side of it, measured in window
// pixels and taken back into view units; it ends where the line ends, as GL's wide lines do. A
// smooth line's quad lies across its direction, its texel coordinates carrying the distance from
// the centre line (pixels) and the half width; a plain wide line is GL's own shape, shifted up and
// down when it runs more across than up, else left and right.
void lineQuads(const DrawVertex* vertices, int count, bool smooth, float halfWidth, float reach) {
    es.quads.clear();
    const double perX = es.width / (es.box.right - es.box.left), perY = es.height / (es.box.top - es.box.bottom);
    for (int i = 0; i + 1 < count; i += 2) {
        const DrawVertex &a = vertices[i], &b = vertices[i + 1];
        const double dx = (b.x - a.x) * perX, dy = (b.y - a.y) * perY, length = std::hypot(dx, dy);
        if (!(length > 0.0)) {
            continue;  // no direction to be wide across
        }
        const bool across = std::abs(dx) >= std::abs(dy);
        const double sideX = smooth ? -dy / length : across ? 0.0 : 1.0;
        const double sideY = smooth ? dx / length : across ? 1.0 : 0.0;
        const auto nx = static_cast<float>(sideX * reach / perX), ny = static_cast<float>(sideY * reach / perY);
        DrawVertex corner[4] = {a, a, b, b};
        for (int k = 0; k < 4; ++k) {
            const float side = k % 2 == 0 ? 1.0f : -1.0f;
            corner[k].x += side * nx, corner[k].y += side * ny;
            corner[k].u = side * reach, corner[k].v = halfWidth;
        }
        for (const int k : {0, 1, 2, 2, 1, 3}) {
            es.quads.push_back(corner[k]);
        }
    }
}

void draw(const BatchState& state, const DrawVertex* vertices, int count) {
    if (!es.ready || vertices == nullptr || count <= 0) {
        return;
    }
    GLenum primitive = GL_TRIANGLES;
    int mode = 0;
    // GL rounds an unsmoothed point's size to whole pixels.
    const float pointSize = state.primitive == kDrawPoints ? std::max(1.0f, std::round(state.size)) : 0.0f;
    if (pointSize != es.pointSizeSet) {
        glUniform1f(es.pointSize, es.pointSizeSet = pointSize);
    }
    if (state.primitive == kDrawPoints) {
        primitive = GL_POINTS;
    } else if (state.primitive == kDrawLines && !state.smooth && !(state.size > 1.0f)) {
        primitive = GL_LINES;
        count -= count % 2;
    } else if (state.primitive == kDrawLines) {
        // WebGL has neither smooth lines nor lines wider than a pixel. A smooth line's coverage
        // falls from 1 to 0 over the pixel across each edge, so its quad reaches half a pixel
        // further than the width.
        const float half = state.size / 2;
        lineQuads(vertices, count, state.smooth, half, state.smooth ? half + 0.5f : half);
        vertices = es.quads.data();
        count = static_cast<int>(es.quads.size());
        mode = state.smooth ? kModeEdge : 0;
    } else {
        count -= count % 3;
        if (state.atlas >= 1 && state.atlas < kDrawAtlasSlots) {
            glBindTexture(GL_TEXTURE_2D, es.atlases[state.atlas]);
            mode |= kModeAtlas;
        }
        mode |= state.stipple ? kModeStipple : 0;
    }
    if (count == 0) {
        return;
    }
    state.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    glUniform1i(es.mode, mode);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(DrawVertex)), vertices, GL_STREAM_DRAW);
    glDrawArrays(primitive, 0, count);
}

// What glRasterPos makes of the point: the projection (float, as GL's), clipped to the view
// volume, then the viewport's and the depth range's scale and offset.
bool windowPosition(float x, float y, float z, float out[3]) {
    if (!es.ready) {
        return false;
    }
    float clip[4];
    for (int i = 0; i < 4; ++i) {
        clip[i] = es.matrix[i] * x + es.matrix[4 + i] * y + es.matrix[8 + i] * z + es.matrix[12 + i];
    }
    for (int i = 0; i < 3; ++i) {
        if (!(clip[i] >= -clip[3] && clip[i] <= clip[3])) {
            return false;
        }
    }
    const float half[3] = {es.width / 2.0f, es.height / 2.0f, 0.5f};
    for (int i = 0; i < 3; ++i) {
        out[i] = clip[i] / clip[3] * half[i] + half[i];
    }
    return true;
}

// ES promises only RGBA bytes to read: they come through the scratch buffer, alpha dropped. A
// backend that is not ready reads black.
void readPixels(int x, int y, int width, int height, std::uint8_t* rgb) {
    if (rgb == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    es.scratch.assign(pixels * 4, 0);
    if (es.ready) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, es.scratch.data());
    }
    for (std::size_t i = 0; i < pixels; ++i) {
        rgb[3 * i] = es.scratch[4 * i], rgb[3 * i + 1] = es.scratch[4 * i + 1], rgb[3 * i + 2] = es.scratch[4 * i + 2];
    }
}

void finish() {
    if (es.ready) {
        glFinish();
    }
}

}  // namespace

const DrawBackend gles3Backend = {
    .start = start,
    .setView = setView,
    .setDepthTest = setDepthTest,
    .clear = clear,
    .setStipple = setStipple,
    .setAtlas = setAtlas,
    .draw = draw,
    .windowPosition = windowPosition,
    .readPixels = readPixels,
    .finish = finish,
};
