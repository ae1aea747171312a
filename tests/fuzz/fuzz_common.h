// Set-up shared by the fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "engine_state.h"
#include "position.h"
#include "system.h"

// A fresh engine with fixed keys, once per process.
inline bool InitEngineForFuzzing() {
  CreateEngine();
  SeedRandom(1);
  InitKeys();
  InitSideKey();
  ResetGame();
  E.gameFrom[1] = -1;
  E.ply = 1;
  E.capturedPiece[0] = kEmpty;
  E.epSquare[0] = 0;
  return true;
}

// Stops the run with a message when a property fails; libFuzzer keeps the
// input that caused it.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz property failed: %s\n", what);
  std::abort();
}
