// Saving over files as a player has them on a POSIX system: permissions, links, locked folders and
// a disk that fills part way.
#include "settings_fixture.h"

#include "platform/file_replace.h"

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
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

// The failed checks, each printed; every case in a fresh directory.
int checkAll(const std::string& dir) {
    int failed = 0;
    auto check = [&failed](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "save as user %u: %s\n", kNobody, what);
            ++failed;
        }
    };
    const std::string file = dir + "/zarv.cfg";

    put(file, kOld);
    chmod(file.c_str(), 0444);
    check(!save(file, kNew), "a read-only file reports no save");
    check(contents(file) == kOld, "a read-only file keeps its content");
    unlink(file.c_str());

    const std::string target = dir + "/elsewhere.cfg";
    put(target, kOld);
    symlink("elsewhere.cfg", file.c_str());
    check(save(file, kNew), "a link is saved through");
    struct stat link {};
    check(lstat(file.c_str(), &link) == 0 && S_ISLNK(link.st_mode), "the link stays a link");
    check(contents(target) == kNew, "the link's target gets the new content");
    unlink(file.c_str());
    unlink(target.c_str());

    put(file, kOld);
    struct stat before {};
    stat(file.c_str(), &before);
    chmod(dir.c_str(), 0555);
    check(save(file, kNew), "a writable file in a locked directory is saved");
    check(contents(file) == kNew, "written in place, cut to the new length");
    check(save(file, kOld) && contents(file) == kOld, "and grown again");
    struct stat after {};
    stat(file.c_str(), &after);
    check(after.st_ino == before.st_ino, "the same file, not a new one");
    check(!save(dir + "/new.cfg", kNew), "no new file in a locked directory");
    chmod(dir.c_str(), 0755);
    unlink(file.c_str());

    check(save(file, kNew) && contents(file) == kNew, "a new file in a free directory");
    unlink(file.c_str());
    return failed;
}

}  // namespace

// A save replaces the file keeping its permissions; one that fails part way keeps the old file.
TEST_F(SettingsTest, ASaveThatFailsPartWayKeepsTheOldFile) {
    writeFile("W=1\r\n");
    chmod(path.c_str(), 0640);
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;  // the file-size limit stands in for a full disk
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    saveSettings();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readFile(), "W=1\r\n");
    saveSettings();
    EXPECT_EQ(readFile(), defaultFile(""));
    struct stat after {};
    EXPECT_EQ(stat(path.c_str(), &after) == 0 ? after.st_mode & 0777 : 0, 0640u);
}

// Saving as a player would, not as root: the file's own permissions and links decide what happens.
// Root ignores permissions, so the cases run in a child as nobody.
TEST(SavePermissions, ReadOnlyFilesLinksAndLockedDirectoriesAsAPlayerSeesThem) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char dir[] = "/tmp/zarv-save-XXXXXX";
        if ((geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) ||
            mkdtemp(dir) == nullptr) {
            _exit(77);
        }
        const int failed = checkAll(dir);
        rmdir(dir);
        _exit(failed);
    }
    int status = -1;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "cannot become user " << kNobody << " with a private directory in /tmp";
    }
    EXPECT_EQ(status, 0) << "the failed checks are printed above";
}
