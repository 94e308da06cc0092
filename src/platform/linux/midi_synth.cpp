// The built-in General MIDI synthesiser (FluidSynth) as MIDI device 0.
//
// Loading a SoundFont takes tens to hundreds of milliseconds and holds the synthesiser's lock all
// the while, so the fonts load on a worker thread, and the game never calls the synthesiser
// itself: it drops each message into a ring that the worker plays. The worker also takes the
// sample loading that a program change may trigger (samples load on demand to keep memory low).
#include "platform/linux/midi_soundfont.h"
#include "platform/linux/midi_synth.h"
#include "platform/linux/midi_synth_seam.h"
#include "platform/port.h"

#include <fluidsynth.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A reset travels in the message queue as a value no short message has.
constexpr std::uint32_t kQueuedReset = 0xFFFFFFFFu;

constexpr std::uint32_t kRingSize = 4096;  // a power of two
constexpr std::uint32_t kQuitMark = 0xFFFFFFFEu;
constexpr int kPathSize = 512;
constexpr int kMaxDrivers = 8;
constexpr int kMaxFontCandidates = 16;
constexpr int kMaxInstruments = 32;
constexpr int kFontSlots = 2;  // the General MIDI font and the GS drum kits

struct SynthDevice {
    fluid_settings_t* settings;
    fluid_synth_t* synth;
    fluid_audio_driver_t* driver;
    pthread_t worker;
    bool workerStarted;
    std::atomic<std::uint32_t> head;  // next slot the game writes
    std::atomic<std::uint32_t> tail;  // next slot the worker plays
    std::atomic<bool> ready;          // the SoundFonts are in
    std::atomic<bool> overflowed;     // a message was lost: silence everything once
    std::uint32_t ring[kRingSize];
    char gmPath[kPathSize];
    char gsPath[kPathSize];
    // The reduced fonts, built on the worker at the first open of each file and kept for the
    // later opens that load samples on demand.
    char subsetPath[kFontSlots][kPathSize];
    bool subsetTried[kFontSlots];
    bool subsetBuilt[kFontSlots];
    SoundFontSubset subset[kFontSlots];
};

SynthDevice* prepared = nullptr;  // made by the device count, not yet opened
SynthDevice* active = nullptr;    // open
bool probeFailed = false;         // no font or no audio output: not asked again until a knob changes
bool offline = false;

const char* const kDefaultDrivers[] = {"pulseaudio", "alsa"};
const char* drivers[kMaxDrivers] = {"pulseaudio", "alsa"};
int driverCount = 2;

const char* fontCandidates[kMaxFontCandidates];
int fontCandidateCount = -1;  // -1: the search list

SoundFontPreset instruments[kMaxInstruments];
int instrumentCount = -1;  // -1: every instrument

// The device whose fonts the file callbacks serve (they carry no context of their own).
SynthDevice* fontOwner = nullptr;

bool chooseFonts(SynthDevice* device) {
    device->gsPath[0] = '\0';
    if (fontCandidateCount >= 0) {
        for (int i = 0; i < fontCandidateCount; ++i) {
            if (isReadableFile(fontCandidates[i])) {
                std::snprintf(device->gmPath, kPathSize, "%s", fontCandidates[i]);
                return true;
            }
        }
        return false;
    }
    return findSystemSoundFonts(device->gmPath, device->gsPath, kPathSize);
}

void destroyDevice(SynthDevice* device) {
    if (device == nullptr) {
        return;
    }
    if (device->driver != nullptr) {
        delete_fluid_audio_driver(device->driver);
    }
    if (device->synth != nullptr) {
        delete_fluid_synth(device->synth);
    }
    if (device->settings != nullptr) {
        delete_fluid_settings(device->settings);
    }
    delete device;
}

// FluidSynth reads SoundFonts through these, so a font can be served cut down to the game's
// instruments. Files without a usable subset are read as they are.
struct FontFile {
    std::FILE* file;
    const SoundFontSubset* subset;
    std::int64_t position;
    std::int64_t size;
};

const SoundFontSubset* subsetFor(const char* path, std::FILE* file) {
    SynthDevice* device = fontOwner;
    if (device == nullptr || instrumentCount < 0) {
        return nullptr;
    }
    for (int i = 0; i < kFontSlots; ++i) {
        if (device->subsetTried[i] && std::strcmp(device->subsetPath[i], path) == 0) {
            return device->subsetBuilt[i] ? &device->subset[i] : nullptr;
        }
    }
    for (int i = 0; i < kFontSlots; ++i) {
        if (!device->subsetTried[i]) {
            device->subsetTried[i] = true;
            std::snprintf(device->subsetPath[i], kPathSize, "%s", path);
            device->subsetBuilt[i] = buildSoundFontSubset(file, instruments, instrumentCount, device->subset[i]);
            return device->subsetBuilt[i] ? &device->subset[i] : nullptr;
        }
    }
    return nullptr;
}

void* openFontFile(const char* path) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        return nullptr;
    }
    FontFile* font = new FontFile{file, subsetFor(path, file), 0, 0};
    if (font->subset != nullptr) {
        font->size = soundFontSubsetSize(*font->subset);
    } else if (fseeko(file, 0, SEEK_END) == 0) {
        font->size = ftello(file);
    }
    return font;
}

int readFontFile(void* buffer, fluid_long_long_t count, void* handle) {
    FontFile* font = static_cast<FontFile*>(handle);
    bool ok = false;
    if (font->subset != nullptr) {
        ok = readSoundFontSubset(font->file, *font->subset, font->position, buffer, count);
    } else {
        ok = count >= 0 && fseeko(font->file, static_cast<off_t>(font->position), SEEK_SET) == 0 &&
             std::fread(buffer, 1, static_cast<std::size_t>(count), font->file) == static_cast<std::size_t>(count);
    }
    if (!ok) {
        return FLUID_FAILED;
    }
    font->position += count;
    return FLUID_OK;
}

int seekFontFile(void* handle, fluid_long_long_t offset, int origin) {
    FontFile* font = static_cast<FontFile*>(handle);
    std::int64_t target = offset;
    if (origin == SEEK_CUR) {
        target += font->position;
    } else if (origin == SEEK_END) {
        target += font->size;
    } else if (origin != SEEK_SET) {
        return FLUID_FAILED;
    }
    if (target < 0 || target > font->size) {
        return FLUID_FAILED;
    }
    font->position = target;
    return FLUID_OK;
}

fluid_long_long_t tellFontFile(void* handle) {
    return static_cast<FontFile*>(handle)->position;
}

int closeFontFile(void* handle) {
    FontFile* font = static_cast<FontFile*>(handle);
    std::fclose(font->file);
    delete font;
    return FLUID_OK;
}

// The synthesiser with its audio output, fonts not yet loaded; nullptr when it cannot play.
SynthDevice* prepareDevice() {
    SynthDevice* device = new SynthDevice();
    if (!chooseFonts(device)) {
        delete device;
        return nullptr;
    }
    device->settings = new_fluid_settings();
    if (device->settings == nullptr) {
        destroyDevice(device);
        return nullptr;
    }
    fluid_settings_t* s = device->settings;
    fluid_settings_setint(s, "synth.dynamic-sample-loading", 1);
    // Without reverb and chorus tails a reset is silent at once, as the game expects.
    fluid_settings_setint(s, "synth.reverb.active", 0);
    fluid_settings_setint(s, "synth.chorus.active", 0);
    fluid_settings_setint(s, "synth.polyphony", 64);
    // The library's default gain leaves the effects near -40 dB; a hardware GM synth plays louder.
    fluid_settings_setnum(s, "synth.gain", 0.5);
    fluid_settings_setnum(s, "synth.sample-rate", 44100.0);
    fluid_settings_setstr(s, "audio.pulseaudio.media-role", "game");
    fluid_settings_setstr(s, "audio.file.name", "/dev/null");
    device->synth = new_fluid_synth(s);
    if (device->synth == nullptr) {
        destroyDevice(device);
        return nullptr;
    }
    fluid_sfloader_t* loader = new_fluid_defsfloader(s);
    if (loader != nullptr) {
        fluid_sfloader_set_callbacks(loader, openFontFile, readFontFile, seekFontFile, tellFontFile, closeFontFile);
        fluid_synth_add_sfloader(device->synth, loader);  // tried before the built-in loader
    }
    if (!offline) {
        for (int i = 0; i < driverCount && device->driver == nullptr; ++i) {
            fluid_settings_setstr(s, "audio.driver", drivers[i]);
            device->driver = new_fluid_audio_driver(s, device->synth);
        }
        if (device->driver == nullptr) {
            destroyDevice(device);
            return nullptr;
        }
    }
    return device;
}

void play(fluid_synth_t* synth, std::uint32_t message) {
    if (message == kQueuedReset) {
        fluid_synth_all_sounds_off(synth, -1);
        return;
    }
    const auto [kind, channel, data1, data2] = splitMidiMessage(message);
    switch (kind) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    case 0x90:
        if (data2 == 0) {
            fluid_synth_noteoff(synth, channel, data1);
        } else {
            fluid_synth_noteon(synth, channel, data1, data2);
        }
        break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7)); break;
    default: break;
    }
}

void* runWorker(void* argument) {
    SynthDevice* device = static_cast<SynthDevice*>(argument);
    // A font that fails to load leaves a silent synthesiser, which is all a failure may do.
    // Channels get no preset from the load itself (its piano would pull in megabytes of samples
    // nobody plays); each takes its instrument at its first program change.
    fluid_synth_sfload(device->synth, device->gmPath, 0);
    if (device->gsPath[0] != '\0') {
        fluid_synth_sfload(device->synth, device->gsPath, 0);
    }
    device->ready.store(true, std::memory_order_release);
    std::uint32_t tail = device->tail.load(std::memory_order_relaxed);
    for (;;) {
        const std::uint32_t head = device->head.load(std::memory_order_acquire);
        if (tail == head) {
            if (device->overflowed.exchange(false)) {
                fluid_synth_all_sounds_off(device->synth, -1);
            }
            device->head.wait(head, std::memory_order_acquire);
            continue;
        }
        const std::uint32_t message = device->ring[tail & (kRingSize - 1)];
        ++tail;
        if (message == kQuitMark) {
            device->tail.store(tail, std::memory_order_release);
            return nullptr;
        }
        play(device->synth, message);
        device->tail.store(tail, std::memory_order_release);
    }
}

bool push(SynthDevice* device, std::uint32_t message) {
    const std::uint32_t head = device->head.load(std::memory_order_relaxed);
    if (head - device->tail.load(std::memory_order_acquire) >= kRingSize) {
        return false;
    }
    device->ring[head & (kRingSize - 1)] = message;
    device->head.store(head + 1, std::memory_order_release);
    device->head.notify_one();
    return true;
}

void forgetPrepared() {
    destroyDevice(prepared);
    prepared = nullptr;
    probeFailed = false;
}

std::uint32_t synthDeviceCount() {
    if (active != nullptr || prepared != nullptr) {
        return 1;
    }
    if (probeFailed) {
        return 0;
    }
    prepared = prepareDevice();
    probeFailed = prepared == nullptr;
    return prepared != nullptr ? 1 : 0;
}

bool synthOpen(std::uint32_t index) {
    if (index != 0 || active != nullptr || prepared == nullptr) {
        return false;
    }
    SynthDevice* device = prepared;
    fontOwner = device;
    if (pthread_create(&device->worker, nullptr, runWorker, device) != 0) {
        fontOwner = nullptr;
        return false;
    }
    device->workerStarted = true;
    prepared = nullptr;
    active = device;
    return true;
}

void synthShortMessage(std::uint32_t message) {
    if (active == nullptr) {
        return;
    }
    message &= 0x00FFFFFFu;
    // A note struck before the fonts are in would sound late: drop it, keep the channel settings.
    const MidiMessageParts parts = splitMidiMessage(message);
    const bool noteOn = parts.kind == 0x90 && parts.data2 != 0;
    if (noteOn && !active->ready.load(std::memory_order_acquire)) {
        return;
    }
    if (!push(active, message)) {
        active->overflowed.store(true);
    }
}

void synthReset() {
    if (active != nullptr && !push(active, kQueuedReset)) {
        active->overflowed.store(true);
    }
}

void synthClose() {
    SynthDevice* device = active;
    active = nullptr;
    if (device == nullptr) {
        return;
    }
    // Stop the sound card first, so nothing plays while the queue runs out.
    if (device->driver != nullptr) {
        delete_fluid_audio_driver(device->driver);
        device->driver = nullptr;
    }
    if (device->workerStarted) {
        while (!push(device, kQuitMark)) {
            usleep(1000);
        }
        pthread_join(device->worker, nullptr);
    }
    destroyDevice(device);
    fontOwner = nullptr;
}

}  // namespace

const MidiBackend midiSynthBackend = {synthDeviceCount, synthOpen, synthShortMessage, synthReset, synthClose};

void setMidiSynthOffline(bool value) {
    offline = value;
    forgetPrepared();
}

void setMidiAudioDrivers(const char* const* names, int count) {
    if (names == nullptr) {
        names = kDefaultDrivers;
        count = 2;
    }
    driverCount = 0;
    for (int i = 0; i < count && i < kMaxDrivers; ++i) {
        drivers[driverCount++] = names[i];
    }
    forgetPrepared();
}

void setMidiSoundFontCandidates(const char* const* paths, int count) {
    if (paths == nullptr) {
        fontCandidateCount = -1;
    } else {
        fontCandidateCount = 0;
        for (int i = 0; i < count && i < kMaxFontCandidates; ++i) {
            fontCandidates[fontCandidateCount++] = paths[i];
        }
    }
    forgetPrepared();
}

void setMidiSynthInstruments(const MidiInstrument* list, int count) {
    if (list == nullptr) {
        instrumentCount = -1;
        return;
    }
    instrumentCount = 0;
    for (int i = 0; i < count && i < kMaxInstruments; ++i) {
        instruments[instrumentCount++] = SoundFontPreset{list[i].bank, list[i].program};
    }
}

bool midiSynthReady() {
    return active != nullptr && active->ready.load(std::memory_order_acquire);
}

bool midiSynthSettle(int timeoutMs) {
    for (int waited = 0;; ++waited) {
        if (active == nullptr) {
            return false;
        }
        if (active->ready.load(std::memory_order_acquire) &&
            active->tail.load(std::memory_order_acquire) == active->head.load(std::memory_order_relaxed)) {
            return true;
        }
        if (waited >= timeoutMs) {
            return false;
        }
        usleep(1000);
    }
}

void midiSynthRender(float* interleaved, int frames) {
    if (active == nullptr || !offline || interleaved == nullptr || frames <= 0) {
        return;
    }
    fluid_synth_write_float(active->synth, frames, interleaved, 0, 2, interleaved, 1, 2);
}
