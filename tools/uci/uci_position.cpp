#include <sstream>

#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "uci_commands.h"
#include "uci_output.h"
#include "uci_state.h"

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}


namespace {

// Applies the words of a position command; false with the reason on the
// first fault. On failure the engine may hold a part of the new position.
bool ApplyPosition(const std::vector<std::string>& words, std::string& error) {
  size_t i = 1;
  if (words.empty()) {
    error = "position needs startpos or fen";
    return false;
  }
  if (words[0] == "startpos") {
    NewGame();
    U.fromStartpos = true;
  } else if (words[0] == "fen") {
    std::string fen;
    while (i < words.size() && words[i] != "moves") fen += (fen.empty() ? "" : " ") + words[i++];
    if (!SetupFen(fen, error)) {
      error = "bad FEN: " + error;
      return false;
    }
    U.fromStartpos = false;
  } else {
    error = "position needs startpos or fen, not '" + words[0] + "'";
    return false;
  }
  if (i < words.size()) {
    if (words[i] != "moves") {
      error = "unexpected word '" + words[i] + "' after the position";
      return false;
    }
    for (i++; i < words.size(); i++) {
      if (!PlayMoveText(words[i], error)) {
        error = "move " + words[i] + ": " + error;
        return false;
      }
    }
  }
  E.ply = 1;
  E.moveCount = 0;
  return true;
}

}  // namespace

// A refused command leaves no position: the controller's idea of the game
// and the engine's now differ, and a move searched in the old position
// would be illegal in the one the controller meant.
bool HandlePosition(const std::vector<std::string>& words) {
  std::string error;
  if (ApplyPosition(words, error)) {
    U.lastPosition = words;
    U.hasPosition = true;
    U.noPositionReason.clear();
    return true;
  }
  RefusePosition(error);
  return false;
}

void RefusePosition(const std::string& reason) {
  NewGame();
  U.fromStartpos = true;
  U.hasPosition = false;
  U.noPositionReason = reason;
  Send("info string " + reason + "; there is no position until a valid position command");
}
