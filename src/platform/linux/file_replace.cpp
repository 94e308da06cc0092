#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// pread and pwrite may move fewer bytes than asked, or be interrupted: go on until all have moved.
template <typename Bytes, typename Io>
bool moveAllAt(int fd, Bytes* bytes, std::size_t size, off_t offset, Io io) {
    while (size > 0) {
        const ssize_t moved = io(fd, bytes, size, offset);
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            return false;
        }
        bytes += moved;
        size -= static_cast<std::size_t>(moved);
        offset += moved;
    }
    return true;
}

bool writeAllAt(int fd, const char* bytes, std::size_t size, off_t offset) {
    return moveAllAt(fd, bytes, size, offset, pwrite);
}

// The directory part of path ("." when it has none).
void directoryOf(const char* path, char (&directory)[PATH_MAX]) {
    std::snprintf(directory, sizeof directory, "%s", path);
    char* slash = std::strrchr(directory, '/');
    if (!slash) {
        std::snprintf(directory, sizeof directory, ".");
    } else if (slash == directory) {
        slash[1] = '\0';
    } else {
        *slash = '\0';
    }
}

// Flushes a rename itself to disk; a directory that cannot be opened is left as it is.
void syncDirectoryOf(const char* path) {
    char directory[PATH_MAX];
    directoryOf(path, directory);
    const int fd = open(directory, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// A new file beside the old one, filled and flushed to disk, then renamed over it: a crash or a
// full disk leaves either the old file or the new one, never a cut one. The new file takes the
// old one's permissions, owner and group, or the replacement is not made.
bool replaceByRename(const char* path, const char* bytes, std::size_t size, const struct stat* existing) {
    char temporary[PATH_MAX];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.XXXXXX", path);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof temporary) {
        return false;
    }
    const int fd = mkstemp(temporary);
    if (fd < 0) {
        return false;
    }
    mode_t mode = 0;
    bool ok = true;
    if (existing != nullptr) {
        mode = existing->st_mode & 07777;
        if (existing->st_uid != geteuid() || existing->st_gid != getegid()) {
            ok = fchown(fd, existing->st_uid, existing->st_gid) == 0;
        }
    } else {
        const mode_t mask = umask(022);
        umask(mask);
        mode = 0666 & ~mask;
    }
    ok = ok && fchmod(fd, mode) == 0 && writeAllAt(fd, bytes, size, 0) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary, path) == 0) {
        syncDirectoryOf(path);
        return true;
    }
    unlink(temporary);
    return false;
}

// Where no file may be made beside it: the space is reserved first, the new bytes written over
// the old ones, and only then is the file cut to its new length. Should a write still fail, the
// old bytes are put back.
bool rewriteInPlace(const char* path, const char* bytes, std::size_t size) {
    const int fd = open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat before {};
    if (fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        close(fd);
        return false;
    }
    const auto oldSize = static_cast<std::size_t>(before.st_size);
    char* old = static_cast<char*>(std::malloc(oldSize + 1));
    if (old == nullptr || !moveAllAt(fd, old, oldSize, 0, pread)) {
        std::free(old);
        close(fd);
        return false;
    }
    bool ok = size <= oldSize || posix_fallocate(fd, 0, static_cast<off_t>(size)) == 0;
    ok = ok && writeAllAt(fd, bytes, size, 0) && ftruncate(fd, static_cast<off_t>(size)) == 0 && fsync(fd) == 0;
    struct stat after {};
    ok = ok && fstat(fd, &after) == 0 && static_cast<std::size_t>(after.st_size) == size;
    if (!ok) {
        writeAllAt(fd, old, oldSize, 0);
        ftruncate(fd, static_cast<off_t>(oldSize));
        fsync(fd);
    }
    std::free(old);
    return close(fd) == 0 && ok;
}

}  // namespace

bool replaceFileContents(const char* path, const char* bytes, std::size_t size) {
    // A symbolic link stays: the file it names is the one replaced, in that file's directory.
    char target[PATH_MAX];
    struct stat named {};
    if (lstat(path, &named) != 0) {
        return errno == ENOENT && replaceByRename(path, bytes, size, nullptr);
    }
    if (S_ISLNK(named.st_mode)) {
        if (realpath(path, target) == nullptr) {
            return false;
        }
    } else {
        std::snprintf(target, sizeof target, "%s", path);
    }
    struct stat existing {};
    if (stat(target, &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return false;
    }
    // What the player may not write is left alone, though its directory would allow a new one.
    if (access(target, W_OK) != 0) {
        return false;
    }
    // A second name (hard link) would keep the old content after a rename: write through it.
    if (existing.st_nlink == 1 && replaceByRename(target, bytes, size, &existing)) {
        return true;
    }
    return rewriteInPlace(target, bytes, size);
}
