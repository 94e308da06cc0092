#pragma once
// Drives the real zarv binary on a private X server: starts the server and the game in a temporary
// directory, presses keys through XTEST (xdotool), reads screenshots and zarv.cfg. The Xorg
// display-switch test shares the process and server helpers at the end.
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // 3 bytes a pixel, rows top to bottom

    // Pixels in [x0, x1) x [y0, y1) whose colour is within tol of (r, g, b) on every channel.
    int count(int x0, int y0, int x1, int y1, int r, int g, int b, int tol = 8) const;
};

// Runs a shell command with DISPLAY set; its standard output.
std::string runCapture(const std::string& command, int display);

// Starts an X server (its program and arguments; -displayfd is added) that dies with this
// process; its display number, or -1 when it did not come up in time.
int startXServer(std::vector<std::string> command, pid_t& pid);
// Starts zarv in dir on the display, its output kept in dir/output.txt.
// The game is the Linux build, or a shell command line (the Windows build under Wine), whose own
// output and Wine's are kept apart in dir/wine-output.txt.
pid_t startZarv(const std::string& dir, int display, const char* command = nullptr);
// ZARV_GAME_COMMAND from the environment, or nullptr for the Linux build.
const char* gameCommand();
// The game window's id on the display, focused; empty when there is none.
std::string focusGameWindow(int display);
// The wait status of pid, or -1 when it did not end in time (it is then killed and reaped).
int waitStatus(pid_t pid, int timeoutMs);
inline std::string wholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Asks every 50 ms until the condition holds or the time is up (by the clock, however long each
// asking takes); whether it held. A busy machine slows the wait instead of failing it.
template <class Condition>
bool waitFor(Condition holds, int timeoutMs = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (; !holds(); std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
        if (std::chrono::steady_clock::now() > end) {
            return holds();
        }
    }
    return true;
}

class GameRun {
public:
    // A fresh display and a fresh temporary working directory (optionally with a settings file).
    GameRun();
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    void writeSettings(const std::string& bytes) { std::ofstream(dir_ + "/zarv.cfg", std::ios::binary) << bytes; }
    bool settingsExist() const { return std::ifstream(dir_ + "/zarv.cfg").good(); }
    std::string readSettings() const { return wholeFile(dir_ + "/zarv.cfg"); }
    // Everything the game wrote to its standard output and error.
    std::string output() const { return wholeFile(dir_ + "/output.txt"); }

    // Starts zarv and waits for its window; false if none appeared in time.
    bool start(const char* command = gameCommand());
    // waitFor; a wait that fails copies its last screenshot, the game's output and where the focus is
    // to e2e-failures/<test>-line<N> beside the test program (the run's own folder goes) and names it.
    template <class Condition>
    // The caller's line by the compilers' builtin: Clang 14 has no std::source_location.
    bool waitFor(Condition holds, int timeoutMs = 30000, int line = __builtin_LINE()) {
        return ::waitFor(holds, timeoutMs) || keepEvidence("line" + std::to_string(line));
    }
    bool keepEvidence(const std::string& where);  // false
    // Waits for the process to end; its exit status, or -1 when it is still running after the wait.
    int waitExit(int timeoutMs = 30000);
    bool running();

    // Taps each of the keys (names as xdotool knows them, "Down Return F8 KP_Up") in turn.
    void tap(const std::string& keys);
    // An xdotool command line ("keydown KP_Up Tab") to the game window, found and focused first: a
    // re-created window is a new X window.
    void xdotool(const std::string& args) {
        window_ = focusGameWindow(display_);
        runCapture("xdotool " + args, display_);
    }
    // Under Wine a re-created window takes over a second to get its keys: the long waits, which
    // follow a re-creation, are longer there.
    void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(underWine_ && ms >= 500 ? ms + 2000 : ms)); }

    // Opens another program's window (under Wine a Windows one, whose activation Wine follows)
    // over the game's lower right part, clicks it and types the key into it; false when no such
    // window appeared.
    bool typeIntoAnotherWindow(const std::string& key);
    // A click inside the game window, as a player takes the focus back (under Wine; without a
    // window manager the X focus stays where it was).
    void clickGame() { runCapture("xdotool mousemove --window " + window_ + " 100 300 click 1", display_); }

    // The game window as the X server holds it, at its size.
    Image screenshot();

private:
    int display_ = -1;
    pid_t server_ = -1;
    pid_t game_ = -1;
    int gameStatus_ = -1;
    bool underWine_ = false;
    std::string dir_;
    std::string window_;
    std::string lastShot_;  // as import gave it (PPM)
};
