#include "platform/file_in_place.h"

#include <cstdlib>
#include <cstring>

bool writeAndFlush(const FileCalls& file, const char* bytes, std::size_t size) {
    return file.writeAt(file.handle, bytes, size, 0) && file.flush(file.handle);
}

// The reader stops at the first zero byte, so the old text followed by zeros still reads as the
// old settings, and the new text followed by zeros as the new. The file first grows with zeros to
// the new length, its room taken (a full disk fails here, before anything is overwritten); one
// write over its start then puts down the new text, zero-padded to the old length; only once that
// is on the disk is the file cut. Should the write or its flush fail, the old bytes go back. What
// this cannot cover is a crash or power loss in the middle of that one write: the disk may then
// hold part of the new text and part of the old.
bool rewriteInPlace(const FileCalls& file, std::uint64_t oldSize, const char* bytes, std::size_t size) {
    if (oldSize > SIZE_MAX / 2 - 1) {
        return false;
    }
    const std::size_t old = static_cast<std::size_t>(oldSize);
    const std::size_t padded = size > old ? size : old;
    char* before = static_cast<char*>(std::calloc(padded + 1, 2));
    if (before == nullptr) {
        return false;
    }
    char* after = before + padded + 1;
    if (size > 0) {
        std::memcpy(after, bytes, size);
    }
    bool ready = file.readAt(file.handle, before, old, 0);
    if (ready && size > old) {
        ready = file.grow(file.handle, size) && file.flush(file.handle);
    }
    const bool written = ready && writeAndFlush(file, after, padded);
    if (ready && !written) {
        writeAndFlush(file, before, padded);
    }
    // Cut to the length that holds the text now: a cut that fails leaves zeros, which are read past.
    const std::size_t length = written ? size : old;
    if (length < padded && file.cut(file.handle, length)) {
        file.flush(file.handle);
    }
    std::free(before);
    return written;
}
