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
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A fresh directory per test. GoogleTest's death tests run the test again in a new process here
// (no fork), whose fixture must find the same directory: the name comes from the test's name and
// a run number the child inherits through the environment. The shell commands that remove the
// directories on Linux do not run here, so the process that made them removes them at its end.
inline char* mkdtemp(char* pattern) {
    static std::vector<std::string> made;
    static char run[32] = {};
    static const bool inherited = GetEnvironmentVariableA("ZARV_TEST_DIR_RUN", run, sizeof run) > 0;
    const std::size_t length = std::strlen(pattern);
    if (length < 6) {
        return nullptr;
    }
    if (!inherited && run[0] == '\0') {
        std::snprintf(run, sizeof run, "%lu-%lu", GetCurrentProcessId(), GetTickCount());
        SetEnvironmentVariableA("ZARV_TEST_DIR_RUN", run);
        std::atexit([] {
            for (const std::string& dir : made) {
                std::error_code ignored;
                std::filesystem::remove_all(dir, ignored);
            }
        });
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string key = test ? std::string(test->test_suite_name()) + "." + test->name() : "";
    std::size_t hash = std::hash<std::string>{}(run + key);
    for (std::size_t i = length - 6; i < length; ++i, hash /= 36) {
        pattern[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[hash % 36];
    }
    if (!CreateDirectoryA(pattern, nullptr) && !(inherited && GetLastError() == ERROR_ALREADY_EXISTS)) {
        return nullptr;
    }
    if (!inherited) {
        made.push_back(pattern);
    }
    return pattern;
}
