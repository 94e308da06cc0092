#pragma once
// Shared helpers for the test programs.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A clock the test moves by hand: clockMs() returns fakeNow while installed.
extern double fakeNow;
void useFakeClock(double start);
void useRealClock();

// A digest of numbers rounded to a thousandth (the last bits of a platform's sine cannot move it),
// taken step by step (a frame, a key press, a primitive). Every `every` steps it also keeps the
// hash so far and the step's named values, so that a digest that no longer matches can say in
// which steps it first differs and which named values differ there, with both values.
struct Digest {
    std::uint64_t value = 1469598103934665603ull;
    int every = 1;
    long steps = 0;
    std::string trace{};  // initialised here, so that Digest d{.every = 50} needs no more
    std::vector<std::pair<const char*, long long>> named{};
    void add(double v);
    void add(const char* name, double v);
    void step();
};
// Compares a digest with the one stored under its name in tests/digests.txt (its trace in
// tests/digests/<name>.trace). After a change that is meant to alter what a test digests, store
// the new values with
//   ZARV_UPDATE_DIGESTS=1 build/tests/test_<folder>
// and review the diff of tests/digests.txt; never to make a rule's test pass.
void expectDigest(const std::string& name, const Digest& d);
// Drawings with text carry the system's glyph bitmaps, which differ between ports (FreeType on
// Linux, GDI on Windows): their digests are stored under the name with the port's suffix.
std::string withSystemText(const std::string& name);
