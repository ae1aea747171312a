#include "uci_search_input.h"

#include <cstdint>
#include <string>

#include "engine_state.h"
#include "system.h"
#include "uci_commands.h"
#include "uci_input.h"
#include "uci_output.h"
#include "uci_state.h"

namespace {

// Lines at the front of U.pending that this search has already looked at and
// left waiting; the ones after them have not been looked at yet.
size_t examined = 0;

// True when a go waits among the first `count` pending lines: a stop after
// it belongs to that later search, not to this one.
bool GoWaitsBefore(size_t count) {
  for (size_t i = 0; i < count; i++) {
    const std::vector<std::string> w = SplitWords(U.pending[i]);
    if (!w.empty() && w[0] == "go") return true;
  }
  return false;
}

// Looks at pending line `examined`: acts on it and takes it out, or leaves
// it waiting and moves on.
void ExamineNext() {
  std::string firstWord;
  if (IsTooLongLine(U.pending[examined], firstWord)) {
    // A dropped line is nothing to act on, except that a dropped position
    // keeps its place, for the main loop to refuse in its turn.
    if (firstWord == "position")
      examined++;
    else
      U.pending.erase(U.pending.begin() + static_cast<long>(examined));
    return;
  }
  const std::vector<std::string> words = SplitWords(U.pending[examined]);
  const std::string command = words.empty() ? "" : words[0];
  if (command == "stop" && !GoWaitsBefore(examined)) {
    U.pending.erase(U.pending.begin() + static_cast<long>(examined));
    RequestStop();
  } else if (command == "isready" && examined == 0) {
    U.pending.pop_front();
    Send("readyok");
  } else if (words.empty() || (command == "ponderhit" && examined == 0)) {
    // Nothing to keep: an empty line, or a ponder hit (pondering is not
    // offered, so the search simply goes on).
    U.pending.erase(U.pending.begin() + static_cast<long>(examined));
  } else {
    // quit stays in the queue, so that the main loop ends there after the
    // lines before it; every search until then ends at once.
    if (command == "quit") {
      U.quitRequested = true;
      RequestStop();
    }
    examined++;
  }
}

// Looks at the waiting lines until this search is stopped or none is left.
void ExamineWaiting() {
  while (!U.stopRequested && examined < U.pending.size()) ExamineNext();
}

}  // namespace

void RequestStop() {
  if (U.stopRequested) return;
  U.stopRequested = true;
  if (!U.searching) return;
  E.timeUp = 1;
  E.timeLimit = 0;
  E.searchStart = static_cast<int>(static_cast<uint32_t>(ClockMs()) - 1000u);
}

void BeginSearchInput() {
  examined = 0;
  U.stopRequested = false;
  if (U.quitRequested) RequestStop();
}

void PollSearchInput() {
  ExamineWaiting();
  std::string line;
  while (!U.stopRequested && ReadLineIfReady(line)) {
    U.pending.push_back(line);
    ExamineWaiting();
  }
  if (!U.stopRequested && InputFinished()) {  // the controlling program has gone
    U.quitRequested = true;
    RequestStop();
  }
}

void WaitForStop() {
  PollSearchInput();
  while (!U.stopRequested) {
    std::string line;
    if (!ReadLineBlocking(line)) {
      U.quitRequested = true;
      RequestStop();
      break;
    }
    U.pending.push_back(line);
    ExamineWaiting();
  }
}
