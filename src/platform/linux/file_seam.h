#pragma once
// The calls by which the save creates, changes, moves and flushes files, as a table a test can
// put in place of the system's own, to fail each in turn as a full disk would.
#include <sys/types.h>

struct PosixFileCalls {
    int (*makeTemporary)(char* pattern);                     // mkstemp
    int (*changeOwner)(int fd, uid_t owner, gid_t group);   // fchown
    int (*rename)(const char* from, const char* to);
    int (*openToRewrite)(const char* path);                 // an existing file, for reading and writing
    ssize_t (*writeAt)(int fd, const void* bytes, size_t size, off_t offset);  // pwrite
    int (*sync)(int fd);                                    // fsync, of a file or of a directory
    int (*reserve)(int fd, off_t offset, off_t size);       // posix_fallocate
    int (*cut)(int fd, off_t size);                         // ftruncate
};
extern const PosixFileCalls kSystemFileCalls;
extern PosixFileCalls posixFileCalls;
