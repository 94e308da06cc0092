#include "platform/rand.h"

namespace {
unsigned state = 1;
}

int platformRand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

void platformSrand(unsigned seed) {
    state = seed;
}

std::int32_t random(std::uint32_t n) {
    const std::int64_t r = platformRand();
    return static_cast<std::int32_t>(r * static_cast<std::int64_t>(n) / 32768);
}
