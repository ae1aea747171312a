#include "uci_child.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <thread>

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

UciChild::UciChild(const std::string& path, const std::vector<std::string>& args,
                   const std::string& workDir) {
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(out[1]);
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  toChild_ = in[1];
  fromChild_ = out[0];
}

UciChild::~UciChild() {
  if (toChild_ >= 0) close(toChild_);
  if (pid_ > 0 && status_ == -2) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (fromChild_ >= 0) close(fromChild_);
}

void UciChild::SendRaw(const std::string& bytes) {
  size_t done = 0;
  while (toChild_ >= 0 && done < bytes.size()) {
    const ssize_t n = write(toChild_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void UciChild::Send(const std::string& line) { SendRaw(line + "\n"); }

void UciChild::CloseInput() {
  if (toChild_ >= 0) close(toChild_);
  toChild_ = -1;
}

bool UciChild::ReadLine(std::string& line, int timeoutMs) {
  const long long deadline = NowMs() + timeoutMs;
  for (;;) {
    const size_t nl = buffer_.find('\n');
    if (nl != std::string::npos) {
      line = buffer_.substr(0, nl);
      buffer_.erase(0, nl + 1);
      return true;
    }
    if (ended_) return false;
    const long long left = deadline - NowMs();
    if (left <= 0) return false;
    pollfd p{fromChild_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char chunk[4096];
    const ssize_t n = read(fromChild_, chunk, sizeof(chunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ended_ = true;
      continue;
    }
    buffer_.append(chunk, static_cast<size_t>(n));
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

int UciChild::WaitExit(int timeoutMs) {
  if (status_ != -2) return status_;
  const long long deadline = NowMs() + timeoutMs;
  int status = 0;
  while (NowMs() < deadline) {
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return status_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  status_ = -1;
  return status_;
}
