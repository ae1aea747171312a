#include "uci_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "uci_output.h"

namespace {

std::string partial;             // bytes of the line being received
std::deque<std::string> ready;   // complete lines not yet taken
bool inputEnded = false;
bool discarding = false;         // inside a line that grew too long

// Files bytes into lines; a carriage return before the newline is dropped.
void TakeBytes(const char* data, size_t n) {
  for (size_t i = 0; i < n; i++) {
    const char c = data[i];
    if (c == '\n') {
      if (discarding) {
        discarding = false;
        Send("info string input line too long, ignored");
      } else {
        if (!partial.empty() && partial.back() == '\r') partial.pop_back();
        ready.push_back(partial);
      }
      partial.clear();
    } else if (!discarding) {
      partial += c;
      if (partial.size() > kMaxInputLine) {
        discarding = true;
        partial.clear();
        partial.shrink_to_fit();
      }
    }
  }
}

// One read of whatever is available; waits for input only when `block`.
void ReadSome(bool block) {
  if (inputEnded) return;
  if (!block) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) return;
  }
  char buffer[4096];
  ssize_t n;
  do {
    n = read(0, buffer, sizeof(buffer));
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    inputEnded = true;
    if (!partial.empty() && !discarding) ready.push_back(partial);  // last line without newline
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
