#include "uci_time.h"

#include <algorithm>
#include <cctype>

namespace {

// A decimal integer, clamped to -1e9..1e9; false when the word is not one.
bool ParseNumber(const std::string& w, int& value) {
  size_t i = w.size() > 0 && (w[0] == '-' || w[0] == '+') ? 1 : 0;
  if (i == w.size()) return false;
  long long v = 0;
  for (size_t j = i; j < w.size(); j++) {
    if (!std::isdigit(static_cast<unsigned char>(w[j]))) return false;
    v = std::min(v * 10 + (w[j] - '0'), 1000000000LL);
  }
  value = static_cast<int>(w[0] == '-' ? -v : v);
  return true;
}

}  // namespace

GoLimits ParseGoWords(const std::vector<std::string>& words, std::vector<std::string>& notes) {
  GoLimits g;
  bool anyLimit = false;
  for (size_t i = 0; i < words.size(); i++) {
    const std::string& w = words[i];
    int* target = nullptr;
    if (w == "wtime") target = &g.whiteTime;
    else if (w == "btime") target = &g.blackTime;
    else if (w == "winc") target = &g.whiteIncrement;
    else if (w == "binc") target = &g.blackIncrement;
    else if (w == "movestogo") target = &g.movesToGo;
    else if (w == "depth") target = &g.depth;
    else if (w == "movetime") target = &g.moveTime;
    if (target) {
      int v = 0;
      if (i + 1 < words.size() && ParseNumber(words[i + 1], v)) {
        // A clock that has run below zero counts as empty.
        *target = std::max(v, 0);
        // A depth or move time of zero would never end: take the least one.
        if (w == "depth" || w == "movetime") *target = std::max(v, 1);
        if (w != "winc" && w != "binc" && w != "movestogo") anyLimit = true;
        i++;
      } else {
        notes.push_back("go " + w + " needs a number; ignored");
      }
    } else if (w == "infinite" || w == "ponder") {
      g.infinite = true;
    } else if (w == "nodes" || w == "mate") {
      notes.push_back("go " + w + " is not supported; ignored");
      if (i + 1 < words.size()) i++;
    } else if (w == "searchmoves") {
      notes.push_back("go searchmoves is not supported; ignored");
      while (i + 1 < words.size() && words[i + 1].size() >= 4 && words[i + 1][0] >= 'a' &&
             words[i + 1][0] <= 'h' && std::isdigit(static_cast<unsigned char>(words[i + 1][1])))
        i++;
    } else {
      notes.push_back("go: unknown word '" + w + "' ignored");
    }
  }
  if (!anyLimit) g.infinite = true;  // a bare "go" analyses until stop
  return g;
}

int AllocateTimeMs(int remaining, int increment, int movesToGo, int overhead) {
  const long long left = std::max(remaining, 0);
  const long long moves = movesToGo > 0 ? movesToGo : 30;
  const long long share = left / moves + 3LL * std::max(increment, 0) / 4 - overhead;
  const long long ceiling = (left - overhead) / 3;
  return static_cast<int>(std::max(1LL, std::min(share, ceiling)));
}

void SearchLimits(const GoLimits& g, int side, int overhead, int& timeLimit, int& maxDepth) {
  maxDepth = g.depth > 0 ? std::min(g.depth, 99) : 99;
  timeLimit = kNoTimeLimit;
  if (g.infinite) return;
  if (g.moveTime > 0) {
    timeLimit = std::max(1, g.moveTime - overhead);
    return;
  }
  const int own = side == 0 ? g.whiteTime : g.blackTime;
  const bool clockGiven = g.whiteTime >= 0 || g.blackTime >= 0;
  if (clockGiven) {
    // Only the other side's clock given: play at once rather than hang.
    timeLimit = AllocateTimeMs(std::max(own, 0), side == 0 ? g.whiteIncrement : g.blackIncrement,
                               g.movesToGo, overhead);
  }
}
