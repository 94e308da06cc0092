#pragma once
// Replacing a small file's whole content, the way the settings file is saved.
#include <cstddef>

// Puts these bytes in the file at path. True when the new content is in place; false leaves the
// old content (or no file, where there was none; the in-place rewrite's one exception is below),
// and reports nothing.
// Callers may rely on:
// - whenever a new file can take the old one's place, the new content is written beside it and
//   moved over it in one step: a crash or a failure leaves the old file as it was, or the new one
//   in its place (then the result is true);
// - where the file must keep its place (a folder the player may not write, a second name for the
//   file, an owner or access rights a new file could not keep), it is rewritten in place
//   (file_in_place.h). The file reads as the old content or the new, followed at most by zero
//   bytes, which the settings reader ignores, before and after the one write of the new bytes,
//   and after a failure the system reports (a full disk stops it before anything is overwritten;
//   after a failing write or flush the old bytes are written back, and only should that fail too
//   can the file stay mixed). A crash or power loss during that write may leave a mixture of old
//   and new bytes;
// - a symbolic link is followed and stays a link, its target receives the content (and is made
//   when it does not exist yet);
// - a file the player may not write, or that nobody may write, is never changed.
bool replaceFileContents(const char* path, const char* bytes, std::size_t size);
