#include "e2e/harness.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void sleepFor(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void killAndReap(pid_t pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

bool readPpm(const std::string& path, Image& image) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    if (!in || magic != "P6" || maxValue != 255 || image.width <= 0 || image.height <= 0) {
        image = Image{};
        return false;
    }
    in.get();
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    if (!in) {
        image = Image{};
        return false;
    }
    return true;
}

}  // namespace

int Image::count(int x0, int y0, int x1, int y1, int r, int g, int b, int tol) const {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x) {
            const unsigned char* p = at(x, y);
            if (std::abs(p[0] - r) <= tol && std::abs(p[1] - g) <= tol && std::abs(p[2] - b) <= tol) {
                ++n;
            }
        }
    }
    return n;
}

int Image::countLit(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x) {
            const unsigned char* p = at(x, y);
            if (p[0] > 16 || p[1] > 16 || p[2] > 16) {
                ++n;
            }
        }
    }
    return n;
}

std::string runCapture(const std::string& command, int display) {
    const std::string full = "DISPLAY=:" + std::to_string(display) + " " + command + " 2>/dev/null";
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) {
        return {};
    }
    std::string out;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    pclose(pipe);
    return out;
}

GameRun::GameRun() {
    char pattern[] = "/tmp/zarv-e2e-XXXXXX";
    if (mkdtemp(pattern)) {
        dir_ = pattern;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    server_ = fork();
    if (server_ == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2560x1920x24", "-nolisten", "tcp",
               "+extension", "GLX", "+extension", "RANDR", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char number[32] = {};
    size_t got = 0;
    // The server writes its display number once it accepts connections.
    while (got < sizeof number - 1) {
        const ssize_t n = read(fds[0], number + got, sizeof number - 1 - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<size_t>(n);
        if (std::strchr(number, '\n')) {
            break;
        }
    }
    close(fds[0]);
    if (got > 0) {
        display_ = std::atoi(number);
    }
}

GameRun::~GameRun() {
    if (game_ > 0 && gameStatus_ < 0) {
        killAndReap(game_);
    }
    killAndReap(server_);
    if (!dir_.empty()) {
        const std::string command = "rm -rf '" + dir_ + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not remove %s\n", dir_.c_str());
        }
    }
}

void GameRun::writeSettings(const std::string& bytes) {
    std::ofstream out(dir_ + "/zarv.cfg", std::ios::binary);
    out << bytes;
}

bool GameRun::settingsExist() const {
    struct stat st{};
    return stat((dir_ + "/zarv.cfg").c_str(), &st) == 0;
}

std::string GameRun::readSettings() const {
    return readFile("zarv.cfg");
}

std::string GameRun::output() const {
    return readFile("output.txt");
}

std::string GameRun::readFile(const std::string& name) const {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string GameRun::xdotool(const std::string& args) {
    return runCapture("xdotool " + args, display_);
}

void GameRun::refreshWindowId() {
    // The topmost match, listed last: under Wine a destroyed window's X window may stay behind.
    std::string id = xdotool("search --name '^zarv 713a$'");
    while (!id.empty() && id.back() == '\n') {
        id.pop_back();
    }
    window_ = id.substr(id.rfind('\n') + 1);
    if (!window_.empty()) {
        // A re-created window is a new X window; the key state is read only while it has the focus.
        xdotool("windowfocus --sync " + window_);
    }
}

const char* gameCommand() {
    const char* command = std::getenv("ZARV_GAME_COMMAND");
    return command != nullptr && *command != '\0' ? command : nullptr;
}

bool GameRun::start(const char* command) {
    if (display_ < 0 || dir_.empty()) {
        return false;
    }
    // A Windows program has no terminal; what Wine and the libraries print under Wine is not
    // the game's, and is kept apart.
    const char* outputName = command != nullptr ? "wine-output.txt" : "output.txt";
    underWine_ = command != nullptr;
    game_ = fork();
    if (game_ == 0) {
        if (chdir(dir_.c_str()) != 0) {
            _exit(126);
        }
        // No std::string between fork and exec: the child of a threaded test may not allocate.
        char display[32];
        std::snprintf(display, sizeof display, ":%d", display_);
        setenv("DISPLAY", display, 1);
        // Whatever the game or its libraries print is kept for the tests to read.
        const int output = open(outputName, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (output >= 0) {
            dup2(output, 1);
            dup2(output, 2);
            close(output);
        }
        if (command != nullptr) {
            execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
        } else {
            execl(ZARV_BINARY, ZARV_BINARY, static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
        refreshWindowId();
        if (!window_.empty()) {
            pause(300);  // let the first menu frames reach the screen
            return true;
        }
        if (!running()) {
            std::fprintf(stderr, "zarv ended at start-up with status %d\n", gameStatus_);
            return false;
        }
        pause(100);
    }
    return false;
}

bool GameRun::running() {
    if (game_ <= 0 || gameStatus_ >= 0) {
        return false;
    }
    int status = 0;
    const pid_t r = waitpid(game_, &status, WNOHANG);
    if (r == game_) {
        gameStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

int GameRun::waitExit(int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        if (!running()) {
            return gameStatus_;
        }
        sleepFor(20);
    }
    return -1;
}

void GameRun::keyDown(const std::string& key) {
    refreshWindowId();
    xdotool("keydown " + key);
}

void GameRun::keyUp(const std::string& key) {
    xdotool("keyup " + key);
}

void GameRun::tap(const std::string& key, int holdMs) {
    keyDown(key);
    pause(holdMs);
    keyUp(key);
    pause(120);
}

void GameRun::pause(int ms) {
    // Under Wine a re-created window takes over a second to get its keys: the long waits, which
    // follow a re-creation, are longer there.
    sleepFor(underWine_ && ms >= 500 ? ms + 2000 : ms);
}

Image GameRun::screenshot() {
    Image image;
    refreshWindowId();
    if (window_.empty()) {
        return image;
    }
    const std::string path = dir_ + "/shot.ppm";
    runCapture("import -depth 8 -window " + window_ + " ppm:'" + path + "'", display_);
    readPpm(path, image);
    std::remove(path.c_str());
    return image;
}

bool GameRun::windowSize(int& w, int& h) {
    refreshWindowId();
    const std::string out = xdotool("getwindowgeometry " + window_);
    const size_t at = out.find("Geometry: ");
    return at != std::string::npos && std::sscanf(out.c_str() + at, "Geometry: %dx%d", &w, &h) == 2;
}
