#include "platform/file_replace.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The permissions a new file gets from fopen, or those of the file being replaced.
mode_t fileMode(const char* path) {
    struct stat existing {};
    if (stat(path, &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = umask(022);
    umask(mask);
    return 0666 & ~mask;
}

// Flushes the rename itself to disk; a directory that cannot be opened is left as it is.
void syncDirectoryOf(const char* path) {
    char directory[PATH_MAX];
    std::snprintf(directory, sizeof directory, "%s", path);
    char* slash = std::strrchr(directory, '/');
    if (!slash) {
        std::snprintf(directory, sizeof directory, ".");
    } else if (slash == directory) {
        slash[1] = '\0';
    } else {
        *slash = '\0';
    }
    const int fd = open(directory, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

// A new file beside the old one, filled and flushed to disk, then renamed over it: a crash or a
// full disk leaves either the old file or the new one, never a cut one.
bool replaceFileContents(const char* path, const char* bytes, std::size_t size) {
    char temporary[PATH_MAX];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.XXXXXX", path);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof temporary) {
        return false;
    }
    const mode_t mode = fileMode(path);
    const int fd = mkstemp(temporary);
    if (fd < 0) {
        return false;
    }
    bool ok = fchmod(fd, mode) == 0 && writeAll(fd, bytes, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary, path) == 0) {
        syncDirectoryOf(path);
        return true;
    }
    unlink(temporary);
    return false;
}
