// Random legal games whose promotions become any of the four pieces, for the
// PGN round trips.
#pragma once

#include "../random_game.h"
#include "config_file.h"
#include "engine_state.h"
#include "game.h"
#include "pgn_file.h"
#include "position.h"
#include "system.h"
#include "think.h"

// Plays a random game of at most `limit` half-moves from the initial
// position; a promoted pawn becomes a random piece of the four. Play stops
// early at a draw the program announces, with probability 1/8 for each.
inline void PlayRandomRecord(int limit) {
  NewGame();
  ForgetPgnTags();  // a new game, whatever moves it begins with
  settings.humanPlaysBlack = RandomInt(0, 1);
  while (E.gameMoveNumber < limit && PlayRandomMove()) {
    if (E.promotedPiece[0] != 0) {
      const int code = RandomInt(kWhiteKnight, kWhiteQueen);
      SetPromotion(E.sideToMove == 1 ? code : code + 8);  // the mover is the other side now
      PositionReset();
    }
    if (DrawByRule() && RandomInt(0, 7) == 0) break;
  }
  E.ply = 1;
  E.moveCount = 0;
}
