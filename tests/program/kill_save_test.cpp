// A kill at any moment of the save at exit: the kept game is always either
// the old or the new game, complete, and the next start leaves no temporary
// file behind. The saving program is a child process (child/save_child.cpp)
// that runs the window program's own start-up and shutdown.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "program_test_util.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
  pid_t pid = -1;
  int input = -1;   // its standard input
  int output = -1;  // its standard output
};

// Starts the child in the working folder with pipes on its standard input
// and output.
Child Spawn(const std::vector<const char*>& args) {
  int in[2], out[2];
  Child child;
  if (pipe(in) != 0 || pipe(out) != 0) return child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    std::vector<char*> argv{const_cast<char*>(KORVIN_SAVE_CHILD)};
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  child.input = in[1];
  child.output = out[0];
  return child;
}

// Waits for the child; its exit status, or 128 + the signal that ended it.
int Reap(Child& child) {
  close(child.input);
  close(child.output);
  int status = 0;
  if (waitpid(child.pid, &status, 0) != child.pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunChild(const std::vector<const char*>& args) {
  Child child = Spawn(args);
  return Reap(child);
}

// Reads one line the child prints ("ready", "saved").
bool WaitFor(const Child& child, const std::string& word) {
  std::string line;
  char c;
  while (read(child.output, &c, 1) == 1 && c != '\n') line += c;
  return line == word;
}

// Names of temporary files in the working folder.
std::vector<std::string> Temporaries() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator("."))
    if (entry.path().filename().string().find(".tmp") != std::string::npos)
      names.push_back(entry.path().filename().string());
  return names;
}

TEST_F(ProgramTest, KillDuringTheSaveLeavesTheOldOrTheNewGame) {
  WriteConfig(100, 100, 400, 400, 0, 1, 1);
  ASSERT_EQ(RunChild({"save", "1"}), 0);
  const std::vector<int> oldGame = ReadBytes("korvin.kga");
  ASSERT_EQ(RunChild({"save", "2"}), 0);
  const std::vector<int> newGame = ReadBytes("korvin.kga");
  const std::vector<int> config = ReadBytes("korvin.cfg");
  ASSERT_EQ(oldGame.size(), 1400u);
  ASSERT_EQ(newGame.size(), 1400u);
  ASSERT_NE(oldGame, newGame);
  ASSERT_EQ(config.size(), 28u);

  // How long a save takes from the go-ahead to the end of the child: the
  // kills fall anywhere from before it begins to after it has ended.
  WriteBytes("korvin.kga", oldGame);
  Child timed = Spawn({"save", "2", "wait"});
  ASSERT_TRUE(WaitFor(timed, "ready"));
  const auto start = Clock::now();
  ASSERT_EQ(write(timed.input, "x", 1), 1);
  ASSERT_TRUE(WaitFor(timed, "saved"));
  ASSERT_EQ(Reap(timed), 0);
  const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  ASSERT_EQ(ReadBytes("korvin.kga"), newGame);

  std::mt19937 random(20240612);
  std::uniform_int_distribution<long> delay(0, 2 * saveTime.count() + 1);
  // Every fourth run is killed before the save begins, and every fourth
  // once it has ended, so both outcomes are seen whatever the machine's
  // speed; the others at any moment in between.
  int keptOld = 0, keptNew = 0, leftBehind = 0;
  const int runs = 120;
  for (int run = 0; run < runs; run++) {
    SCOPED_TRACE("run " + std::to_string(run));
    WriteBytes("korvin.kga", oldGame);
    Child child = Spawn({"save", "2", "wait"});
    ASSERT_TRUE(WaitFor(child, "ready"));
    if (run % 4 != 0) {
      const auto wait = std::chrono::microseconds(delay(random));
      ASSERT_EQ(write(child.input, "x", 1), 1);
      if (run % 4 == 1) {
        ASSERT_TRUE(WaitFor(child, "saved"));
      } else {
        const auto go = Clock::now();
        while (Clock::now() - go < wait) {
        }
      }
    }
    kill(child.pid, SIGKILL);
    Reap(child);

    const std::vector<int> kept = ReadBytes("korvin.kga");
    ASSERT_TRUE(kept == oldGame || kept == newGame) << kept.size() << " bytes";
    if (run % 4 == 0) {
      EXPECT_EQ(kept, oldGame);
    } else if (run % 4 == 1) {
      EXPECT_EQ(kept, newGame);
    }
    keptOld += kept == oldGame;
    keptNew += kept == newGame;
    EXPECT_EQ(ReadBytes("korvin.cfg"), config);
    leftBehind += !Temporaries().empty();

    ASSERT_EQ(RunChild({"start"}), 0);
    EXPECT_TRUE(Temporaries().empty()) << Temporaries()[0];
    EXPECT_EQ(ReadBytes("korvin.kga"), kept);
  }
  std::printf("save %lld us; %d runs: old game %d, new game %d, temporaries left by the kill %d\n",
              static_cast<long long>(saveTime.count()), runs, keptOld, keptNew, leftBehind);
}

}  // namespace
