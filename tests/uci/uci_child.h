// A korvin-uci process driven through pipes, with a deadline on every wait
// so that a hang fails the test instead of blocking it.
#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <string>
#include <vector>

class UciChild {
 public:
  // Starts `path` (with `args`) in `workDir` (empty: the current directory).
  explicit UciChild(const std::string& path, const std::vector<std::string>& args = {},
                    const std::string& workDir = "");
  ~UciChild();

  // Writes one line (a newline is added).
  void Send(const std::string& line);
  // Writes raw bytes.
  void SendRaw(const std::string& bytes);
  // Closes the engine's standard input.
  void CloseInput();

  // Reads lines until one starts with `prefix`; every line read is kept in
  // `seen` (the matching one last). Returns false on timeout or end of output.
  bool WaitFor(const std::string& prefix, std::vector<std::string>& seen, int timeoutMs = 30000);
  bool WaitFor(const std::string& prefix, int timeoutMs = 30000);

  // Reads lines for `ms` milliseconds (or to the end of output) into `seen`.
  void Collect(std::vector<std::string>& seen, int ms);

  // Waits for the process to end; returns its exit status, or -1 when it had
  // to be killed after the timeout (or ended by a signal).
  int WaitExit(int timeoutMs = 30000);

 private:
  bool ReadLine(std::string& line, int timeoutMs);
  pid_t pid_ = -1;
  int toChild_ = -1, fromChild_ = -1;
  std::string buffer_;
  bool ended_ = false;
  int status_ = -2;
};

// Words of a line.
std::vector<std::string> Words(const std::string& line);
