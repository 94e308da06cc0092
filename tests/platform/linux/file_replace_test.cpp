// Saving over files as a player has them on a POSIX system: permissions, links and locked folders.
#include "settings/settings_fixture.h"

#include "platform/port.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const std::string kOld = "old content, longer than the new one\r\n";
const std::string kNew = "new\r\n";

bool save(const std::string& path, const std::string& text) {
    return replaceFileContents(path.c_str(), text.data(), text.size());
}

}  // namespace

// Whoever runs the game: a file nobody may write stays as it is; a replaced file keeps its
// permissions; a chain of links stays, and its last target is saved, or made when missing.
TEST_F(SettingsTest, ReadOnlyFilesStayAndLinksAreSavedThrough) {
    writeFile(kOld), chmod(path.c_str(), 0444);
    EXPECT_FALSE(save(path, kNew));
    EXPECT_EQ(readFile(), kOld);
    chmod(path.c_str(), 0640);  // a replaced file keeps its permissions
    EXPECT_TRUE(save(path, kNew));
    struct stat saved {};
    EXPECT_EQ(stat(path.c_str(), &saved) == 0 ? saved.st_mode & 0777 : 0, 0640u);
    unlink(path.c_str()), mkdir((directory + "/sub").c_str(), 0755);

    const std::string target = directory + "/sub/elsewhere.cfg";
    symlink("sub/elsewhere.cfg", (directory + "/chain.cfg").c_str()), symlink("chain.cfg", path.c_str());
    for (const bool there : {true, false}) {
        there ? put(target, kOld) : void(unlink(target.c_str()));
        EXPECT_TRUE(save(path, kNew)) << there;
        struct stat named {};
        EXPECT_TRUE(lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode)) << there;
        EXPECT_EQ(contents(target), kNew) << there;
    }
}

// A folder the player may not write, as a player meets it (root ignores permissions, so there the
// saves run as nobody): the file is saved in place, cut to the new length and grown again, the same
// file; no new file is made beside it.
TEST_F(SettingsTest, ALockedFolderGetsTheSaveInPlaceAndNoNewFile) {
    struct stat before {}, after {};
    writeFile(kOld), stat(path.c_str(), &before), chmod(directory.c_str(), 0555);
    const bool root = geteuid() == 0;
    if (root && (chown(path.c_str(), kNobody, kNobody) != 0 || seteuid(kNobody) != 0)) {
        GTEST_SKIP() << "cannot act as user " << kNobody;
    }
    EXPECT_TRUE(save(path, kNew) && readFile() == kNew && save(path, kOld) && readFile() == kOld);
    EXPECT_FALSE(save(directory + "/new.cfg", kNew));
    if (root) {
        seteuid(0);
    }
    chmod(directory.c_str(), 0755);  // so that the fixture can remove it without root too
    EXPECT_TRUE(stat(path.c_str(), &after) == 0 && after.st_ino == before.st_ino) << "the same file";
}
