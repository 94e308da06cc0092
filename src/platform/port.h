#pragma once
// What a port implements: every call zarv makes of the system, grouped by service, each with the
// promise callers rely on. A port is a folder beside this file (linux/, windows/, web/); CMake builds
// the folder of the target system, and the desktop ports share desktop/ (freeglut, SDL2).
// Conventions every port keeps are in README.md: failures are silent, a bool is true when the call
// did what it was asked, no input may crash, hang or overrun a buffer.
#include "platform/draw_backend.h"
#include "platform/midi.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// ---- Clock
// Milliseconds of a monotonic clock, fractions kept, never going back.
double monotonicMs();
// Yields the processor for about ms milliseconds.
void sleepMs(unsigned ms);

// ---- Keys (Windows virtual-key codes 1..255 on every port)
// Opens the connection key queries use, closing an earlier one; the game window carries this
// title. False when no display can be reached: every key then reads up, the window unfocused.
bool openKeyboard(const char* gameWindowTitle);
void closeKeyboard();
// Down now, or pressed since this code was last asked (once); codes no key sends read false.
bool portKeyDown(int vk);
// True while the game window has the keyboard focus; presses another program's window was sent
// are forgotten when the focus moves.
bool portWindowFocused();

// ---- Window system: one window with an OpenGL context, its callbacks and its loop
// The drawing backend for the kind of OpenGL context the port's windows carry.
const DrawBackend& windowDrawBackend();
// Starts the window system; some take options from the program's arguments. Before any window.
void startWindowSystem(int* argc, char** argv);
struct WindowRequest {
    int width;
    int height;
    // 8 asks for alpha, 16 for a depth buffer, 32 for a stencil buffer; a mode the system cannot
    // give falls back to plain double-buffered colour.
    unsigned colourBits;
    bool fullScreen;  // covers the screen (already switched) and hides the cursor
    const char* title;
};
// Opens the window (at 10, 10; full screen at 0, 0) and makes its context current.
void openWindow(const WindowRequest& request);
// Closes the window and its context; a new one may be opened in the same callback.
void closeWindow();
bool windowIsOpen();
// The open window's display and idle callbacks, both replaced at once.
void setWindowCallbacks(void (*display)(), void (*idle)());
// Called with the window's size in pixels whenever it changes (and once when it first shows).
void setReshapeCallback(void (*reshape)(int width, int height));
void swapWindowBuffers();
// The display callback runs again at the loop's next turn.
void requestRedisplay();
// One turn of the window's events from inside a callback (repaint, activation, the system's
// are-you-alive pings) without the idle callback, then about a millisecond; nothing without a window.
void serviceWindowWhileWaiting();
// Runs the window's loop until the program ends.
[[noreturn]] void runWindowLoop();
// Ends the program with the status through the normal exit, exit handlers included, after the
// GL work in flight is finished.
[[noreturn]] void endProgram(int status);

// ---- Display mode
// Switches the screen to width x height (at refreshHz unless 0). False when refused: the screen
// stays as it was. A switched mode is undone at every exit, fatal signals and crashes included.
bool switchDisplayMode(unsigned width, unsigned height, unsigned colourBits, unsigned refreshHz);
// Puts back the mode that was active before the first switch; safe at any time.
void restoreDisplayMode();

// ---- Fonts
// One character of a bitmap font: width x height pixels (a byte each, 0 or 255, rows top-down)
// from `offset` in the font's pixels, its left column `left` pixels right of the pen and its top
// row `top` pixels above the baseline; the pen then moves `advance` pixels.
struct FontGlyph {
    std::int16_t width, height, left, top, advance;
    std::uint32_t offset;
};
struct FontBitmaps {
    FontGlyph glyphs[256];
    std::vector<std::uint8_t> pixels;
};
// Windows-1251 characters 0..255 of a bold Arial-metric face heightPx high (the em size), with the
// pixels the system's own bitmap text gives them; charset 204 asks for Cyrillic. A character that
// cannot be had is empty; without any face every one is empty and advances half the height.
void renderFontBitmaps(unsigned heightPx, unsigned charset, FontBitmaps& out);

// ---- MIDI devices
// The port's device families in the order they are tried; device 0 is the first that can play.
extern const MidiBackend* const kPlatformMidiBackends[];
extern const int kPlatformMidiBackendCount;
// Keeps the MIDI libraries from printing; idempotent.
void quietMidiLibraries();
// The instruments (bank, program) a built-in synthesiser will be asked for: the rest stay out of
// memory. nullptr (the default) keeps them all. Before opening; ports without one ignore it.
struct MidiInstrument {
    std::uint16_t bank;
    std::uint16_t program;
};
void setMidiSynthInstruments(const MidiInstrument* instruments, int count);

// ---- Settings file
// Puts these bytes in the file at path. True when the new content is in place; false leaves the
// old content (or no file, where there was none; the in-place rewrite's one exception is below),
// and reports nothing.
// - Whenever a new file can take the old one's place, the new content is written beside it and
//   moved over it in one step: a crash or a failure leaves the old file as it was, or the new one
//   in its place (then the result is true).
// - Where the file must keep its place (a folder the player may not write, a second name for the
//   file, an owner or access rights a new file could not keep), it is rewritten in place
//   (file_in_place.h). The file reads as the old content or the new, followed at most by zero
//   bytes, which the settings reader ignores, before and after the one write of the new bytes,
//   and after a failure the system reports (a full disk stops it before anything is overwritten;
//   after a failing write or flush the old bytes are written back, and only should that fail too
//   can the file stay mixed). A crash or power loss during that write may leave a mixture of old
//   and new bytes.
// - A symbolic link is followed and stays a link; its target receives the content (and is made
//   when it does not exist yet).
// - A file the player may not write, or that nobody may write, is never changed.
bool replaceFileContents(const char* path, const char* bytes, std::size_t size);

// ---- Console
// Hides a console window opened for the game alone; a terminal the player started it from stays.
void hideConsoleWindow();

// ---- Game pads: every pad the port knows reads as one layout
struct PadState {
    std::uint8_t up, down, left, right;  // left stick past its dead zone, or the D-pad
    std::uint8_t a, b, start;
    std::uint8_t fire;  // the right shoulder button, or the right trigger past its dead zone
};
// Starts the pads (no window, video or audio of the pads' library). False when they cannot be
// had: later calls then do nothing and report nothing held.
bool openGamepads();
// Closes every pad; later calls report nothing held until the next openGamepads.
void closeGamepads();
// What all pads hold together now. Pads plugged in since the last call open, pads pulled out
// are forgotten (a pad pulled out mid-push holds nothing). A stick or trigger counts from a
// quarter of its travel until it falls back below a sixth.
PadState readGamepads();
// A short rumble on every open pad that can rumble.
void rumbleGamepads();
