// Where the SoundFonts are looked for: under sounds/sf2/ or soundfonts/ of the XDG data
// directories.
#include "platform/linux/midi_soundfont.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kPathSize = 512;
constexpr int kMaxDataDirs = 12;

// General MIDI fonts, best first. FluidR3 plays every instrument the game uses; the small
// TimGM6mb lacks the low Seashore notes, so it comes last.
const char* const kGmFontNames[] = {"FluidR3_GM.sf2", "GeneralUser_GS.sf2", "MuseScore_General.sf2",
                                    "TimGM6mb.sf2"};
const char* const kGsFontName = "FluidR3_GS.sf2";

// XDG data directories, the user's first; /usr/share always among them.
int dataDirectories(char dirs[][kPathSize]) {
    int n = 0;
    const char* home = std::getenv("XDG_DATA_HOME");
    const char* user = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        std::snprintf(dirs[n++], kPathSize, "%s", home);
    } else if (user != nullptr && user[0] == '/') {
        std::snprintf(dirs[n++], kPathSize, "%s/.local/share", user);
    }
    const char* list = std::getenv("XDG_DATA_DIRS");
    if (list == nullptr || list[0] == '\0') {
        list = "/usr/local/share:/usr/share";
    }
    bool haveUsrShare = false;
    while (*list != '\0' && n < kMaxDataDirs - 1) {
        const char* end = std::strchr(list, ':');
        const int length = end != nullptr ? static_cast<int>(end - list) : static_cast<int>(std::strlen(list));
        if (length > 0 && length < kPathSize && list[0] == '/') {
            std::snprintf(dirs[n], kPathSize, "%.*s", length, list);
            haveUsrShare = haveUsrShare || std::strcmp(dirs[n], "/usr/share") == 0;
            ++n;
        }
        list += length;
        if (*list == ':') {
            ++list;
        }
    }
    if (!haveUsrShare) {
        std::snprintf(dirs[n++], kPathSize, "/usr/share");
    }
    return n;
}

// The first of the names that exists under sounds/sf2/ or soundfonts/ of a data directory.
bool findFont(const char* const* names, int nameCount, char* found) {
    char dirs[kMaxDataDirs][kPathSize];
    const int dirCount = dataDirectories(dirs);
    const char* const subdirs[] = {"sounds/sf2", "soundfonts"};
    for (int i = 0; i < nameCount; ++i) {
        for (int d = 0; d < dirCount; ++d) {
            for (const char* sub : subdirs) {
                const int length = std::snprintf(found, kPathSize, "%s/%s/%s", dirs[d], sub, names[i]);
                if (length > 0 && length < kPathSize && isReadableFile(found)) {
                    return true;
                }
            }
        }
    }
    found[0] = '\0';
    return false;
}

}  // namespace

bool isReadableFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, R_OK) == 0;
}


bool findSystemSoundFonts(char* gmPath, char* gsPath, int size) {
    char found[kPathSize];
    gsPath[0] = '\0';
    if (!findFont(kGmFontNames, 4, found)) {
        return false;
    }
    std::snprintf(gmPath, static_cast<std::size_t>(size), "%s", found);
    // The GS font adds the "SFX" drum kit (bank 128, program 56) that the big burst plays.
    if (findFont(&kGsFontName, 1, found)) {
        std::snprintf(gsPath, static_cast<std::size_t>(size), "%s", found);
    }
    return true;
}
