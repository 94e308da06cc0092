#pragma once
// The 15-bit linear congruential generator every random choice of the game goes through:
// x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF. Deterministic for a given seed.

int platformRand();  // 0..32767
void platformSrand(unsigned seed);
