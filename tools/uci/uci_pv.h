// The principal variation as protocol text.
#pragma once

#include <string>

// Row 1 of the principal variation in coordinate notation, cut before the
// first move that is not a legal move in its position (a line whose end
// takes a king, or a line copied from a sibling that no longer fits). The
// moves are played on the board to check them and taken back, so the
// position comes back unchanged.
std::string LegalPvText();
