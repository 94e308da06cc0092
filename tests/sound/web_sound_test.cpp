// The web page's sound file against the game: every note the sound code strikes (recorded, every
// effect many times and the ambient bed) has voices in the file tools/cut-soundfont.py cuts from
// the installed SoundFonts, and the file is a small part of those fonts.
#include "platform/rand.h"
#include "seams/seams.h"
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <unistd.h>

namespace {

// The notes struck in the recording, named as the file names them: "bank:program:key", where
// channel 9 plays the drum kits of bank 128 and every other channel bank 0.
std::set<std::string> struckNotes() {
    int program[16] = {};
    std::set<std::string> notes;
    for (int i = 0; i < midiRecording.count; ++i) {
        const std::uint32_t m = midiRecording.messages[i];
        const int channel = static_cast<int>(m & 0x0F);
        if ((m & 0xF0) == 0xC0) {
            program[channel] = static_cast<int>(m >> 8 & 0x7F);
        } else if ((m & 0xF0) == 0x90 && (m >> 16 & 0x7F) != 0) {
            notes.insert(std::to_string(channel == 9 ? 128 : 0) + ":" + std::to_string(program[channel]) + ":" +
                         std::to_string(m >> 8 & 0x7F));
        }
    }
    return notes;
}

}  // namespace

TEST(WebSound, TheCutSoundFontsHaveVoicesForEveryNoteTheGameStrikes) {
    if (std::system(nullptr) == 0) {
        GTEST_SKIP() << "no shell here to run the cut (the page's own build of the tests)";
    }
    useMidiRecording(1), openMidiOutput(), sound.fieldWidth = 800, platformSrand(77);
    double now = 0;
    for (int round = 0; round < 20; ++round) {  // the player's shot strikes one of three notes at random
        for (SoundEffect e : {PlayerShot, EnemyShot, BigBurst, Thrust, SmallBurst, BonusAppears, BonusTaken, ExtraLife}) {
            requestSound(e, 400);
        }
        for (const double end = now + 1000; now < end; now += 10) {
            updateSounds(now, 400);
        }
    }
    std::fill(std::begin(sound.ambientNext), std::end(sound.ambientNext), 0);
    for (const double end = now + 4000; now < end; now += 10) {
        updateSounds(now, 400);
    }
    const std::set<std::string> notes = struckNotes();
    closeMidiOutput(), setMidiBackends(nullptr, 0);
    ASSERT_TRUE(notes.contains("0:127:59") && notes.contains("0:127:61") && notes.contains("0:122:5")) << notes.size();

    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("zarv-web-sound-" + std::to_string(getpid()) + ".bin");
    const std::string cut = "/usr/bin/python3 " ZARV_SOURCE_DIR "/tools/cut-soundfont.py " + file.string() + " >/dev/null";
    ASSERT_EQ(std::system(cut.c_str()), 0) << cut;
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(file);
    ASSERT_TRUE(bytes.size() > 8 && bytes.starts_with("ZSF1"));
    const std::uint32_t length = static_cast<std::uint8_t>(bytes[4]) | static_cast<std::uint8_t>(bytes[5]) << 8 |
                                 static_cast<std::uint8_t>(bytes[6]) << 16 |
                                 static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[7])) << 24;
    ASSERT_LE(8 + std::size_t{length}, bytes.size());
    const std::string index = bytes.substr(8, length);
    for (const std::string& note : notes) {
        EXPECT_NE(index.find("\"" + note + "\":[{"), std::string::npos) << "no voice for " << note;
    }
    // Every sample's frames are there after the index, 16 bits each.
    std::size_t frames = 0;
    const std::regex framesField("\"frames\":([0-9]+)");
    for (auto m = std::sregex_iterator(index.begin(), index.end(), framesField); m != std::sregex_iterator(); ++m) {
        frames += std::stoul((*m)[1]);
    }
    EXPECT_EQ(8 + length + 2 * frames, bytes.size());
    const auto fonts = std::filesystem::file_size("/usr/share/sounds/sf2/FluidR3_GM.sf2") +
                       std::filesystem::file_size("/usr/share/sounds/sf2/FluidR3_GS.sf2");
    EXPECT_LT(bytes.size() * 25, fonts) << "the page would carry " << bytes.size() << " bytes of sound";
}
