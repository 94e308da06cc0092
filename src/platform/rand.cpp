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
