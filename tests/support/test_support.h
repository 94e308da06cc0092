#pragma once
// Shared helpers for the test programs.
#include <cstdint>
#include <string>

// A clock the test moves by hand: clockMs() returns fakeNow while installed.
extern double fakeNow;
void useFakeClock(double start);
void useRealClock();

// A digest of numbers rounded to a thousandth (the last bits of a platform's sine cannot move it).
struct Digest {
    std::uint64_t value = 1469598103934665603ull;
    void add(double v);
};
// Compares a digest with the one stored under its name in tests/digests.txt. After a change that
// is meant to alter what a test digests, store the new values with
//   ZARV_UPDATE_DIGESTS=1 build/tests/test_<folder>
// and review the diff of tests/digests.txt.
void expectDigest(const std::string& name, const Digest& d);
