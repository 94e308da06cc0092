#pragma once
// Drives the real zarv binary on a private virtual X display: starts the server and the game in a
// temporary directory, presses keys through XTEST (xdotool), reads screenshots and zarv.cfg.
#include <string>
#include <sys/types.h>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // 3 bytes a pixel, rows top to bottom

    bool valid() const { return width > 0 && height > 0; }
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    // Pixels in [x0, x1) x [y0, y1) whose colour is within tol of (r, g, b) on every channel.
    int count(int x0, int y0, int x1, int y1, int r, int g, int b, int tol = 8) const;
    // Pixels in the box that are not black.
    int countLit(int x0, int y0, int x1, int y1) const;
};

// ZARV_GAME_COMMAND from the environment, or nullptr for the Linux build.
const char* gameCommand();

class GameRun {
public:
    // A fresh display and a fresh temporary working directory (optionally with a settings file).
    GameRun();
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    bool displayReady() const { return display_ >= 0; }
    const std::string& dir() const { return dir_; }

    void writeSettings(const std::string& bytes);
    bool settingsExist() const;
    std::string readSettings() const;
    // Everything the game wrote to its standard output and error.
    std::string output() const;

    // Starts zarv and waits for its window; false if none appeared in time. The game is the Linux
    // build, or a shell command line (the Windows build under Wine: ZARV_GAME_COMMAND).
    bool start(const char* command = gameCommand());
    // Waits for the process to end; its exit status, or -1 when it is still running after the wait.
    int waitExit(int timeoutMs);
    bool running();

    // Key names as xdotool knows them ("Down", "Return", "Escape", "F8", "KP_8").
    void tap(const std::string& key, int holdMs = 80);
    void keyDown(const std::string& key);
    void keyUp(const std::string& key);
    void pause(int ms);

    Image screenshot();
    // The game window's size as the X server reports it.
    bool windowSize(int& w, int& h);

private:
    std::string readFile(const std::string& name) const;
    std::string xdotool(const std::string& args);
    void refreshWindowId();

    int display_ = -1;
    pid_t server_ = -1;
    pid_t game_ = -1;
    int gameStatus_ = -1;
    bool underWine_ = false;
    std::string dir_;
    std::string window_;
};

// Runs a shell command with DISPLAY set; its standard output.
std::string runCapture(const std::string& command, int display);
