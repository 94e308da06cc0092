// A page cannot switch the monitor: its full screen is the browser's, asked for the element that
// holds the canvas (kept while the canvas is replaced), with the canvas scaled to fit at 4:3.
#include "platform/port.h"
#include "platform/web/web.h"

#include <emscripten.h>

namespace {

// The browser grants its full screen only shortly after a key press or a click, which the key
// that applies the options is; its answer comes later, and is waited for. One that never comes
// counts as a refusal.
EM_ASYNC_JS(int, askFullScreen, (const char* boxId), {
    const box = document.getElementById(UTF8ToString(boxId));
    if (!box || !box.requestFullscreen) {
        return 0;
    }
    if (document.fullscreenElement === box) {
        return 1;
    }
    if (navigator.userActivation && !navigator.userActivation.isActive) {
        return 0;  // no key press or click to grant it (the page is starting): refused without asking
    }
    const refused = new Promise(resolve => setTimeout(() => resolve(0), 5000));
    const granted = box.requestFullscreen({navigationUI: "hide"}).then(() => 1, () => 0);
    return await Promise.race([granted, refused]);
});

EM_JS(void, leaveFullScreen, (), {
    if (document.fullscreenElement && document.exitFullscreen) {
        document.exitFullscreen().catch(() => {});
    }
});

}  // namespace

// The size, depth and rate are the canvas's, not the screen's: only full screen itself is asked.
// Esc leaves the browser's full screen whenever the player likes, and the game goes on in the page.
bool switchDisplayMode(unsigned, unsigned, unsigned, unsigned) {
    return askFullScreen(kGameBoxId) != 0;
}

void restoreDisplayMode() {
    leaveFullScreen();
}
