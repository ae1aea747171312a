// Saves on a full disk and on a read-only file system: a message names each
// file and the reason (during play once, at exit again), the previous files
// stay whole, and the exit status is 1. The working folder is a small file system that the test
// mounts in a mount namespace of its own (so it vanishes with the test).
#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

#include "program_test_util.h"

namespace {

class SaveFailureTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      GTEST_SKIP() << "no mount namespace of its own: " << std::strerror(errno);
    disk_ = dir_ / "disk";
    fs::create_directory(disk_);
    if (mount("tmpfs", disk_.c_str(), "tmpfs", 0, "size=16k") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    mounted_ = true;
    fs::current_path(disk_);
    // The previous files: a game of two moves, Novice, no welcome.
    WriteConfig(100, 100, 400, 400, 0, 1, 1);
    WriteGame("korvin.kga", "e2e4 e7e5");
    oldGame_ = ReadBytes("korvin.kga");
    oldConfig_ = ReadBytes("korvin.cfg");
  }
  void TearDown() override {
    fs::current_path(dir_);
    if (mounted_) umount2(disk_.c_str(), MNT_DETACH);
    ProgramTest::TearDown();
  }
  void RemountReadOnly() {
    ASSERT_EQ(0, mount(nullptr, disk_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr))
        << std::strerror(errno);
  }
  // Runs the program: the user plays Nf3, the computer replies (when the
  // game cannot be kept, the user reads that message), then `beforeClose`
  // runs and the user closes the window and reads the message.
  int PlayAndClose(std::function<void()> beforeClose, bool keepingFails = false) {
    actions.push_back(ClickAction("g1"));
    actions.push_back(ClickAction("f3"));
    if (keepingFails) actions.push_back(Press("Korvin 4", "OK"));
    actions.push_back(std::move(beforeClose));
    actions.push_back([this] { p.PushEvent(EventId::WindowClose, shell.mainWindow); });
    actions.push_back(Press("Korvin 4", "OK"));
    return RunProgram(p);
  }
  void ExpectPreviousFilesWhole() {
    EXPECT_EQ(ReadBytes("korvin.kga"), oldGame_);
    EXPECT_EQ(ReadBytes("korvin.cfg"), oldConfig_);
    for (const auto& entry : fs::directory_iterator("."))
      EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
  std::string Failure(const char* what, const char* name, const char* reason) const {
    return std::string("The ") + what + " could not be saved to \"" + (disk_ / name).string() +
           "\":\n" + reason + ".\n";
  }

  fs::path disk_;
  bool mounted_ = false;
  std::vector<int> oldGame_, oldConfig_;
};

// The disk fills after the moves were played: the game was kept as it was
// played, so only the settings are lost, and the user is told.
TEST_F(SaveFailureTest, FullDiskIsReportedAndKeepsThePreviousFiles) {
  const int status = PlayAndClose([] {
    std::ofstream filler("filler", std::ios::binary);
    const std::string block(1024, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) filler.flush();
  });
  EXPECT_EQ(status, 1);
  ASSERT_EQ(Messages().size(), 1u);
  const std::string message = Messages()[0];
  EXPECT_EQ(message.find("The game could not be saved"), std::string::npos) << message;
  EXPECT_NE(message.find(Failure("settings", "korvin.cfg", "Cannot write: No space left on device")),
            std::string::npos)
      << message;
  fs::remove("filler");
  // The kept game holds the four half-moves; the settings are the old ones.
  const std::vector<int> played = ReadBytes("korvin.kga");
  ASSERT_EQ(played.size(), 28u);
  EXPECT_EQ(std::vector<int>(played.begin(), played.begin() + 14), oldGame_);
  oldGame_ = played;
  ExpectPreviousFilesWhole();
}

// The disk is full from the start: the first move that cannot be kept is
// reported, the later ones are not, and the exit tries once more.
TEST_F(SaveFailureTest, FullDiskDuringPlayIsReportedOnce) {
  std::ofstream filler("filler", std::ios::binary);
  const std::string block(1024, 'x');
  while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) filler.flush();
  filler.close();
  actions.push_back(ClickAction("g1"));
  actions.push_back(ClickAction("f3"));
  actions.push_back(Press("Korvin 4", "OK"));
  actions.push_back(ClickAction("d2"));
  actions.push_back(ClickAction("d4"));
  actions.push_back([this] { p.PushEvent(EventId::WindowClose, shell.mainWindow); });
  actions.push_back(Press("Korvin 4", "OK"));
  EXPECT_EQ(RunProgram(p), 1);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0], "Your game could not be saved to \"" + (disk_ / "korvin.kga").string() +
                               "\":\nCannot write: No space left on device.\nKorvin 4 tries again after "
                               "every move and when it closes.\n");
  EXPECT_NE(Messages()[1].find(Failure("game", "korvin.kga", "Cannot write: No space left on device")),
            std::string::npos)
      << Messages()[1];
  fs::remove("filler");
  ExpectPreviousFilesWhole();
}

TEST_F(SaveFailureTest, ReadOnlyFileSystemIsReportedAndKeepsThePreviousFiles) {
  RemountReadOnly();
  EXPECT_EQ(PlayAndClose([] {}, true), 1);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_NE(Messages()[0].find("Cannot write: Read-only file system."), std::string::npos)
      << Messages()[0];
  EXPECT_NE(Messages()[1].find(Failure("game", "korvin.kga", "Cannot write: Read-only file system")),
            std::string::npos)
      << Messages()[1];
  ExpectPreviousFilesWhole();
}

// A damaged kept game that cannot even be moved aside is left as it is, at
// start-up and at exit, and both times the user is told.
TEST_F(SaveFailureTest, DamagedKeptGameOnAReadOnlyFileSystemIsLeftAlone) {
  WriteBytes("korvin.kga", {36, 56, 7});
  oldGame_ = ReadBytes("korvin.kga");
  RemountReadOnly();
  actions.push_back(Press("Korvin 4", "OK"));
  EXPECT_EQ(PlayAndClose([] {}, true), 1);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_NE(Messages()[0].find("It could not be moved aside (cannot rename: Read-only file system),"),
            std::string::npos)
      << Messages()[0];
  EXPECT_NE(Messages()[1].find("The game there could not be loaded, nor moved aside "
                               "(cannot rename: Read-only file system)."),
            std::string::npos)
      << Messages()[1];
  EXPECT_NE(Messages()[2].find(Failure("game", "korvin.kga",
                                       "The game there could not be loaded, nor moved aside "
                                       "(cannot rename: Read-only file system)")),
            std::string::npos)
      << Messages()[2];
  ExpectPreviousFilesWhole();
}

}  // namespace
