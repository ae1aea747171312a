#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "uci_input_system.h"

// A Windows pipe cannot be asked whether bytes are waiting without being read,
// and a console cannot be read without blocking, so one reader thread blocks
// on the standard input handle and hands what it reads over through a queue.
// It stops reading while a megabyte waits in the queue, so that a controller
// sending faster than the engine reads fills the pipe, not the memory.

namespace {

constexpr size_t kMostQueued = size_t{1} << 20;

std::mutex lock;
std::condition_variable changed;
std::deque<std::string> chunks;  // bytes read and not yet taken, in order
size_t queued = 0;               // bytes in `chunks`
size_t frontTaken = 0;           // bytes of chunks.front() already taken
bool ended = false;              // the reader has seen the end of the input

void ReadStandardInput() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char buffer[4096];
  for (;;) {
    DWORD n = 0;
    const bool ok = input != nullptr && input != INVALID_HANDLE_VALUE &&
                    ReadFile(input, buffer, sizeof(buffer), &n, nullptr);
    std::unique_lock<std::mutex> guard(lock);
    if (!ok || n == 0) {  // a broken pipe, a closed handle or the end of a file
      ended = true;
      changed.notify_all();
      return;
    }
    chunks.emplace_back(buffer, n);
    queued += n;
    changed.notify_all();
    changed.wait(guard, [] { return queued < kMostQueued; });
  }
}

void StartReader() {
  static bool started = false;
  if (started) return;
  started = true;
  // It blocks in ReadFile until the input ends; the end of the program
  // ends it too.
  std::thread(ReadStandardInput).detach();
}

}  // namespace

long ReadInputBytes(char* buffer, size_t size, bool wait) {
  StartReader();
  std::unique_lock<std::mutex> guard(lock);
  if (wait) changed.wait(guard, [] { return !chunks.empty() || ended; });
  if (chunks.empty()) return ended ? kInputEnded : kNoInputYet;
  const std::string& front = chunks.front();
  const size_t n = std::min(size, front.size() - frontTaken);
  std::memcpy(buffer, front.data() + frontTaken, n);
  frontTaken += n;
  queued -= n;
  if (frontTaken == front.size()) {
    chunks.pop_front();
    frontTaken = 0;
  }
  changed.notify_all();
  return static_cast<long>(n);
}
