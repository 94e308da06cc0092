// The save's calls on a POSIX system, each failing as on a full disk when the watcher says so.
#include "platform/linux/file_seam.h"
#include "seams/seams.h"

#include <cerrno>

namespace {

bool (*watcher)() = nullptr;

bool failsNow() {
    const bool fails = watcher != nullptr && watcher();
    errno = fails ? ENOSPC : errno;
    return fails;
}

const PosixFileCalls& system = kSystemFileCalls;
const PosixFileCalls kWatched{
    [](char* pattern) { return failsNow() ? -1 : system.makeTemporary(pattern); },
    [](int fd, uid_t owner, gid_t group) { return failsNow() ? -1 : system.changeOwner(fd, owner, group); },
    [](const char* from, const char* to) { return failsNow() ? -1 : system.rename(from, to); },
    [](const char* path) { return failsNow() ? -1 : system.openToRewrite(path); },
    [](int fd, const void* bytes, size_t size, off_t offset) -> ssize_t {
        if (!failsNow()) {
            return system.writeAt(fd, bytes, size, offset);
        }
        system.writeAt(fd, bytes, size / 2, offset);  // a disk that fills part way takes half first
        errno = ENOSPC;
        return -1;
    },
    [](int fd) { return failsNow() ? -1 : system.sync(fd); },
    [](int fd, off_t offset, off_t size) { return failsNow() ? ENOSPC : system.reserve(fd, offset, size); },
    [](int fd, off_t size) { return failsNow() ? -1 : system.cut(fd, size); },
};

}  // namespace

void watchSaveSteps(bool (*beforeStep)()) {
    watcher = beforeStep;
    posixFileCalls = beforeStep != nullptr ? kWatched : kSystemFileCalls;
}
