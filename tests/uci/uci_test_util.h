// Shared pieces of the korvin-uci tests: the binaries and a legality check
// of a move in a position given as the words of a position command.
#pragma once

#include <string>
#include <vector>

#include "uci_child.h"

inline const std::string kUciBinary = KORVIN_UCI_BIN;

// True when `move` (coordinate notation) is legal in the position described
// by `position` ("startpos moves e2e4", "fen ... moves ...").
bool IsLegalIn(const std::string& position, const std::string& move);

// The move of the last "bestmove" line in `lines`, or "" when there is none.
std::string BestMoveOf(const std::vector<std::string>& lines);

// Starts korvin-uci, checks the handshake, and switches the book off (so the
// tests do not depend on a book file in the working directory).
void StartQuiet(UciChild& engine);

