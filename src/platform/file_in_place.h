#pragma once
// What the ports' replaceFileContents share: the rewrite of a file that must keep its place, over
// a table of the port's calls on the open file. Only src/platform includes this.
#include <cstddef>
#include <cstdint>

// An open file and the platform's calls on it; each is true when it did all that was asked.
struct FileCalls {
    std::intptr_t handle;
    bool (*readAt)(std::intptr_t handle, char* bytes, std::size_t size, std::uint64_t offset);
    bool (*writeAt)(std::intptr_t handle, const char* bytes, std::size_t size, std::uint64_t offset);
    bool (*flush)(std::intptr_t handle);
    // Grows the file to size with zero bytes whose room on the disk is taken now.
    bool (*grow)(std::intptr_t handle, std::uint64_t size);
    bool (*cut)(std::intptr_t handle, std::uint64_t size);
};

// The whole of bytes at the file's start, then flushed to the disk.
bool writeAndFlush(const FileCalls& file, const char* bytes, std::size_t size);
// Replaces the content of a file of oldSize bytes with bytes. The file reads as the old content or
// the new, followed at most by zero bytes, before and after the one write of the new bytes, and
// after a failure the calls report: the old bytes are written back, and only a failure of that
// write too leaves a mixture. A crash or power loss during the write may leave a mixture of old
// and new bytes. True when the new content is down.
bool rewriteInPlace(const FileCalls& file, std::uint64_t oldSize, const char* bytes, std::size_t size);
