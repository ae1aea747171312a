#include "engine_state.h"

#include <sys/mman.h>

#include <cstring>
#include <new>


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

namespace {

// A zero-filled table of `bytes`, created once for the whole run. Anonymous
// mappings are zero-filled by the system page by page as they are first
// touched. The table is probed at random, so it asks for huge pages where the
// system offers them (fewer TLB misses); without them it works the same.
void* AllocateTable(size_t bytes) {
  void* table = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (table == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  madvise(table, bytes, MADV_HUGEPAGE);
#endif
  return table;
}

}  // namespace

void CreateEngine() {
  if (E.ttTable == nullptr)
    E.ttTable = static_cast<TtEntry*>(AllocateTable(kTtEntries * sizeof(TtEntry)));
  std::memcpy(E.board, initialBoard, sizeof(E.board));
  E.castleRights = 15;
  E.useHashTable = 1;
  E.mateThreshold = kMateBound;
  E.gameFrom[1] = -1;
}
