#include "ttable.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "engine_state.h"

namespace {

// 0: the table's pages have not been asked for; 1: a warm-up is running;
// 2: they are resident.
std::atomic<int> warmUpState{0};

// Asks the system for every page of `bytes` at `table` now, in 2 MB steps so
// that no single request holds up the rest of the process for long. Where
// the system cannot populate pages on request, one byte of each page is
// rewritten with its own value, which has the same effect.
void MakeResident(void* table, size_t bytes) {
  char* base = static_cast<char*>(table);
  constexpr size_t kStep = size_t{2} << 20;
  for (size_t offset = 0; offset < bytes; offset += kStep) {
    const size_t length = std::min(kStep, bytes - offset);
#ifdef MADV_POPULATE_WRITE
    if (madvise(base + offset, length, MADV_POPULATE_WRITE) == 0) continue;
#endif
    for (size_t i = 0; i < length; i += 4096) {
      volatile char* byte = base + offset + i;
      *byte = *byte;
    }
  }
}

void MakeTableResident() {
  MakeResident(E.ttKey, kTtEntries * sizeof(int32_t));
  MakeResident(E.ttDepth, kTtEntries * sizeof(uint8_t));
  MakeResident(E.ttBound, kTtEntries * sizeof(uint8_t));
  MakeResident(E.ttScore, kTtEntries * sizeof(int32_t));
  warmUpState.store(2);
  warmUpState.notify_all();
}

}  // namespace

void WarmUpTable() {
  if (E.ttKey == nullptr) return;  // no table yet
  int expected = 0;
  if (warmUpState.compare_exchange_strong(expected, 1))
    MakeTableResident();
  else
    WaitForTableWarmUp();
}

void StartTableWarmUp() {
  if (E.ttKey == nullptr) return;
  int expected = 0;
  if (!warmUpState.compare_exchange_strong(expected, 1)) return;
  // The helper touches nothing but the table's pages, and every user of the
  // table waits for it first; it ends by itself, also if the program ends.
  std::thread(MakeTableResident).detach();
}

void WaitForTableWarmUp() {
  for (int state = warmUpState.load(); state == 1; state = warmUpState.load())
    warmUpState.wait(state);
}

// The probe reads the key and depth; the store that usually follows writes
// all four arrays, so all four entries are asked for at once.
void TtPrefetchMove(int from, int to) {
  const int p = E.board[from], q = E.board[to];
  int key = E.positionKey ^ E.zobristKeys[from][p] ^ E.zobristKeys[to][p] ^ E.sideKey;
  if (q != kEmpty) key ^= E.zobristKeys[to][q];
  const int idx = TtIndex(key);
  __builtin_prefetch(&E.ttKey[idx]);
  __builtin_prefetch(&E.ttDepth[idx]);
  __builtin_prefetch(&E.ttBound[idx], 1);
  __builtin_prefetch(&E.ttScore[idx], 1);
}

int TtProbe(int alpha, int beta, int depth, int& score) {
  const int idx = TtIndex(E.positionKey);
  if (E.ttKey[idx] != E.positionKey || E.ttDepth[idx] < depth) return 0;
  const int bound = E.ttBound[idx];
  int s = E.ttScore[idx];
  if (!(bound == kBoundExact || (bound == kBoundUpper && s <= alpha) ||
        (bound == kBoundLower && s >= beta)))
    return 0;
  if (s > kMateBound) s -= E.ply;
  if (s < -kMateBound) s += E.ply;
  score = s;
  return 1;
}

void TtStore(int alpha, int beta, int depth, int score) {
  const int idx = TtIndex(E.positionKey);
  if (depth < E.ttDepth[idx]) return;
  E.ttKey[idx] = E.positionKey;
  E.ttDepth[idx] = static_cast<uint8_t>(depth & 0xFF);
  int stored = score;
  if (score > kMateBound) stored += E.ply;
  if (score < -kMateBound) stored -= E.ply;
  E.ttScore[idx] = stored;
  uint8_t bound = kBoundExact;
  if (score <= alpha)
    bound = kBoundUpper;
  else if (score >= beta)
    bound = kBoundLower;
  E.ttBound[idx] = bound;
}

void TtClear() {
  WaitForTableWarmUp();
  std::memset(E.ttDepth, 0, kTtIndexRange);
}
