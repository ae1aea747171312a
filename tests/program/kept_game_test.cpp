// The kept game and the other files at start-up and shutdown: a kept game
// that cannot be loaded is moved aside and reported, only regular files are
// read, and leftovers of cut-short saves are removed.
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <random>

#include "program_test_util.h"

namespace {

// Files in the working folder whose names begin with `prefix`.
std::vector<fs::path> FilesStartingWith(const std::string& prefix) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator("."))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) found.push_back(entry.path());
  return found;
}

// One kind of kept game that cannot be loaded: how to make it, and the
// reason the message gives.
struct DamagedKind {
  const char* name;
  std::function<void()> make;
  const char* reason;
};

void PrintTo(const DamagedKind& kind, std::ostream* out) { *out << kind.name; }

class DamagedKeptGame : public ProgramTest, public testing::WithParamInterface<DamagedKind> {};

// The game "korvin.kga" held before it was damaged: 11 half-moves.
constexpr const char* kElevenMoves = "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7 f1e1";

const DamagedKind kDamagedKinds[] = {
    {"IllegalEleventhMove",
     [] {
       ProgramTest::WriteGame("korvin.kga", kElevenMoves);
       std::vector<int> bytes = ProgramTest::ReadBytes("korvin.kga");
       bytes[10 * 7 + 1] = Sq("e5");  // the rook goes to e5 through its own pawn
       ProgramTest::WriteBytes("korvin.kga", bytes);
     },
     "not a Korvin game: move 11 (f1e5) is not a legal move"},
    {"Truncated", [] { ProgramTest::WriteBytes("korvin.kga", {36, 56, 7, 15, 56}); },
     "not a Korvin game: the file is too short to hold a single move"},
    {"RandomBytes",
     [] {
       std::mt19937 random(12);
       std::vector<int> bytes(700);
       for (int& b : bytes) b = static_cast<int>(random() % 256);
       ProgramTest::WriteBytes("korvin.kga", bytes);
     },
     "not a Korvin game: move 1 is damaged: it does not say which side you played"},
    {"TenMegabytes", [] { ProgramTest::WriteBytes("korvin.kga", std::vector<int>(10 << 20, 0)); },
     "the file is larger than 7 KB"},
    {"OrientationByteFive",
     [] { ProgramTest::WriteBytes("korvin.kga", {36, 56, 7, 15, 56, 0, 5}); },
     "not a Korvin game: move 1 is damaged: it does not say which side you played"},
#ifndef _WIN32  // links to devices and named pipes in a folder are POSIX's
    {"LinkToDevZero", [] { fs::create_symlink("/dev/zero", "korvin.kga"); },
     "not a regular file (a device)"},
    {"NamedPipe", [] { ASSERT_EQ(0, mkfifo("korvin.kga", 0644)); },
     "not a regular file (a named pipe)"},
#endif
    {"Directory", [] { fs::create_directory("korvin.kga"); },
     "not a regular file (a directory)"},
};

// Whatever kind of file it is, it keeps its contents under its new name, the
// message names the file, the reason and the new name, and the exit writes
// the new game to "korvin.kga".
TEST_P(DamagedKeptGame, IsMovedAsideReportedAndKept) {
  GetParam().make();
  std::error_code ignored;
  const auto sizeBefore = fs::file_size("korvin.kga", ignored);
  const auto typeBefore = fs::symlink_status("korvin.kga").type();
  actions.push_back(Press("Korvin 4", "OK"));
  StartPlain();
  EXPECT_FALSE(ended);
  EXPECT_FALSE(fs::exists(fs::symlink_status("korvin.kga")));
  const std::vector<fs::path> aside = FilesStartingWith("korvin.kga.damaged-");
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(fs::symlink_status(aside[0]).type(), typeBefore);
  EXPECT_EQ(fs::file_size(aside[0], ignored), sizeBefore);

  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  const std::string quote = "\"";
  const std::string named = quote + (dir_ / "korvin.kga").string() + quote + ": " + GetParam().reason;
  const std::string keptAs = (dir_ / aside[0].filename()).string();
  EXPECT_NE(messages[0].find(named), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("It was kept as " + quote + keptAs + quote + "."), std::string::npos)
      << messages[0];
  EXPECT_EQ(E.gameMoveNumber, 0);  // a new game
  EXPECT_EQ(p.DrawTarget(), shell.boardCanvas);

  Move("d2", "d4");
  Close();
  ASSERT_TRUE(ended);
  EXPECT_EQ(ReadBytes("korvin.kga").size(), 14u);
  EXPECT_EQ(fs::file_size(aside[0], ignored), sizeBefore);
  EXPECT_EQ(shell.exitStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedKeptGame, testing::ValuesIn(kDamagedKinds),
                         [](const auto& test) { return std::string(test.param.name); });

#ifndef _WIN32  // permissions and another user are POSIX's
// The superuser reads any file, so there the program runs in a child that
// gives up root first; the parent checks what it left on disk.
TEST_F(ProgramTest, UnreadableKeptGameIsMovedAside) {
  WriteGame("korvin.kga", "e2e4");
  ASSERT_EQ(0, chmod("korvin.kga", 0));
  WriteConfig(100, 100, 400, 400, 0, 1, 1);
  const bool root = geteuid() == 0;
  const pid_t child = root ? fork() : 0;
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (root && (chmod(dir_.c_str(), 0777) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
      _exit(77);
    actions.push_back(Press("Korvin 4", "OK"));
    const bool started = StartUp(p);
    const std::vector<std::string> messages = Messages();
    const bool told = messages.size() == 1 &&
                      messages[0].find("\": cannot read: Permission denied.\n") != std::string::npos;
    if (started) Close();
    if (root && !(started && told && ended))
      std::fprintf(stderr, "messages: %s\n", messages.empty() ? "none" : messages[0].c_str());
    if (root) _exit(started && told && ended ? 0 : 1);
    EXPECT_TRUE(started && told && ended) << (messages.empty() ? "" : messages[0]);
  } else {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot run as an ordinary user";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the program did not report the unreadable kept game";
  }
  const std::vector<fs::path> aside = FilesStartingWith("korvin.kga.damaged-");
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(fs::file_size(aside[0]), 7u);
  EXPECT_FALSE(fs::exists("korvin.kga"));  // no move was played: nothing to keep
}
#endif

// Empty and missing kept games say nothing; with no move played the exit
// leaves no kept game behind.
TEST_F(ProgramTest, EmptyOrMissingKeptGameStaysSilent) {
  WriteBytes("korvin.kga", {});
  StartPlain();
  Close();
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(fs::exists("korvin.kga"));
  EXPECT_TRUE(FilesStartingWith("korvin.kga.").empty());

  ScriptPlatform second;
  Prepare(second);
  ASSERT_TRUE(StartUp(second));
  EXPECT_EQ(second.Windows().size(), 1u);  // the main window only
  ASSERT_FALSE(HandleEvent(Event{EventId::WindowClose, shell.mainWindow, 0}));
  EXPECT_FALSE(fs::exists("korvin.kga"));
  EXPECT_TRUE(second.Misuses().empty());
}

#ifndef _WIN32  // named pipes in a folder are POSIX's
// A named pipe under the name of the settings, the book or a picture holds
// nothing up: the settings take their defaults (and the user is told), the
// book is empty, and a picture is missing.
TEST_F(ProgramTest, NamedPipesNeitherBlockNorGetReplaced) {
  ASSERT_EQ(0, mkfifo("korvin.cfg", 0644));
  ASSERT_EQ(0, mkfifo("korvin.bok", 0644));
  actions.push_back(Press("Korvin 4", "OK"));  // the welcome dialog of a first run
  actions.push_back(Press("Korvin 4", "OK"));  // the settings could not be read
  ASSERT_TRUE(StartUp(p));
  EXPECT_EQ(settings.windowWidth, 400);
  EXPECT_EQ(E.bookLength, 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "Your settings could not be read from \"" + (dir_ / "korvin.cfg").string() +
                               "\":\nNot a regular file (a named pipe).\nKorvin 4 starts with its usual "
                               "settings and saves yours when it closes.\n");
  ASSERT_EQ(0, mkfifo("pipe.kga", 0644));
  p.AnswerFileRequest((dir_ / "pipe.kga").string());
  actions.push_back(Press("Options", "Load Game"));
  actions.push_back(Press("Korvin 4", "OK"));
  p.PushEvent(EventId::MouseDown, shell.boardCanvas, 2);
  Pump();
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_NE(Messages()[1].find("Not a regular file (a named pipe)."), std::string::npos);

  // The pipe is not replaced at exit; the message says why, and the exit
  // status tells a script.
  actions.push_back(Press("Korvin 4", "OK"));
  Close();
  ASSERT_TRUE(ended);
  EXPECT_EQ(fs::status("korvin.cfg").type(), fs::file_type::fifo);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_NE(Messages()[2].find("The settings could not be saved to \"" +
                               (dir_ / "korvin.cfg").string() + "\":\nCannot write: not a regular file"),
            std::string::npos)
      << Messages()[2];
  EXPECT_EQ(shell.exitStatus, 1);

  ScriptPlatform second;
  Prepare(second);
  fs::remove("korvin.bok");
  UseRealAssets(second);
  fs::remove("fig3.png");
  ASSERT_EQ(0, mkfifo("fig3.png", 0644));
  actions.push_back([&second] {
    second.ClickWidget(second.FindWidgetByText(second.Windows().back().handle, "OK", WidgetKind::Button));
  });
  EXPECT_EQ(RunProgram(second), 1);
  EXPECT_TRUE(second.Misuses().empty());
  ASSERT_EQ(second.Windows().size(), 1u);
  std::string text;
  for (const ScriptWidget* w : second.WidgetsOf(second.Windows()[0].handle)) text += w->text;
  EXPECT_NE(text.find("Cannot open picture \"fig3.png\": not a regular file"), std::string::npos)
      << text;
}
#endif

// Leftovers of the program's own cut-short saves go at start-up; files that
// only look alike stay.
TEST_F(ProgramTest, StartUpRemovesLeftoverTemporariesOnly) {
  WriteGame("korvin.kga", "e2e4 e7e5");
  for (const char* name : {"korvin.kga.tmpQ7x2Lm", "korvin.cfg.tmp000000"}) WriteBytes(name, {1, 2});
  const char* const alike[] = {"korvin.kga.tmp", "korvin.kga.tmpABC", "korvin.cfg.tmp0000000",
                               "korvin.kga.tmp12345.old", "my.kga.tmpABCDEF", "korvin.bok.tmpABCDEF"};
  for (const char* name : alike) WriteBytes(name, {3});
  StartPlain();
  EXPECT_FALSE(fs::exists("korvin.kga.tmpQ7x2Lm"));
  EXPECT_FALSE(fs::exists("korvin.cfg.tmp000000"));
  for (const char* name : alike) EXPECT_EQ(ReadBytes(name), std::vector<int>{3}) << name;
  EXPECT_EQ(E.gameMoveNumber, 2);
}

}  // namespace
