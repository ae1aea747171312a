// A korvin-uci process driven through pipes, with a deadline on every wait
// so that a hang fails the test instead of blocking it. Starting, feeding,
// reading and ending the process are the system's (uci_child_posix.cpp,
// uci_child_win32.cpp); the lines are read in uci_child.cpp.
#pragma once

#include <memory>
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
  struct Process;  // the system's handles of the process and its pipes

  bool ReadLine(std::string& line, int timeoutMs);
  // Appends what the engine wrote to buffer_, waiting at most `timeoutMs`
  // for something; sets ended_ at the end of its output.
  void ReadOutput(int timeoutMs);

  std::unique_ptr<Process> process_;
  std::string buffer_;
  bool ended_ = false;
  int status_ = -2;  // the exit status once known
};

// Words of a line.
std::vector<std::string> Words(const std::string& line);

// Milliseconds of a steady clock.
long long NowMs();
