// Shared set-up for the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "system.h"

// A fresh engine on the starting position with seeded keys.
inline void FreshEngine(uint32_t seed = 1) { StartEngine(seed); }

// Sets up a FEN position on a fresh engine, failing the test on bad input.
inline void SetFen(const std::string& fen) {
  FreshEngine();
  std::string error;
  ASSERT_TRUE(SetupFen(fen, error)) << error;
}

// Plays moves in coordinate notation as game moves.
inline void PlayMoves(const std::string& moves) {
  std::string error, move;
  size_t pos = 0;
  while (pos < moves.size()) {
    const size_t end = moves.find(' ', pos);
    move = moves.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? moves.size() : end + 1;
    if (move.empty()) continue;
    ASSERT_TRUE(PlayMoveText(move, error)) << error;
  }
  E.ply = 1;
}

// The moves of the current ply's list as "e2e4" names, in list order.
inline std::string ListedMoves(int first, int last) {
  std::string out;
  for (int i = first; i <= last; i++) {
    if (!out.empty()) out += ' ';
    out += SquareName(E.moveFrom[i]) + SquareName(E.moveTo[i]);
  }
  return out;
}
