#include "engine_state.h"
#include "position.h"
#include "system.h"
#include "ttable.h"
#include "uci_commands.h"
#include "uci_input.h"
#include "uci_output.h"
#include "uci_state.h"

UciState U;

void InitUciEngine() {
  StartEngine(static_cast<uint32_t>(ClockMs()));
  LoadUciBook(false);
}

// Lines are taken in the order they came: first those that waited while a
// search ran, then new input. A quit read during a search waits in that
// queue too, so that the commands before it are still answered.
void RunUciLoop() {
  for (;;) {
    std::string line;
    if (!U.pending.empty()) {
      line = U.pending.front();
      U.pending.pop_front();
    } else if (!ReadLineBlocking(line)) {
      return;  // the end of input is a quit
    }
    std::string firstWord;
    if (IsTooLongLine(line, firstWord)) {
      // A position command cut short would describe another position than
      // the one the controller meant; better none at all.
      if (firstWord == "position")
        RefusePosition("the position command is longer than " + std::to_string(kMaxInputLine) +
                       " bytes");
      continue;
    }
    std::vector<std::string> words = SplitWords(line);
    if (words.empty()) continue;
    const std::string command = words[0];
    words.erase(words.begin());
    // The table's pages are made resident while the controller sets up
    // (from uci on), and always before readyok, so the first search keeps
    // its time.
    if (command == "uci") {
      SendIdentity();
      StartTableWarmUp();
    } else if (command == "isready") {
      WarmUpTable();
      Send("readyok");
    } else if (command == "ucinewgame") {
      WarmUpTable();
      NewGame();
      U.fromStartpos = true;
      U.lastPosition = {"startpos"};
    } else if (command == "position") {
      HandlePosition(words);
    } else if (command == "go") {
      HandleGo(words);
    } else if (command == "setoption") {
      HandleSetOption(words);
    } else if (command == "quit") {
      return;
    }
    // Anything else (stop or ponderhit with no search, debug, unknown
    // words) is ignored.
  }
}
