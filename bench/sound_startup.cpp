// Start-up with sound: how long from launch to the first menu frame, and the peak memory.
//
// Run under an X display (xvfb-run -a bench/bench_sound_startup). The harness starts itself
// several times as a child that runs the program's real start-up (runApplication); the child
// catches its first buffer swap, lets the SoundFonts finish loading, plays every effect once so
// their samples load, and exits. The parent reads the peak resident size from wait4.
//
// "sound on" gives the built-in synthesiser an audio output that consumes samples in real time
// (FluidSynth's file driver into /dev/null), since a build machine has no sound card; "sound off"
// has no MIDI device at all.
#include "app/startup.h"
#include "platform/clock.h"
#include "platform/linux/midi_synth.h"
#include "platform/linux/midi_synth_seam.h"
#include "platform/midi.h"
#include "seams/seams.h"
#include "sound/sound.h"

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <pthread.h>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr const char* kLaunchVariable = "ZARV_BENCH_LAUNCH_NS";
constexpr const char* kSoundVariable = "ZARV_BENCH_SOUND";

std::int64_t monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::int64_t launchNs = 0;
int pipeFd = -1;
double firstFrameMs = -1;
std::atomic<double> fontsReadyMs{-1};
double effectsPlayedAt = -1;
int swaps = 0;

double sinceLaunchMs() {
    return static_cast<double>(monotonicNs() - launchNs) / 1.0e6;
}

void* watchFonts(void*) {
    for (int i = 0; i < 20000; ++i) {
        if (midiSynthReady()) {
            fontsReadyMs.store(sinceLaunchMs());
            return nullptr;
        }
        usleep(500);
    }
    return nullptr;
}

// A field of /proc/self/status in kB ("VmHWM:" the peak resident size, "VmRSS:" the current).
long statusKb(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kb = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0) {
            kb = std::strtol(line + length, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

void report() {
    char line[160];
    const int n = std::snprintf(line, sizeof line, "%.1f %.1f %d %ld\n", firstFrameMs, fontsReadyMs.load(),
                                static_cast<int>(sound.soundVolume), statusKb("VmHWM:"));
    if (n > 0 && write(pipeFd, line, static_cast<std::size_t>(n)) < 0) {
        _exit(3);
    }
}

// Called at every buffer swap of the child: the first one is the first menu frame.
void onSwap() {
    ++swaps;
    if (firstFrameMs < 0) {
        firstFrameMs = sinceLaunchMs();
    }
    const bool soundOn = sound.soundVolume >= 0;
    if (!soundOn && swaps > 30) {
        report();
        std::exit(0);
    }
    if (soundOn && fontsReadyMs.load() >= 0) {
        if (effectsPlayedAt < 0) {
            effectsPlayedAt = clockMs();
            for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
                requestSound(e, 400.0);
            }
        }
        updateSounds(clockMs(), 400.0);
        if (clockMs() - effectsPlayedAt > 1500) {
            report();
            std::exit(0);
        }
    }
    if (sinceLaunchMs() > 20000) {
        report();
        std::exit(0);
    }
}

int runChild(int argc, char** argv) {
    launchNs = std::strtoll(std::getenv(kLaunchVariable), nullptr, 10);
    pipeFd = 3;
    if (std::strcmp(std::getenv(kSoundVariable), "on") == 0) {
        const char* const fileDriver[] = {"file"};
        setMidiAudioDrivers(fileDriver, 1);
        pthread_t watcher;
        pthread_create(&watcher, nullptr, watchFonts, nullptr);
        pthread_detach(watcher);
    } else {
        const MidiBackend* const none[] = {&midiRecordingBackend};
        setMidiBackends(none, 0);
    }
    return runApplication(argc, argv);
}

struct Run {
    double firstFrameMs;
    double fontsReadyMs;
    long peakKb;
    int volume;
    long hwmKb;
};

bool runOnce(const char* exe, const char* soundMode, Run& run) {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    char directory[] = "/tmp/zarv-bench-XXXXXX";
    if (mkdtemp(directory) == nullptr) {
        return false;
    }
    char launch[32];
    const std::int64_t start = monotonicNs();
    std::snprintf(launch, sizeof launch, "%lld", static_cast<long long>(start));
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 3);
        if (chdir(directory) != 0) {
            _exit(2);
        }
        setenv(kLaunchVariable, launch, 1);
        setenv(kSoundVariable, soundMode, 1);
        execl(exe, exe, static_cast<char*>(nullptr));
        _exit(2);
    }
    close(fds[1]);
    char text[160] = {};
    std::size_t used = 0;
    ssize_t n = 0;
    while (used < sizeof text - 1 && (n = read(fds[0], text + used, sizeof text - 1 - used)) > 0) {
        used += static_cast<std::size_t>(n);
    }
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    char cfg[64];
    std::snprintf(cfg, sizeof cfg, "%s/zarv.cfg", directory);
    std::remove(cfg);
    rmdir(directory);
    run.peakKb = usage.ru_maxrss;
    return std::sscanf(text, "%lf %lf %d %ld", &run.firstFrameMs, &run.fontsReadyMs, &run.volume, &run.hwmKb) == 4;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

// The child's swaps pass through here on their way to the real call.
extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
    using Swap = void (*)(void*, unsigned long);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (real != nullptr) {
        real(display, drawable);
    }
    if (launchNs != 0) {
        onSwap();
    }
}

int main(int argc, char** argv) {
    if (std::getenv(kLaunchVariable) != nullptr && std::getenv(kSoundVariable) != nullptr) {
        return runChild(argc, argv);
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs an X display: xvfb-run -a %s\n", argv[0]);
        return 1;
    }
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) {
        return 1;
    }
    exe[length] = '\0';
    // How long the start-up's own call holds the main thread (the fonts load behind it).
    {
        const char* const fileDriver[] = {"file"};
        setMidiAudioDrivers(fileDriver, 1);
        const long before = statusKb("VmRSS:");
        const std::int64_t start = monotonicNs();
        openMidiOutput();
        const double openMs = static_cast<double>(monotonicNs() - start) / 1.0e6;
        const bool opened = sound.soundVolume >= 0;
        midiSynthSettle(10000);
        const double readyMs = static_cast<double>(monotonicNs() - start) / 1.0e6;
        sound.fieldWidth = 800;
        for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
            requestSound(e, 400.0);
        }
        for (double t = 0; t < 1000; t += 10) {
            updateSounds(t, 400.0);
        }
        midiSynthSettle(10000);
        const long after = statusKb("VmHWM:");
        closeMidiOutput();
        setMidiAudioDrivers(nullptr, 0);
        std::printf("openMidiOutput: %.1f ms on the caller's thread, SoundFonts in after %.1f ms%s\n", openMs, readyMs,
                    opened ? "" : " (no synthesiser opened!)");
        std::printf("the synthesiser with every effect's samples: +%.1f MB resident\n",
                    static_cast<double>(after - before) / 1024.0);
    }
    std::printf("%-10s %5s %16s %16s %16s %14s\n", "sound", "runs", "first frame ms", "(worst)", "fonts ready ms",
                "peak RSS MB");
    // The two set-ups alternate, so that a busy machine slows both alike.
    const char* const modes[2] = {"off", "on"};
    std::vector<double> frames[2], fonts[2], peaks[2];
    int volume = 0;
    for (int i = 0; i < kRuns; ++i) {
        for (int m = 0; m < 2; ++m) {
            Run run{};
            if (!runOnce(exe, modes[m], run)) {
                std::printf("%s: a run failed\n", modes[m]);
                continue;
            }
            frames[m].push_back(run.firstFrameMs);
            fonts[m].push_back(run.fontsReadyMs);
            peaks[m].push_back(static_cast<double>(run.peakKb) / 1024.0);
            if (m == 1) {
                volume = run.volume;
            }
        }
    }
    for (int m = 0; m < 2; ++m) {
        if (frames[m].empty()) {
            continue;
        }
        std::printf("%-10s %5zu %16.1f %16.1f %16.1f %14.1f%s\n", modes[m], frames[m].size(), median(frames[m]),
                    *std::max_element(frames[m].begin(), frames[m].end()), median(fonts[m]),
                    *std::max_element(peaks[m].begin(), peaks[m].end()),
                    m == 1 && volume < 0 ? "  (no synthesiser opened!)" : "");
    }
    std::printf("goal: first frame within 300 ms with sound on; peak memory at most 80 MB\n");
    return 0;
}
