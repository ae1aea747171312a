// korvin-firstmove: how late is the first computer move of a freshly started
// engine? Each run starts an engine in a process of its own, sets up a
// position out of the book and times one computer turn (ThinkAndMove, as the
// window program plays it) against the level's time. first-search-bench.py
// runs it beside the same measurement through korvin-uci.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli_common.h"
#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "system.h"
#include "think.h"
#include "ttable.h"

namespace {

// Positions out of the book, one per run in turn.
const char* const kPositions[] = {
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 9",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/2RQ1RK1 w - - 0 11",
    "r1b2rk1/2q1bppp/p2ppn2/1p6/3NPP2/2N1B3/PPPQ2PP/2KR1B1R w - - 0 12",
    "4r1k1/pp3ppp/2p5/8/2PPr3/1P4P1/P4P1P/R2R2K1 b - - 0 22",
};

struct RunTimes {
  int32_t took;    // milliseconds of the computer's turn
  int32_t waited;  // milliseconds spent waiting for the table's warm-up first
};

// One run in a child process, so that the engine and its table are new:
// start-up as `warmup` says, then one computer move at `level`.
RunTimes FreshFirstMove(int run, int level, const std::string& warmup) {
  StartEngine(static_cast<uint32_t>(run + 1));
  if (warmup == "now") WarmUpTable();         // as korvin-cli and korvin-uci do
  if (warmup == "thread") StartTableWarmUp();  // as the window program does
  std::string error;
  SetupFen(kPositions[run % (sizeof(kPositions) / sizeof(kPositions[0]))], error);
  RunTimes t{};
  const int waitStart = ClockMs();
  WaitForTableWarmUp();
  t.waited = static_cast<int32_t>(ElapsedMs(waitStart));
  const int start = ClockMs();
  ThinkAndMove(level);
  t.took = static_cast<int32_t>(ElapsedMs(start));
  return t;
}

// Runs FreshFirstMove in a forked child and reads its times from a pipe.
bool RunInChild(int run, int level, const std::string& warmup, RunTimes& times) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    close(fds[0]);
    const RunTimes t = FreshFirstMove(run, level, warmup);
    const bool sent = write(fds[1], &t, sizeof(t)) == static_cast<ssize_t>(sizeof(t));
    _exit(sent ? 0 : 1);
  }
  close(fds[1]);
  const bool got = read(fds[0], &times, sizeof(times)) == static_cast<ssize_t>(sizeof(times));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Prints "korvin-firstmove: <message>" on stderr; the exit status for bad input.
int Refuse(const std::string& message) {
  std::cerr << "korvin-firstmove: " << message << "\n";
  return kExitBadInput;
}

}  // namespace

// korvin-firstmove [--runs N] [--level L] [--warmup now|thread|none]:
// the first computer move of N freshly started engines, each in a process
// of its own; prints the worst and the median overrun of the level's time.
int main(int argc, char** argv) {
  if (argc > 1 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::cout << "usage: korvin-firstmove [--runs N] [--level L] [--warmup now|thread|none]\n"
                 "  the first move of N freshly started engines (default 50, level 2,\n"
                 "  warm-up 'now'); worst and median overrun of the level's time\n";
    return 0;
  }
  CliArgs args;
  std::string error;
  if (!ParseArgs(argc, argv, 1, {"runs", "level", "warmup"}, {}, args, error)) return Refuse(error);
  if (!args.positional.empty()) return Refuse("unexpected argument '" + args.positional[0] + "'");
  long long runs = 0, level = 0;
  if (!IntOption(args, "runs", 50, 1, 10000, runs, error) ||
      !IntOption(args, "level", 2, 2, 4, level, error))
    return Refuse(error);
  const std::string warmup = args.options.count("warmup") ? args.options.at("warmup") : "now";
  if (warmup != "now" && warmup != "thread" && warmup != "none")
    return Refuse("--warmup must be 'now', 'thread' or 'none'");
  SetLevelLimits(static_cast<int>(level));
  const int limit = E.timeLimit;

  std::vector<int> overruns;
  int worstWait = 0;
  for (long long run = 0; run < runs; run++) {
    RunTimes t{};
    if (!RunInChild(static_cast<int>(run), static_cast<int>(level), warmup, t))
      return Refuse("run " + std::to_string(run + 1) + " did not finish");
    overruns.push_back(t.took - limit);
    worstWait = std::max(worstWait, static_cast<int>(t.waited));
    std::cerr << "korvin-firstmove: run " << run + 1 << " of " << runs << ": " << t.took << " ms\n";
  }
  std::sort(overruns.begin(), overruns.end());
  const int allowed = 5 + limit / 100;
  const auto late = std::count_if(overruns.begin(), overruns.end(),
                                  [allowed](int o) { return o > allowed; });
  std::cout << "runs " << runs << "\n"
            << "limit_ms " << limit << "\n"
            << "worst_overrun_ms " << overruns.back() << "\n"
            << "median_overrun_ms " << overruns[overruns.size() / 2] << "\n"
            << "late_runs " << late << " (over " << allowed << " ms)\n"
            << "worst_warmup_wait_ms " << worstWait << "\n";
  return 0;
}
