#pragma once
// Offscreen OpenGL contexts for drawing tests, on Mesa's surfaceless EGL platform (no display
// needed): a desktop compatibility context and an OpenGL ES 3 one, both kept for the whole run so
// that a test can draw the same frame in each and switch back and forth. Each draws into a
// framebuffer object of its own: RGBA8 colour and a 24-bit depth buffer.
enum class EglKind { DesktopCompatibility, Es3 };

// Makes the context of that kind current with its framebuffer of width x height pixels bound (the
// context made on first use, the framebuffer resized when asked for another size), until the test
// ends: then no EGL context is current, and the game window's GLX context, if this took its place,
// is current again. False when EGL or that kind of context cannot be had here (the test skips).
bool useEglContext(EglKind kind, int width, int height);
// What the end of every test does: the EGL context let go, the displaced GLX one current again.
void leaveEglContext();
