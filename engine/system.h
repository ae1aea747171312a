// System services the engine needs: a millisecond clock and one shared,
// seedable random generator.
#pragma once

#include <cstdint>

// Milliseconds from an arbitrary start, as a 32-bit value that wraps. Compute
// elapsed time as ElapsedMs(start) so that a wrap does no harm.
int ClockMs();

// Milliseconds since `start`, a reading of ClockMs, correct across a wrap.
inline uint32_t ElapsedMs(int start) {
  return static_cast<uint32_t>(ClockMs()) - static_cast<uint32_t>(start);
}

// Seeds the shared random generator. Start-up seeds it once from the clock;
// tests and tools may seed it with a fixed value for reproducible runs.
void SeedRandom(uint32_t seed);

// A uniformly drawn integer in lo..hi, both ends included.
int RandomInt(int lo, int hi);
