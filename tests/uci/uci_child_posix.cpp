#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "uci_child.h"

struct UciChild::Process {
  pid_t pid = -1;
  int toChild = -1, fromChild = -1;
};

UciChild::UciChild(const std::string& path, const std::vector<std::string>& args,
                   const std::string& workDir)
    : process_(std::make_unique<Process>()) {
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) {
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
  process_->pid = pid;
  process_->toChild = in[1];
  process_->fromChild = out[0];
}

UciChild::~UciChild() {
  Process& p = *process_;
  if (p.toChild >= 0) close(p.toChild);
  if (p.pid > 0 && status_ == -2) {
    kill(p.pid, SIGKILL);
    waitpid(p.pid, nullptr, 0);
  }
  if (p.fromChild >= 0) close(p.fromChild);
}

void UciChild::SendRaw(const std::string& bytes) {
  size_t done = 0;
  while (process_->toChild >= 0 && done < bytes.size()) {
    const ssize_t n = write(process_->toChild, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void UciChild::CloseInput() {
  if (process_->toChild >= 0) close(process_->toChild);
  process_->toChild = -1;
}

void UciChild::ReadOutput(int timeoutMs) {
  pollfd p{process_->fromChild, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return;
  char chunk[4096];
  const ssize_t n = read(process_->fromChild, chunk, sizeof(chunk));
  if (n < 0 && errno == EINTR) return;
  if (n <= 0) {
    ended_ = true;
    return;
  }
  buffer_.append(chunk, static_cast<size_t>(n));
}

int UciChild::WaitExit(int timeoutMs) {
  if (status_ != -2) return status_;
  const pid_t pid = process_->pid;
  const long long deadline = NowMs() + timeoutMs;
  int status = 0;
  while (NowMs() < deadline) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return status_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  status_ = -1;
  return status_;
}
