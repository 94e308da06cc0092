#include "support/egl_context.h"

#include <gtest/gtest.h>  // before X11's headers, whose macros (None, Bool) it would take for its names

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glx.h>
#include <GLES3/gl3.h>  // framebuffer objects, the same calls in both kinds of context

#include <cstring>

namespace {

struct Offscreen {
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffer = 0, colour = 0, depth = 0;
    int width = 0, height = 0;
};
EGLDisplay display = EGL_NO_DISPLAY;
Offscreen offscreens[2];  // by EglKind

EGLContext newContext(EglKind kind) {
    const EGLint es3[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
    const bool es = kind == EglKind::Es3;
    if (eglBindAPI(es ? EGL_OPENGL_ES_API : EGL_OPENGL_API) == EGL_FALSE) {
        return EGL_NO_CONTEXT;
    }
    // No config: a surfaceless context only ever draws into its framebuffer objects.
    return eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, es ? es3 : nullptr);
}

// The game window's GLX context, when one was current before a test took an EGL one.
struct Glx {
    Display* display = nullptr;
    GLXDrawable draw = 0, read = 0;
    GLXContext context = nullptr;
} displaced;

// The GL dispatch has one current context a thread, from GLX or EGL, and neither may take the
// place of the other's: a test's EGL context is let go when it ends, and a GLX context it displaced
// made current again. Its drawing is finished first: Mesa compiles what a flush needs with LLVM,
// whose statics go early in exit, and drawing left to then would crash.
class ReleaseContext : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        leaveEglContext();
    }
};
const bool releasing = (::testing::UnitTest::GetInstance()->listeners().Append(new ReleaseContext), true);

}  // namespace

void leaveEglContext() {
    if (eglGetCurrentContext() != EGL_NO_CONTEXT) {
        glFinish();
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (displaced.context != nullptr) {
        glXMakeContextCurrent(displaced.display, displaced.draw, displaced.read, displaced.context);
        displaced = Glx{};
    }
}

bool useEglContext(EglKind kind, int width, int height) {
    static const bool initialised = [] {
        const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        const auto platformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (extensions == nullptr || std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr ||
            platformDisplay == nullptr) {
            return false;
        }
        display = platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        return display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) == EGL_TRUE;
    }();
    if (eglGetCurrentContext() != EGL_NO_CONTEXT) {
        glFinish();  // the other context's drawing done before it is left (see ReleaseContext)
    }
    if (initialised && glXGetCurrentContext() != nullptr) {
        displaced = Glx{glXGetCurrentDisplay(), glXGetCurrentDrawable(), glXGetCurrentReadDrawable(),
                        glXGetCurrentContext()};
        glXMakeContextCurrent(displaced.display, None, None, nullptr);
    }
    Offscreen& o = offscreens[kind == EglKind::Es3 ? 1 : 0];
    if (!initialised || (o.context == EGL_NO_CONTEXT && (o.context = newContext(kind)) == EGL_NO_CONTEXT) ||
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, o.context) == EGL_FALSE) {
        return false;
    }
    if (o.framebuffer == 0) {
        glGenFramebuffers(1, &o.framebuffer), glGenRenderbuffers(1, &o.colour), glGenRenderbuffers(1, &o.depth);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, o.framebuffer);
    if (o.width != width || o.height != height) {
        o.width = width, o.height = height;
        glBindRenderbuffer(GL_RENDERBUFFER, o.colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, o.depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, o.colour);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, o.depth);
    }
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}
