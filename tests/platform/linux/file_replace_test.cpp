// Saving over files as a player has them on a POSIX system: permissions, links and locked folders.
#include "settings/settings_fixture.h"

#include "platform/file_replace.h"

#include <algorithm>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
    writeFile(kOld);
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(save(path, kNew));
    EXPECT_EQ(readFile(), kOld);
    chmod(path.c_str(), 0640);
    EXPECT_TRUE(save(path, kNew));
    struct stat saved {};
    EXPECT_EQ(stat(path.c_str(), &saved) == 0 ? saved.st_mode & 0777 : 0, 0640u);
    unlink(path.c_str());

    const std::string target = directory + "/sub/elsewhere.cfg";
    mkdir((directory + "/sub").c_str(), 0755);
    symlink("sub/elsewhere.cfg", (directory + "/chain.cfg").c_str());
    symlink("chain.cfg", path.c_str());
    for (const bool there : {true, false}) {
        there ? put(target, kOld) : void(unlink(target.c_str()));
        EXPECT_TRUE(save(path, kNew)) << there;
        struct stat named {};
        EXPECT_TRUE(lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode)) << there;
        EXPECT_EQ(contents(target), kNew) << there;
    }
}

// A folder the player may not write, as a player meets it: root ignores permissions, so the
// checks run in a child as nobody, whose exit status is the number of the first that failed.
TEST(SavePermissions, ALockedFolderGetsTheSaveInPlaceAndNoNewFile) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char dir[] = "/tmp/zarv-save-XXXXXX";
        if ((geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) ||
            mkdtemp(dir) == nullptr) {
            _exit(77);
        }
        const std::string file = std::string(dir) + "/zarv.cfg";
        put(file, kOld);
        struct stat before {};
        struct stat after {};
        stat(file.c_str(), &before);
        chmod(dir, 0555);
        // 1: a writable file in a locked folder is saved, 2: in place, cut to the new length,
        // 3: and grown again, 4: the same file, not a new one; 5: no new file in a locked folder.
        const bool passed[] = {save(file, kNew), contents(file) == kNew,
                               save(file, kOld) && contents(file) == kOld,
                               stat(file.c_str(), &after) == 0 && after.st_ino == before.st_ino,
                               !save(std::string(dir) + "/new.cfg", kNew)};
        chmod(dir, 0755);
        unlink(file.c_str());
        rmdir(dir);
        const bool* failed = std::find(std::begin(passed), std::end(passed), false);
        _exit(failed == std::end(passed) ? 0 : int(failed - passed) + 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "cannot become user " << kNobody << " with a private directory in /tmp";
    }
    EXPECT_EQ(status, 0) << "check " << WEXITSTATUS(status) << " failed";
}
