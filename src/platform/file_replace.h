#pragma once
// Replacing a small file's whole content, the way the settings file is saved.
#include <cstddef>

// Puts exactly these bytes in the file at path. True when the new content is in place; false
// leaves the old file as it was (or no file, where there was none), and reports nothing.
// Callers may rely on: no reader ever sees a cut or half-written file where the system allows
// that to be avoided; a symbolic link is followed and stays a link; a file the user may not
// write is never changed.
bool replaceFileContents(const char* path, const char* bytes, std::size_t size);
