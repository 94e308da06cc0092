// The save's calls on a POSIX system, each failing as on a full disk when the watcher says so.
#include "platform/linux/file_seam.h"
#include "seams/seams.h"

#include <cerrno>

namespace {

bool (*watcher)() = nullptr;

bool failsNow() {
    if (watcher != nullptr && watcher()) {
        errno = ENOSPC;
        return true;
    }
    return false;
}

const PosixFileCalls kWatched{
    [](char* pattern) { return failsNow() ? -1 : kSystemFileCalls.makeTemporary(pattern); },
    [](int fd, uid_t owner, gid_t group) { return failsNow() ? -1 : kSystemFileCalls.changeOwner(fd, owner, group); },
    [](const char* from, const char* to) { return failsNow() ? -1 : kSystemFileCalls.rename(from, to); },
    [](const char* path) { return failsNow() ? -1 : kSystemFileCalls.openToRewrite(path); },
    [](int fd, const void* bytes, size_t size, off_t offset) -> ssize_t {
        if (failsNow()) {
            kSystemFileCalls.writeAt(fd, bytes, size / 2, offset);
            errno = ENOSPC;
            return -1;
        }
        return kSystemFileCalls.writeAt(fd, bytes, size, offset);
    },
    [](int fd) { return failsNow() ? -1 : kSystemFileCalls.sync(fd); },
    [](int fd, off_t offset, off_t size) { return failsNow() ? ENOSPC : kSystemFileCalls.reserve(fd, offset, size); },
    [](int fd, off_t size) { return failsNow() ? -1 : kSystemFileCalls.cut(fd, size); },
};

}  // namespace

void watchSaveSteps(bool (*beforeStep)()) {
    watcher = beforeStep;
    posixFileCalls = beforeStep != nullptr ? kWatched : kSystemFileCalls;
}
