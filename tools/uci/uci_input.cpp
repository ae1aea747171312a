#include "uci_input.h"

#include <algorithm>
#include <deque>

#include "uci_input_system.h"
#include "uci_output.h"

namespace {

std::string partial;             // bytes of the line being received
std::deque<std::string> ready;   // complete lines not yet taken
bool inputEnded = false;
bool discarding = false;         // inside a line that grew too long
std::string discardedWord;       // the first word of that line

// A delivered line never holds a newline, so a stand-in that begins with one
// cannot be mistaken for input.
constexpr char kTooLongMark = '\n';
constexpr size_t kLongestKeptWord = 64;

std::string FirstWord(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  const size_t end = text.find_first_of(" \t", start);
  return text.substr(start, std::min(end - start, kLongestKeptWord));
}

void EndDiscarding() {
  discarding = false;
  Send("info string input line too long, ignored");
  ready.push_back(kTooLongMark + discardedWord);
  discardedWord.clear();
}

// Files bytes into lines; a carriage return before the newline is dropped.
void TakeBytes(const char* data, size_t n) {
  for (size_t i = 0; i < n; i++) {
    const char c = data[i];
    if (c == '\n') {
      if (discarding) {
        EndDiscarding();
      } else {
        if (!partial.empty() && partial.back() == '\r') partial.pop_back();
        ready.push_back(partial);
      }
      partial.clear();
    } else if (!discarding) {
      partial += c;
      if (partial.size() > kMaxInputLine) {
        discarding = true;
        discardedWord = FirstWord(partial);
        partial.clear();
        partial.shrink_to_fit();
      }
    }
  }
}

// One read of whatever is available; waits for input only when `block`.
void ReadSome(bool block) {
  if (inputEnded) return;
  char buffer[4096];
  const long n = ReadInputBytes(buffer, sizeof(buffer), block);
  if (n == kNoInputYet) return;
  if (n == kInputEnded) {
    inputEnded = true;
    if (discarding)
      EndDiscarding();
    else if (!partial.empty())
      ready.push_back(partial);  // last line without newline
    partial.clear();
    return;
  }
  TakeBytes(buffer, static_cast<size_t>(n));
}

bool TakeReady(std::string& line) {
  if (ready.empty()) return false;
  line = std::move(ready.front());
  ready.pop_front();
  return true;
}

}  // namespace

bool ReadLineBlocking(std::string& line) {
  while (ready.empty() && !inputEnded) ReadSome(true);
  return TakeReady(line);
}

bool ReadLineIfReady(std::string& line) {
  if (ready.empty()) ReadSome(false);
  return TakeReady(line);
}

bool InputFinished() { return inputEnded && ready.empty(); }

bool IsTooLongLine(const std::string& line, std::string& firstWord) {
  if (line.empty() || line[0] != kTooLongMark) return false;
  firstWord = line.substr(1);
  return true;
}
