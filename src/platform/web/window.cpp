// The window of the web port: a canvas with a WebGL 2 context, and the loop that runs its
// callbacks one animation frame at a time (README.md says why the loop is shaped so).
#include "platform/port.h"
#include "platform/web/web.h"

#include <GLES3/gl3.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct PageWindow {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
    int width, height;
    void (*display)();
    void (*idle)();
    void (*reshape)(int, int);
    bool redisplay;
    bool reshapePending;
};
PageWindow window{};

// A new canvas of width x height pixels in place of the old one (the CSS scales it to the page),
// so that each window has a context of its own, as a new desktop window has.
EM_JS(void, makeCanvas, (const char* boxId, const char* canvasId, int width, int height, int hideCursor, const char* title), {
    const box = document.getElementById(UTF8ToString(boxId));
    if (!box) {
        return;
    }
    const old = box.querySelector("canvas");
    // The old context goes at once, not when the browser next collects: a page may hold only a
    // few, and the player may apply the options many times.
    const gl = old && old.getContext("webgl2");
    const lose = gl && gl.getExtension("WEBGL_lose_context");
    if (lose) {
        lose.loseContext();
    }
    const canvas = document.createElement("canvas");
    canvas.id = UTF8ToString(canvasId);
    canvas.width = width;
    canvas.height = height;
    if (old) {
        old.replaceWith(canvas);
    } else {
        box.appendChild(canvas);
    }
    box.style.cursor = hideCursor ? "none" : "";
    document.title = UTF8ToString(title);
});

// Waits for the browser's next animation frame: the frame drawn before it goes on screen, and
// the page's events run meanwhile. A hidden page has no frames: the game waits until it shows.
EM_ASYNC_JS(void, nextFrame, (), { await new Promise(resolve => requestAnimationFrame(() => resolve())); });

// What a window system delivers between two idle calls: a changed size, then a repaint asked for.
void deliverEvents() {
    if (window.reshapePending && window.reshape != nullptr) {
        window.reshapePending = false;
        window.reshape(window.width, window.height);
    }
    if (window.redisplay && window.display != nullptr) {
        window.redisplay = false;
        window.display();
    }
}

// The line that ends the page, in the language the game will start in: the one saved in
// zarv.cfg (its line "ezik=", 1 for English), which is also what the language was at Exit.
const char* playAgainLine() {
    char line[64];
    bool english = false;
    if (std::FILE* file = std::fopen("zarv.cfg", "rb")) {
        while (std::fgets(line, sizeof line, file) != nullptr) {
            if (std::strncmp(line, "ezik=", 5) == 0) {
                english = line[5] == '1';
                break;
            }
        }
        std::fclose(file);
    }
    return english ? "Click to play again" : "Щракнете, за да играете отново";
}

// The canvas goes; in its place one line on black, and a click loads the page afresh, which
// starts the game again from the saved settings.
EM_JS(void, showPlayAgain, (const char* boxId, const char* canvasId, const char* text), {
    const box = document.getElementById(UTF8ToString(boxId));
    const old = box && box.querySelector("canvas");
    if (!old) {
        return;
    }
    const canvas = document.createElement("canvas");
    canvas.id = UTF8ToString(canvasId);
    canvas.width = old.width;
    canvas.height = old.height;
    old.replaceWith(canvas);
    box.style.cursor = "pointer";
    const c = canvas.getContext("2d");
    c.fillStyle = "#000";
    c.fillRect(0, 0, canvas.width, canvas.height);
    c.fillStyle = "#9f9";
    c.font = "bold " + Math.round(canvas.height / 20) + "px 'Liberation Sans', Arial, sans-serif";
    c.textAlign = "center";
    c.textBaseline = "middle";
    c.fillText(UTF8ToString(text), canvas.width / 2, canvas.height / 2);
    box.addEventListener("click", () => location.reload(), {once: true});
});

}  // namespace

const DrawBackend& windowDrawBackend() {
    return gles3Backend;
}

void startWindowSystem(int*, char**) {}

// The canvas never has alpha (the page would show through where the game clears to transparent
// black), and always a depth buffer, which only the 16-bit mode tests against.
void openWindow(const WindowRequest& request) {
    closeWindow();
    makeCanvas(kGameBoxId, kCanvasId, request.width, request.height, request.fullScreen ? 1 : 0, request.title);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    window.context = emscripten_webgl_create_context(kCanvasSelector, &attributes);
    if (window.context <= 0) {
        window.context = 0;
        return;
    }
    emscripten_webgl_make_context_current(window.context);
    window.width = request.width;
    window.height = request.height;
    window.reshapePending = true;
    window.redisplay = true;
}

void closeWindow() {
    if (window.context != 0) {
        emscripten_webgl_destroy_context(window.context);
    }
    window = PageWindow{};
}

bool windowIsOpen() {
    return window.context != 0;
}

void setWindowCallbacks(void (*display)(), void (*idle)()) {
    window.display = display;
    window.idle = idle;
}

void setReshapeCallback(void (*reshape)(int width, int height)) {
    window.reshape = reshape;
}

// The browser shows what was drawn once the page gives it back control: there is nothing to swap.
void swapWindowBuffers() {}

void requestRedisplay() {
    window.redisplay = true;
}

// A wait inside a callback (a key capture, the name entry's last Enter) gives the browser its
// frame, so the page never freezes, and draws what was asked meanwhile.
void serviceWindowWhileWaiting() {
    if (window.context == 0) {
        return;
    }
    deliverEvents();
    nextFrame();
}

void runWindowLoop() {
    for (;;) {
        nextFrame();
        deliverEvents();
        if (window.idle != nullptr) {
            window.idle();
        }
    }
}

void endProgram(int status) {
    if (window.context != 0) {
        glFinish();
    }
    restoreDisplayMode();
    showPlayAgain(kGameBoxId, kCanvasId, playAgainLine());
    std::exit(status);
}
