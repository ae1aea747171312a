#include "engine_state.h"

#include <cstring>

#include "table_memory.h"

EngineState E;

const int pieceValue[15] = {0,   100, 325, 325, 500, 900, 10000, 0,
                            0,   100, 325, 325, 500, 900, 10000};

// clang-format off
const int initialBoard[121] = {
    0,
    8, 8,  8,  8,  8,  8,  8,  8,  8, 8,   //   1..10
    8, 8,  8,  8,  8,  8,  8,  8,  8, 8,   //  11..20
    8, 4,  2,  3,  5,  6,  3,  2,  4, 8,   //  21..30: rank 1 on 22..29
    8, 1,  1,  1,  1,  1,  1,  1,  1, 8,   //  31..40
    8, 7,  7,  7,  7,  7,  7,  7,  7, 8,   //  41..50
    8, 7,  7,  7,  7,  7,  7,  7,  7, 8,   //  51..60
    8, 7,  7,  7,  7,  7,  7,  7,  7, 8,   //  61..70
    8, 7,  7,  7,  7,  7,  7,  7,  7, 8,   //  71..80
    8, 9,  9,  9,  9,  9,  9,  9,  9, 8,   //  81..90
    8, 12, 10, 11, 13, 14, 11, 10, 12, 8,  //  91..100: rank 8 on 92..99
    8, 8,  8,  8,  8,  8,  8,  8,  8, 8,   // 101..110
    8, 8,  8,  8,  8,  8,  8,  8,  8, 8,   // 111..120
};
// clang-format on

void CreateEngine() {
  if (E.ttTable == nullptr)
    E.ttTable = static_cast<TtEntry*>(AllocateZeroedTable(kTtEntries * sizeof(TtEntry)));
  std::memcpy(E.board, initialBoard, sizeof(E.board));
  E.castleRights = 15;
  E.useHashTable = 1;
  E.mateThreshold = kMateBound;
  E.gameFrom[1] = -1;
}
