#pragma once
// Force-included in the Windows test programs: the one POSIX call the shared fixtures make that
// the Windows C runtime lacks, and the system headers tamed before any test sees them (they
// define near, far, min and max as macros, which are ordinary names in our tests).
#define NOMINMAX
#include <windows.h>
#undef near
#undef far

#include <cstdio>
#include <cstring>

// A fresh directory, named from the process and a running number (the fixtures remove it).
inline char* mkdtemp(char* pattern) {
    static unsigned serial = GetTickCount();
    const std::size_t length = std::strlen(pattern);
    for (int attempt = 0; length >= 6 && attempt < 100; ++attempt) {
        const unsigned name = (GetCurrentProcessId() * 7919u + serial++) & 0xFFFFFFu;
        std::snprintf(pattern + length - 6, 7, "%06x", name);
        if (CreateDirectoryA(pattern, nullptr)) {
            return pattern;
        }
    }
    return nullptr;
}
