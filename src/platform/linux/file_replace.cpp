#include "platform/port.h"

#include "platform/file_in_place.h"
#include "platform/linux/file_seam.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openToRewrite(const char* path) {
    return open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

constexpr PosixFileCalls kSystem{mkstemp, fchown, rename, openToRewrite, pwrite, fsync, posix_fallocate, ftruncate};

}  // namespace

constinit const PosixFileCalls kSystemFileCalls = kSystem;
constinit PosixFileCalls posixFileCalls = kSystem;

namespace {

// pread and pwrite may move fewer bytes than asked, or be interrupted: go on until all have moved.
template <typename Bytes, typename Io>
bool moveAllAt(std::intptr_t fd, Bytes* bytes, std::size_t size, std::uint64_t offset, Io io) {
    while (size > 0) {
        const ssize_t moved = io(static_cast<int>(fd), bytes, size, static_cast<off_t>(offset));
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            return false;
        }
        bytes += moved;
        size -= static_cast<std::size_t>(moved);
        offset += static_cast<std::uint64_t>(moved);
    }
    return true;
}

FileCalls callsOn(int fd) {
    return {
        fd,
        [](std::intptr_t h, char* bytes, std::size_t size, std::uint64_t offset) {
            return moveAllAt(h, bytes, size, offset, pread);
        },
        [](std::intptr_t h, const char* bytes, std::size_t size, std::uint64_t offset) {
            return moveAllAt(h, bytes, size, offset, posixFileCalls.writeAt);
        },
        [](std::intptr_t h) { return posixFileCalls.sync(static_cast<int>(h)) == 0; },
        [](std::intptr_t h, std::uint64_t size) {
            return posixFileCalls.reserve(static_cast<int>(h), 0, static_cast<off_t>(size)) == 0;
        },
        [](std::intptr_t h, std::uint64_t size) {
            return posixFileCalls.cut(static_cast<int>(h), static_cast<off_t>(size)) == 0;
        },
    };
}

// Flushes a rename itself to disk; a directory that cannot be opened is left as it is.
void syncDirectoryOf(const char* path) {
    char directory[PATH_MAX];
    std::snprintf(directory, sizeof directory, "%s", path);
    char* slash = std::strrchr(directory, '/');
    if (!slash) {
        std::snprintf(directory, sizeof directory, ".");
    } else {
        slash[slash == directory ? 1 : 0] = '\0';
    }
    const int fd = open(directory, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        posixFileCalls.sync(fd);
        close(fd);
    }
}

enum class Found { File, Nothing, Error };

// Follows symbolic links from path to the name that is no link, in target; Nothing when that
// name does not exist yet (a link to a file still to be made). A relative link is joined to its
// own directory as written, ".." included, for the kernel to resolve as opening the link would.
Found followLinks(const char* path, char (&target)[PATH_MAX], struct stat& named) {
    std::snprintf(target, sizeof target, "%s", path);
    for (int hop = 0; hop < 40; ++hop) {
        if (lstat(target, &named) != 0) {
            return errno == ENOENT ? Found::Nothing : Found::Error;
        }
        if (!S_ISLNK(named.st_mode)) {
            return Found::File;
        }
        char link[PATH_MAX];
        const ssize_t length = readlink(target, link, sizeof link - 1);
        if (length <= 0) {
            return Found::Error;
        }
        link[length] = '\0';
        const char* slash = std::strrchr(target, '/');
        char next[PATH_MAX];
        const int folder = slash ? static_cast<int>(slash - target) : 0;
        const int made = link[0] == '/' || !slash ? std::snprintf(next, sizeof next, "%s", link)
                                                  : std::snprintf(next, sizeof next, "%.*s/%s", folder, target, link);
        if (made < 0 || static_cast<std::size_t>(made) >= sizeof next) {
            return Found::Error;
        }
        std::memcpy(target, next, static_cast<std::size_t>(made) + 1);
    }
    return Found::Error;
}

enum class Outcome { Saved, Failed, NoRoom };

// No new file can take the old one's place here (a locked directory, an owner that cannot be
// given away, a file mounted over): the file must be rewritten where it is. Anything else, a full
// disk or a failing device, is a failure to give up on.
Outcome refusal() {
    return errno == EACCES || errno == EPERM || errno == EBUSY ? Outcome::NoRoom : Outcome::Failed;
}

// A new file beside the old one, filled and flushed to disk, then renamed over it: a crash or a
// full disk leaves either the old file or the new one, never a cut one. The new file takes the
// old one's permissions, owner and group.
Outcome replaceByRename(const char* path, const char* bytes, std::size_t size, const struct stat* existing) {
    char temporary[PATH_MAX];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.XXXXXX", path);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof temporary) {
        return Outcome::Failed;
    }
    const int fd = posixFileCalls.makeTemporary(temporary);
    if (fd < 0) {
        return refusal();
    }
    Outcome outcome = Outcome::Saved;
    mode_t mode = 0;
    if (existing != nullptr) {
        mode = existing->st_mode & 07777;
        if ((existing->st_uid != geteuid() || existing->st_gid != getegid()) &&
            posixFileCalls.changeOwner(fd, existing->st_uid, existing->st_gid) != 0) {
            outcome = refusal();
        }
    } else {
        const mode_t mask = umask(022);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (outcome == Outcome::Saved && (fchmod(fd, mode) != 0 || !writeAndFlush(callsOn(fd), bytes, size))) {
        outcome = Outcome::Failed;
    }
    if (close(fd) != 0 && outcome == Outcome::Saved) {
        outcome = Outcome::Failed;
    }
    if (outcome == Outcome::Saved && posixFileCalls.rename(temporary, path) != 0) {
        outcome = refusal();
    }
    if (outcome == Outcome::Saved) {
        syncDirectoryOf(path);
    } else {
        unlink(temporary);
    }
    return outcome;
}

bool rewriteWhereItIs(const char* path, const char* bytes, std::size_t size) {
    const int fd = posixFileCalls.openToRewrite(path);
    if (fd < 0) {
        return false;
    }
    struct stat now {};
    const bool ok = fstat(fd, &now) == 0 && S_ISREG(now.st_mode) &&
                    rewriteInPlace(callsOn(fd), static_cast<std::uint64_t>(now.st_size), bytes, size);
    close(fd);
    return ok;
}

}  // namespace

bool replaceFileContents(const char* path, const char* bytes, std::size_t size) {
    if (path == nullptr || (bytes == nullptr && size != 0)) {
        return false;
    }
    // A symbolic link stays: the file it names is the one replaced, or made, in its own directory.
    char target[PATH_MAX];
    struct stat existing {};
    const Found found = followLinks(path, target, existing);
    if (found == Found::Nothing) {
        return replaceByRename(target, bytes, size, nullptr) == Outcome::Saved;
    }
    if (found == Found::Error || !S_ISREG(existing.st_mode)) {
        return false;
    }
    // A file with no write permission for anyone was made read-only to keep it, and root, whom
    // permissions do not stop, must keep it too.
    if ((existing.st_mode & 0222) == 0 || access(target, W_OK) != 0) {
        return false;
    }
    // A second name (hard link) would keep the old content after a rename: write through it.
    if (existing.st_nlink == 1) {
        const Outcome outcome = replaceByRename(target, bytes, size, &existing);
        if (outcome != Outcome::NoRoom) {
            return outcome == Outcome::Saved;
        }
    }
    return rewriteWhereItIs(target, bytes, size);
}
