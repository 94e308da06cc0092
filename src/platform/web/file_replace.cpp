// The settings file in the page: in Emscripten's file system, kept in the browser's IndexedDB
// (storage.js mounts it and reads it back before main). A save counts as done once the
// browser's storage has confirmed it.
#include "platform/port.h"

#include <emscripten.h>

#include <cstdio>
#include <string>

namespace {

// 1 once the browser's storage has the files, 0 when it failed or is refused (a private window,
// storage switched off); 2 where no storage is mounted (node, the test programs): the file
// system's own write is the save there.
EM_ASYNC_JS(int, keepFiles, (), {
    if (Module["zarvStorage"] === undefined) {
        return 2;
    }
    if (!Module["zarvStorage"]) {
        return 0;
    }
    return await new Promise(resolve => FS.syncfs(false, error => resolve(error ? 0 : 1)));
});

bool readAll(const char* path, std::string& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        bytes.append(chunk, n);
    }
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    return read;
}

// The bytes beside the file, then moved over it in one step.
bool writeAndMove(const char* path, const char* bytes, std::size_t size) {
    const std::string beside = std::string(path) + ".new";
    std::FILE* file = std::fopen(beside.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written || std::rename(beside.c_str(), path) != 0) {
        std::remove(beside.c_str());
        return false;
    }
    return true;
}

}  // namespace

// The file system lives in the page's memory, where nothing but this page writes and no crash
// leaves half a file; what the storage refuses is put back as it was, so that the page and the
// storage keep one content.
bool replaceFileContents(const char* path, const char* bytes, std::size_t size) {
    if (path == nullptr || (bytes == nullptr && size != 0)) {
        return false;
    }
    std::string old;
    const bool hadFile = readAll(path, old);
    if (!writeAndMove(path, bytes, size)) {
        return false;
    }
    if (keepFiles() != 0) {
        return true;
    }
    if (hadFile) {
        writeAndMove(path, old.data(), old.size());
    } else {
        std::remove(path);
    }
    return false;
}
