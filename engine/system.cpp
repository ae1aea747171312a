#include "system.h"

#include <chrono>
#include <random>

namespace {
std::mt19937 generator(5489u);
}

int ClockMs() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<int>(static_cast<uint32_t>(ms));
}

void SeedRandom(uint32_t seed) { generator.seed(seed); }

// Draws from the generator without a library distribution, so that a seed
// gives the same sequence with every standard library.
int RandomInt(int lo, int hi) {
  const uint32_t span = static_cast<uint32_t>(hi - lo) + 1u;
  if (span == 0) return static_cast<int>(static_cast<uint32_t>(generator()));  // the full 32-bit range
  const uint32_t limit = 0xFFFFFFFFu - (0xFFFFFFFFu % span);
  uint32_t r;
  do {
    r = static_cast<uint32_t>(generator());
  } while (r >= limit);
  return lo + static_cast<int>(r % span);
}
