#include "ttable.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine_state.h"
#include "table_memory.h"

namespace {

// 0: the table's pages have not been asked for; 1: a warm-up is running;
// 2: they are resident.
std::atomic<int> warmUpState{0};

// The end of a warm-up is announced under a lock, through a condition
// variable. (The atomic's own wait can miss that announcement where the
// system has no futex, as with the MinGW-w64 compiler of the Windows
// build.) Both are made once and never destroyed, so that a warm-up still
// running when the program ends never touches a destroyed object.
std::mutex& WarmUpLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
std::condition_variable& WarmUpDone() {
  static std::condition_variable* done = new std::condition_variable;
  return *done;
}

// Asks the system for every page of `bytes` at `table` now, in 2 MB steps so
// that no single request holds up the rest of the process for long. Where
// the system cannot populate pages on request, one byte of each page is
// rewritten with its own value, which has the same effect.
void MakeResident(void* table, size_t bytes) {
  char* base = static_cast<char*>(table);
  constexpr size_t kStep = size_t{2} << 20;
  for (size_t offset = 0; offset < bytes; offset += kStep) {
    const size_t length = std::min(kStep, bytes - offset);
    if (PopulateTablePages(base + offset, length)) continue;
    for (size_t i = 0; i < length; i += 4096) {
      volatile char* byte = base + offset + i;
      *byte = *byte;
    }
  }
}

void MakeTableResident() {
  MakeResident(E.ttTable, kTtEntries * sizeof(TtEntry));
  std::lock_guard<std::mutex> guard(WarmUpLock());
  warmUpState.store(2);
  WarmUpDone().notify_all();
}

}  // namespace

void WarmUpTable() {
  if (E.ttTable == nullptr) return;  // no table yet
  int expected = 0;
  if (warmUpState.compare_exchange_strong(expected, 1))
    MakeTableResident();
  else
    WaitForTableWarmUp();
}

void StartTableWarmUp() {
  if (E.ttTable == nullptr) return;
  int expected = 0;
  if (!warmUpState.compare_exchange_strong(expected, 1)) return;
  // The helper touches nothing but the table's pages, and every user of the
  // table waits for it first; it ends by itself, also if the program ends.
  std::thread(MakeTableResident).detach();
}

void WaitForTableWarmUp() {
  if (warmUpState.load() != 1) return;
  std::unique_lock<std::mutex> guard(WarmUpLock());
  WarmUpDone().wait(guard, [] { return warmUpState.load() != 1; });
}

// The generation of the current engine turn, 1..kGenerations - 1; 0 marks
// entries from before the last full clear.
namespace {
constexpr int kGenerations = 64;
int generation = 1;

// An entry's depth as the rules see it: 0 once the table has been emptied
// since the entry was written.
inline int LiveDepth(const TtEntry& e) {
  return (e.stamp >> 2) == generation ? e.depth : 0;
}
}  // namespace

void TtPrefetchMove(int from, int to) {
  const int p = E.board[from], q = E.board[to];
  int key = E.positionKey ^ E.zobristKeys[from][p] ^ E.zobristKeys[to][p] ^ E.sideKey;
  if (q != kEmpty) key ^= E.zobristKeys[to][q];
  PrefetchEntry(&E.ttTable[TtIndex(key)]);
}

int TtProbe(int alpha, int beta, int depth, int& score) {
  const TtEntry& e = E.ttTable[TtIndex(E.positionKey)];
  if (e.key != E.positionKey || LiveDepth(e) < depth) return 0;
  const int bound = e.stamp & 3;
  int s = e.score;
  if (!(bound == kBoundExact || (bound == kBoundUpper && s <= alpha) ||
        (bound == kBoundLower && s >= beta)))
    return 0;
  if (s > kMateBound) s -= E.ply;
  if (s < -kMateBound) s += E.ply;
  score = s;
  return 1;
}

void TtStore(int alpha, int beta, int depth, int score) {
  TtEntry& e = E.ttTable[TtIndex(E.positionKey)];
  if (depth < LiveDepth(e)) return;
  int stored = score;
  if (score > kMateBound) stored += E.ply;
  if (score < -kMateBound) stored -= E.ply;
  int bound = kBoundExact;
  if (score <= alpha)
    bound = kBoundUpper;
  else if (score >= beta)
    bound = kBoundLower;
  e.key = E.positionKey;
  e.score = static_cast<int16_t>(stored);
  e.depth = static_cast<uint8_t>(depth & 0xFF);
  e.stamp = static_cast<uint8_t>(bound | generation << 2);
}

// Emptying starts a new generation, which makes every older entry's depth
// 0 at once. When the generations run out, every entry is marked as older
// than all of them; keys, bounds and scores stay in place either way.
void TtClear() {
  WaitForTableWarmUp();
  if (++generation < kGenerations) return;
  generation = 1;
  for (int i = 0; i < kTtEntries; i++) E.ttTable[i].stamp &= 3;
}

void TtReadEntry(int idx, int& key, int& depth, int& bound, int& score) {
  const TtEntry& e = E.ttTable[idx];
  key = e.key;
  depth = LiveDepth(e);
  bound = e.stamp & 3;
  score = e.score;
}
