#include "fake_keyboard.h"

#include "platform/keys.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstdlib>

namespace fake_keyboard {
namespace {

constexpr long kBudget = 20'000'000;

struct KeyScript {
    bool held;
    long remaining;
    long from;
    long until;
};

KeyScript script[256];
long perKey[256];
long total = 0;
bool focus = true;

bool down(int vk) {
    ++total;
    if (total > kBudget) {
        // A wait that never ends would hang the test run: stop loudly instead.
        std::fprintf(stderr, "fake keyboard: %ld queries without an end, giving up\n", kBudget);
        std::abort();
    }
    if (vk < 0 || vk > 255) {
        return false;
    }
    ++perKey[vk];
    KeyScript& key = script[vk];
    if (key.remaining > 0) {
        --key.remaining;
        return true;
    }
    return key.held || (total - 1 >= key.from && total - 1 < key.until);
}

bool focused() {
    return focus;
}

}  // namespace

void install() {
    reset();
    setKeySource(down, focused);
}

void uninstall() {
    setKeySource(nullptr, nullptr);
}

void reset() {
    std::fill(std::begin(script), std::end(script), KeyScript{false, 0, 0, 0});
    std::fill(std::begin(perKey), std::end(perKey), 0);
    total = 0;
    focus = true;
}

void hold(int vk) {
    script[vk].held = true;
}

void release(int vk) {
    script[vk] = KeyScript{false, 0, 0, 0};
}

void holdForQueries(int vk, long n) {
    script[vk].remaining = n;
}

void holdBetween(int vk, long from, long until) {
    script[vk].from = from;
    script[vk].until = until;
}

long queries() {
    return total;
}

long queriesOf(int vk) {
    return vk >= 0 && vk <= 255 ? perKey[vk] : 0;
}

void setFocused(bool focused) {
    focus = focused;
}

}  // namespace fake_keyboard
