#pragma once
// Drawing tests run the real drawing code in the game's own window (Xvfb, Mesa) and read back the
// primitives GL emits in feedback mode.
#include <GL/gl.h>

#include <functional>
#include <vector>

// Opens (or re-opens) the game window windowed at width x height with the view box of a window
// that size. False when there is no X display to open it on.
bool openTestWindow(unsigned width, unsigned height, unsigned colourBits = 32);

struct FbVertex {
    float x, y, z;  // window coordinates, origin bottom-left; z is the depth value (1 - zGame) / 2
    float r, g, b, a;
};

struct FbPrimitive {
    GLint token;  // the feedback token as GL wrote it (a line reset stays apart from a line)
    std::vector<FbVertex> v;
};

// Everything draw() emits, in order (GL_3D_COLOR feedback), each primitive with all its vertices.
std::vector<FbPrimitive> captureFeedback(const std::function<void()>& draw);
