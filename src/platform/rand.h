#pragma once
#include <cstdint>

// The 15-bit linear congruential generator every random choice of the game goes through:
// x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF. Deterministic for a given seed.

int platformRand();  // 0..32767
void platformSrand(unsigned seed);

// 0..n-1 from the integer part of platformRand() * n / 32768; 0 for n = 0. Every random choice
// of the game, its sound and its drawing goes through it.
std::int32_t random(std::uint32_t n);
