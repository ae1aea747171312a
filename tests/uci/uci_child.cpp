#include "uci_child.h"

#include <chrono>
#include <sstream>

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

void UciChild::Send(const std::string& line) { SendRaw(line + "\n"); }

// A carriage return before the newline (as a Windows program may write) is
// not part of the line.
bool UciChild::ReadLine(std::string& line, int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  for (;;) {
    const size_t nl = buffer_.find('\n');
    if (nl != std::string::npos) {
      line = buffer_.substr(0, nl);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      buffer_.erase(0, nl + 1);
      return true;
    }
    if (ended_) return false;
    const long long left = deadline - NowMs();
    if (left <= 0) return false;
    ReadOutput(static_cast<int>(left));
  }
}

bool UciChild::WaitFor(const std::string& prefix, std::vector<std::string>& seen, int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  std::string line;
  for (;;) {
    const long long left = deadline - NowMs();
    if (left <= 0 || !ReadLine(line, static_cast<int>(left))) return false;
    seen.push_back(line);
    if (line.rfind(prefix, 0) == 0) return true;
  }
}

bool UciChild::WaitFor(const std::string& prefix, int timeoutMs) {
  std::vector<std::string> seen;
  return WaitFor(prefix, seen, timeoutMs);
}

void UciChild::Collect(std::vector<std::string>& seen, int ms) {
  const long long deadline = NowMs() + ms;
  std::string line;
  for (;;) {
    const long long left = deadline - NowMs();
    if (left <= 0 || !ReadLine(line, static_cast<int>(left))) return;
    seen.push_back(line);
  }
}
