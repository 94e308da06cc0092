#include "support/test_support.h"

#include "platform/clock.h"
#include "seams/seams.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

double fakeNow = 0;

void useFakeClock(double start) {
    fakeNow = start, clockSource = [] { return fakeNow; };
}

void useRealClock() { clockSource = portClockMs; }

namespace {

long long rounded(double v) {
    return std::isfinite(v) ? std::llround(v * 1000.0) : 0x7ff0;
}

std::vector<std::string> lines(std::istream&& in) {
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

}  // namespace

void Digest::add(double v) {
    const long long q = rounded(v);
    for (int i = 0; i < 8; ++i) {
        value = (value ^ ((static_cast<unsigned long long>(q) >> (8 * i)) & 0xff)) * 1099511628211ull;
    }
}

void Digest::add(const char* name, double v) {
    add(v);
    named.emplace_back(name, rounded(v));
}

void Digest::step() {
    if (++steps % every == 0) {
        char hash[24];
        std::snprintf(hash, sizeof hash, " %016llx", static_cast<unsigned long long>(value));
        trace += std::to_string(steps) + hash;
        for (const auto& [name, v] : named) {
            trace += std::string(" ") + name + "=" + std::to_string(v);
        }
        trace += "\n";
    }
    named.clear();
}

void expectDigest(const std::string& name, const Digest& d) {
    const std::string file = ZARV_SOURCE_DIR "/tests/digests.txt";
    const std::string traceFile = ZARV_SOURCE_DIR "/tests/digests/" + name + ".trace";
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
        std::ofstream(traceFile, std::ios::trunc) << d.trace;
        return;
    }
    // The first kept step where the stored trace and this run's part ways, both lines in full.
    const auto was = lines(std::ifstream(traceFile));
    const auto is = lines(std::istringstream(d.trace));
    const auto [w, n] = std::mismatch(was.begin(), was.end(), is.begin(), is.end());
    const std::string ended = "(the trace ends)";
    EXPECT_EQ(stored[name], hex) << "digest " << name << ": the first kept steps (step hash name=thousandths) "
                                 << "that differ\n  stored " << (w != was.end() ? *w : ended)
                                 << "\n  now    " << (n != is.end() ? *n : ended)
                                 << "\n(see tests/support/test_support.h)";
}

std::string withSystemText(const std::string& name) {
    return name + ZARV_SYSTEM_TEXT;
}
