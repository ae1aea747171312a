#include "search_output.h"

#include <iostream>

#include "engine_state.h"
#include "notation.h"

void PrintIterationLine(int depth, int score) {
  std::cout << "info depth " << depth << " score " << score << " nodes " << E.nodes
            << " qnodes " << E.qnodes << " pv " << PrincipalVariationText() << std::endl;
}
