// Saving as a player would, not as root: the file's own permissions and links decide what happens.
#include "platform/file_replace.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const std::string kOld = "old content, longer than the new one\r\n";
const std::string kNew = "new\r\n";

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool save(const std::string& path, const std::string& text) {
    return replaceFileContents(path.c_str(), text.data(), text.size());
}

// Each case in a fresh directory; a failed check is written to out as one line.
void checkAll(const std::string& dir, std::FILE* out) {
    auto check = [out](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(out, "%s\n", what);
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
}

}  // namespace

TEST(SavePermissions, ReadOnlyFilesLinksAndLockedDirectoriesAsAPlayerSeesThem) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        std::FILE* out = fdopen(pipeEnds[1], "w");
        // Root ignores permissions, so the checks run as nobody.
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            std::fprintf(out, "SKIP cannot become user %u\n", kNobody);
            std::fclose(out);
            _exit(0);
        }
        char dir[] = "/tmp/zarv-save-XXXXXX";
        if (mkdtemp(dir) == nullptr) {
            std::fprintf(out, "SKIP no private directory in /tmp\n");
        } else {
            checkAll(dir, out);
            rmdir(dir);
        }
        std::fclose(out);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (report.rfind("SKIP ", 0) == 0) {
        GTEST_SKIP() << report.substr(5);
    }
    EXPECT_EQ(report, "");
}
