#include "e2e/harness.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts the program that dies with the test process, its output kept in the file (or dropped).
pid_t spawn(std::vector<std::string> args, const std::string& output) {
    // All built before fork: the child of a threaded test may not allocate.
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

const std::string kFindGame = "xdotool search --name '^zarv 713a$'";

}  // namespace

int Image::count(int x0, int y0, int x1, int y1, int r, int g, int b, int tol) const {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            n += std::abs(p[0] - r) <= tol && std::abs(p[1] - g) <= tol && std::abs(p[2] - b) <= tol;
        }
    }
    return n;
}

std::string runCapture(const std::string& command, int display) {
    const std::string full = "DISPLAY=:" + std::to_string(display) + " timeout 20 " + command + " 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(full.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, n);
        }
        pclose(pipe);
    }
    return out;
}

int startXServer(std::vector<std::string> command, pid_t& pid) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    // A server resets whenever its last client leaves, and a client connecting meanwhile finds no
    // display: during start-up the harness's xdotool polls and Wine's helpers come and go.
    command.insert(command.begin() + 1, {"-displayfd", std::to_string(fds[1]), "-noreset"});
    pid = spawn(command, "/dev/null");
    close(fds[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (number.find('\n') == std::string::npos && poll(&p, 1, 15000) > 0 && read(fds[0], &c, 1) == 1) {
        number += c;
    }
    close(fds[0]);
    return number.find('\n') == std::string::npos ? -1 : std::atoi(number.c_str());
}

const char* gameCommand() {
    const char* command = std::getenv("ZARV_GAME_COMMAND");
    return command != nullptr && *command != '\0' ? command : nullptr;
}

pid_t startZarv(const std::string& dir, int display, const char* command) {
    const std::string line = "cd '" + dir + "' && export DISPLAY=:" + std::to_string(display) + " && " +
                             (command != nullptr ? command : "exec '" ZARV_BINARY "'");
    return spawn({"/bin/sh", "-c", line}, dir + (command != nullptr ? "/wine-output.txt" : "/output.txt"));
}

std::string focusGameWindow(int display) {
    // The topmost match, listed last: under Wine a destroyed window's X window may stay behind.
    const std::string id = runCapture(kFindGame + " 2>/dev/null | tail -n1 | tr -d '\\n'", display);
    // A re-created window is a new X window; the key state is read only while it has the focus.
    // Without an id xdotool finds no window to focus and does nothing.
    runCapture("xdotool windowfocus --sync " + id, display);
    return id;
}

int waitStatus(pid_t pid, int timeoutMs) {
    int status = 0;
    if (pid <= 0 || waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeoutMs)) {
        return pid > 0 ? status : -1;
    }
    kill(pid, SIGKILL);  // never a process group, never every process
    waitpid(pid, &status, 0);
    return -1;
}

GameRun::GameRun() {
    char pattern[] = "/tmp/zarv-e2e-XXXXXX";
    if (mkdtemp(pattern)) {
        dir_ = pattern;
        display_ = startXServer({"Xvfb", "-screen", "0", "2560x1920x24", "-nolisten", "tcp", "+extension", "GLX",
                                 "+extension", "RANDR"},
                                server_);
        // NumLock on, as on a player's keyboard, and left so: keypad 8 is then typed as KP_Up, the
        // same key without the NumLock presses xdotool makes around a KP_8 (a chained keydown and
        // keyup leaves NumLock off, and Wine names a keypad key by NumLock at each event).
        runCapture("xdotool key Num_Lock", display_);
    }
}

GameRun::~GameRun() {
    if (running()) {
        waitStatus(game_, 0);
    }
    waitStatus(server_, 0);
    std::system(("rm -rf '" + dir_ + "'").c_str());  // when mkdtemp failed, rm -rf '' removes nothing
}

bool GameRun::start(const char* command) {
    underWine_ = command != nullptr;
    game_ = display_ < 0 ? -1 : startZarv(dir_, display_, command);
    if (waitFor([&] { return !running() || !focusGameWindow(display_).empty(); }) && running()) {
        pause(300);  // let the first menu frames reach the screen
        return true;
    }
    std::fprintf(stderr, "no zarv window; exit status %d\n", gameStatus_);
    return keepEvidence("start");
}

bool GameRun::running() {
    int status = 0;
    if (game_ > 0 && gameStatus_ < 0 && waitpid(game_, &status, WNOHANG) == game_) {
        gameStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return game_ > 0 && gameStatus_ < 0;
}

int GameRun::waitExit(int timeoutMs) {
    return waitFor([&] { return !running(); }, timeoutMs) ? gameStatus_ : -1;
}

void GameRun::tap(const std::string& keys) {
    std::istringstream names(keys);
    for (std::string key; names >> key;) {
        xdotool("keydown " + key + " sleep 0.08 keyup " + key);
        pause(120);
    }
}

bool GameRun::typeIntoAnotherWindow(const std::string& key) {
    const std::string program = underWine_ ? "wine notepad" : "xmessage -buttons \"\" -title other other";
    const std::string name = underWine_ ? "Notepad$" : "^other$";
    runCapture("sh -c '" + program + " >/dev/null 2>&1 &'", display_);
    // Over the game's lower right part, its left part free for the click back. The focus moves
    // before the click, which would otherwise count as the game's own. The window's name, printed
    // last, tells that it appeared.
    const std::string command = "xdotool search --sync --name '" + name + "' windowmove --sync 300 150" +
                                " windowsize --sync 800 500 windowfocus --sync sleep 0.3" +
                                " mousemove --window %1 20 40 click 1 key " + key + " getwindowname";
    return !runCapture(command, display_).empty();
}

Image GameRun::screenshot() {
    window_ = focusGameWindow(display_);
    lastShot_ = runCapture("import -depth 8 -window " + window_ + " ppm:-", display_);
    std::istringstream in(lastShot_);
    Image image;
    std::string magic;
    int maxValue = 0;
    in >> magic >> image.width >> image.height >> maxValue;
    in.get();
    image.rgb.resize(in && magic == "P6" && maxValue == 255 ? size_t(image.width) * image.height * 3 : 0);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    return in && !image.rgb.empty() ? image : Image{};
}

bool GameRun::keepEvidence(const std::string& where) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() +
                               "/e2e-failures/" + test->test_suite_name() + "." + test->name() + "-" + where;
    std::system(("rm -rf '" + folder + "'; mkdir -p '" + folder + "'; cp '" + dir_ + "'/*output.txt '" + folder + "'")
                    .c_str());
    std::ofstream(folder + "/screenshot.ppm", std::ios::binary) << lastShot_;
    std::ofstream(folder + "/focus.txt") << "focus: " << runCapture("xdotool getwindowfocus", display_)
                                         << "game windows: " << runCapture(kFindGame, display_)
                                         << "keys last sent to: " << window_ << "\n";
    std::fprintf(stderr, "%s: evidence in %s\n", where.c_str(), folder.c_str());
    return false;
}
