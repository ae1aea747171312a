// Helpers shared by the opening-book tests.
#pragma once

#include <string>
#include <vector>

#include "book.h"
#include "book_file.h"
#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "system.h"

// A fresh engine at the initial position with an empty game record.
inline void FreshEngine() { StartEngine(1); }

// Loads a book given as byte values.
inline void LoadBookValues(const std::vector<int>& values) {
  std::vector<unsigned char> bytes;
  for (const int v : values) bytes.push_back(static_cast<unsigned char>(v));
  LoadBookBytes(bytes.data(), bytes.size());
}

// The loaded book as byte values, slots 1 .. bookLength - 1.
inline std::vector<int> BookValues() {
  std::vector<int> values;
  for (int k = 1; k < E.bookLength; k++) values.push_back(E.bookBytes[k]);
  return values;
}

// Plays moves like "e2e4 e7e5" into the game; false when one is refused.
inline bool PlayMoves(const std::string& moves) {
  size_t start = 0;
  while (start < moves.size()) {
    size_t end = moves.find(' ', start);
    if (end == std::string::npos) end = moves.size();
    if (end > start) {
      std::string error;
      if (!PlayMoveText(moves.substr(start, end - start), error)) return false;
    }
    start = end + 1;
  }
  return true;
}

// Probes `draws` times and counts how often each move (as "e2e4") came out.
inline std::vector<std::pair<std::string, int>> ProbeCounts(int draws) {
  std::vector<std::pair<std::string, int>> counts;
  for (int i = 0; i < draws; i++) {
    const std::string name =
        ProbeBook() ? SquareName(E.pvFrom[1][1]) + SquareName(E.pvTo[1][1]) : "none";
    bool found = false;
    for (auto& c : counts)
      if (c.first == name) {
        c.second++;
        found = true;
      }
    if (!found) counts.push_back({name, 1});
  }
  return counts;
}

inline int CountOf(const std::vector<std::pair<std::string, int>>& counts, const std::string& move) {
  for (const auto& c : counts)
    if (c.first == move) return c.second;
  return 0;
}
