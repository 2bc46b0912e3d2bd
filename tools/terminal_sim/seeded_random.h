// A small random generator whose sequence depends on its seed alone, on every compiler and
// platform (the standard distributions do not promise that).
#pragma once
#include <cstdint>

class SeededRandom {
 public:
  explicit SeededRandom(uint64_t seed) : state_(seed) {}

  // splitmix64: a 64-bit counter through a fixed mixing function.
  uint64_t Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }

  // Uniform in [low, high]; the modulo's bias is far below anything a test could see.
  int Between(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1));
  }

  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

 private:
  uint64_t state_;
};
