// Shared set-up for the evaluation tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine_state.h"
#include "evaluate.h"
#include "notation.h"
#include "position.h"
#include "system.h"

// A fresh engine on the starting position with seeded keys.
inline void FreshEvalEngine() { StartEngine(1); }

// Makes the current position look like one reached in a search with no
// castling right lost on the line and no root move. rootSide is the side that
// has just moved, as korvin-cli eval sets it; it matters only with a root
// move, and the tests of that term set it themselves.
inline void AsSearchRoot() {
  E.savedCastleRights[1] = E.castleRights;
  E.plyFrom[1] = 0;
  E.rootSide = 1 - E.sideToMove;
}

// Sets up a FEN position as a search root, failing the test on bad input.
inline void SetRoot(const std::string& fen) {
  std::string error;
  ASSERT_TRUE(SetupFen(fen, error)) << fen << ": " << error;
  AsSearchRoot();
}

// The White accumulator of a position given as FEN.
inline int WhiteTotal(const std::string& fen) {
  SetRoot(fen);
  Evaluate();
  return evalWhiteTotal;
}

// The Black accumulator of a position given as FEN.
inline int BlackTotal(const std::string& fen) {
  SetRoot(fen);
  Evaluate();
  return evalBlackTotal;
}
