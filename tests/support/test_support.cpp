#include "support/test_support.h"

#include "platform/clock.h"
#include "platform/test_hooks.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

double fakeNow = 0;

void useFakeClock(double start) {
    fakeNow = start;
    setClockSource([] { return fakeNow; });
}

void useRealClock() {
    setClockSource(nullptr);
}

namespace {

long long rounded(double v) {
    return std::isfinite(v) ? std::llround(v * 1000.0) : 0x7ff0;
}

// "<step> <hash> name=value ..." for a kept step; the values in thousandths.
std::string checkpoint(const std::string& line, std::map<std::string, std::string>& fields) {
    std::istringstream in(line);
    std::string step, hash;
    in >> step >> hash;
    for (std::string pair; in >> pair;) {
        fields[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
    }
    return step + " " + hash;
}

// Where the stored trace and this run's first part ways, as a message.
std::string firstDifference(const std::string& storedTrace, const std::string& trace) {
    std::istringstream stored(storedTrace), now(trace);
    long previous = 0;
    for (std::string a, b; std::getline(stored, a) && std::getline(now, b);) {
        std::map<std::string, std::string> was, is;
        const std::string head = checkpoint(a, was);
        if (head != checkpoint(b, is) || was != is) {
            std::ostringstream out;
            out << "first differs within steps " << previous + 1 << ".." << std::stol(head) << "; at step "
                << std::stol(head) << ":";
            for (const auto& [field, value] : was) {
                if (is[field] != value) {
                    out << " " << field << " was " << std::stoll(value) / 1000.0 << ", now " << std::stoll(is[field]) / 1000.0 << ";";
                }
            }
            return out.str() + (was == is ? " the named values agree (an unnamed one differs)" : "");
        }
        previous = std::stol(head);
    }
    return storedTrace.empty() ? "no trace stored" : "the kept steps agree; the run's length or its last steps differ";
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
    std::ostringstream storedTrace;
    storedTrace << std::ifstream(traceFile).rdbuf();
    EXPECT_EQ(stored[name], hex) << "digest " << name << ": " << firstDifference(storedTrace.str(), d.trace)
                                 << " (see tests/support/test_support.h)";
}
