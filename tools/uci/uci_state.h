// The state of the UCI driver beside the engine record: the options, where
// the current position came from, and the flags a running search reacts to.
#pragma once

#include <deque>
#include <string>
#include <vector>

struct UciState {
  // Options.
  bool ownBook = true;
  bool rootBonus = true;
  int moveOverhead = 30;          // milliseconds kept back from the clock
  std::string bookFile = "korvin.bok";
  int level = 0;                  // 1..4: play as that level; 0: as go says

  // The last position command that was applied, as its words after
  // "position"; set up again when the Seed option draws new keys.
  std::vector<std::string> lastPosition = {"startpos"};
  bool fromStartpos = true;       // the book applies only to games from the start
  // After a refused position command there is no position to search until
  // a valid one arrives; the reason is told at every go meanwhile.
  bool hasPosition = true;
  std::string noPositionReason;

  // Raised while a search runs.
  bool searching = false;
  bool stopRequested = false;
  bool quitRequested = false;

  // Commands that arrived during a search and wait for its end, in order.
  std::deque<std::string> pending;
};

extern UciState U;
