#pragma once
// Force-included in the Windows test programs: the one POSIX call the shared fixtures make that
// the Windows C runtime lacks, and the system headers tamed before any test sees them (they
// define near, far, min and max as macros, which are ordinary names in our tests).
#define NOMINMAX
#include <windows.h>
#undef near
#undef far

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// A fresh directory, named from the process and a running number. The shell commands that remove
// the directories on Linux do not run here, so the process that made them removes them at its end.
inline char* mkdtemp(char* pattern) {
    static std::vector<std::string> made;
    static unsigned serial = GetTickCount();
    static const int removal = std::atexit([] {
        for (const std::string& dir : made) {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    });
    const std::size_t length = std::strlen(pattern);
    for (int attempt = 0; length >= 6 && removal == 0 && attempt < 100; ++attempt) {
        const unsigned name = (GetCurrentProcessId() * 7919u + serial++) & 0xFFFFFFu;
        std::snprintf(pattern + length - 6, 7, "%06x", name);
        if (CreateDirectoryA(pattern, nullptr)) {
            made.push_back(pattern);
            return pattern;
        }
    }
    return nullptr;
}
