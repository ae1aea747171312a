// Set-up shared by the fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "engine_state.h"
#include "position.h"
#include "system.h"

// A fresh engine with fixed keys, once per process.
inline bool InitEngineForFuzzing() {
  StartEngine(1);
  return true;
}

// Stops the run with a message when a property fails; libFuzzer keeps the
// input that caused it.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz property failed: %s\n", what);
  std::abort();
}
