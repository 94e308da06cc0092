#include "support/test_support.h"

#include "platform/clock.h"
#include "platform/test_hooks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

double fakeNow = 0;

void useFakeClock(double start) {
    fakeNow = start;
    setClockSource([] { return fakeNow; });
}

void useRealClock() {
    setClockSource(nullptr);
}

void Digest::add(double v) {
    const long long q = std::isfinite(v) ? std::llround(v * 1000.0) : 0x7ff0;
    for (int i = 0; i < 8; ++i) {
        value = (value ^ ((static_cast<unsigned long long>(q) >> (8 * i)) & 0xff)) * 1099511628211ull;
    }
}

void expectDigest(const std::string& name, const Digest& d) {
    const std::string file = ZARV_SOURCE_DIR "/tests/digests.txt";
    std::map<std::string, std::string> stored;
    std::ifstream in(file);
    for (std::string key, hex; in >> key >> hex;) {
        stored[key] = hex;
    }
    char hex[32];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(d.value));
    if (std::getenv("ZARV_UPDATE_DIGESTS") != nullptr) {
        stored[name] = hex;
        std::ofstream out(file, std::ios::trunc);
        for (const auto& [key, value] : stored) {
            out << key << ' ' << value << '\n';
        }
        return;
    }
    EXPECT_EQ(stored[name], hex) << "digest " << name << " (see tests/support/test_support.h)";
}
