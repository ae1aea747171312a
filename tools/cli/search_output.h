// Printing search results in the tools' line format.
#pragma once

#include <string>

// Row 1 of the principal variation in coordinate notation, played out on the
// board so that promotions get their suffix; the board comes back unchanged.
std::string PrincipalVariationText();

// Prints "info depth <d> score <s> nodes <n> qnodes <q> pv <moves>".
void PrintIterationLine(int depth, int score);
