// Arbitrary bytes as an opening book: loading leaves the position alone, and
// every move the book offers along a game is legal.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "book.h"
#include "fuzz_common.h"
#include "game.h"

namespace {
int boardBefore[121];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = InitEngineForFuzzing();
  (void)ready;
  SeedRandom(static_cast<uint32_t>(size));
  ResetGame();
  E.gameFrom[1] = -1;
  E.ply = 1;
  E.epSquare[0] = 0;
  std::memcpy(boardBefore, E.board, sizeof(boardBefore));
  const int keyBefore = E.positionKey;
  LoadBookBytes(data, size);
  Require(std::memcmp(boardBefore, E.board, sizeof(boardBefore)) == 0, "loading the book moved pieces");
  Require(E.positionKey == keyBefore && E.gameMoveNumber == 0, "loading the book changed the game");
  for (int n = 0; n < 40 && ProbeBook(); n++) {
    const int from = E.pvFrom[1][1], to = E.pvTo[1][1];
    Require(IsLegalMove(from, to) == 1, "the book offered an illegal move");
    Require(PlayGameMove(from, to) == 1, "the book move could not be played");
    PositionReset();
    E.ply = 1;
    Require(PositionSelfCheck()[0] == '\0', "position after a book move");
  }
  return 0;
}
