// Files are written where they really are: a symbolic link is written
// through, never replaced, and a dangling one is never deleted. Whatever a
// link leads to that is not a regular file is left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "set_aside.h"
#include "config_file.h"
#include "game_file.h"
#include "storage_error.h"
#include "storage_test_util.h"

namespace fs = std::filesystem;

namespace {

class LinkTest : public StorageTest {
 protected:
  bool IsLink(const std::string& name) const { return fs::is_symlink(dir / name); }
  std::string LinkTarget(const std::string& name) const { return fs::read_symlink(dir / name).string(); }
};

TEST_F(LinkTest, AWriteGoesThroughTheLinkToItsTarget) {
  fs::create_directory(dir / "synced");
  WriteAll(dir / "synced" / "game.kga", Bytes{1, 2, 3});
  ASSERT_EQ(0, chmod((dir / "synced" / "game.kga").c_str(), 0640));
  fs::create_symlink("synced/game.kga", dir / "korvin.kga");  // relative to the link's folder
  PlayMoves("e2e4 e7e5");
  ASSERT_TRUE(SaveGame(PathOf("korvin.kga").c_str())) << StorageError();
  EXPECT_TRUE(IsLink("korvin.kga"));
  EXPECT_EQ(LinkTarget("korvin.kga"), "synced/game.kga");
  EXPECT_EQ(ReadAll(dir / "synced" / "game.kga").size(), 14u);
  struct stat st;
  ASSERT_EQ(0, stat((dir / "synced" / "game.kga").c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // The temporary went beside the target and is gone.
  EXPECT_EQ(Files(), (std::vector<std::string>{"korvin.kga", "synced"}));
  std::vector<std::string> synced;
  for (const auto& entry : fs::directory_iterator(dir / "synced"))
    synced.push_back(entry.path().filename().string());
  EXPECT_EQ(synced, std::vector<std::string>{"game.kga"});
}

// A chain of links, and an absolute target, lead to the same file.
TEST_F(LinkTest, ChainsAndAbsoluteTargetsAreFollowed) {
  WriteAll(dir / "real.cfg", Bytes(28, 0));
  fs::create_symlink(dir / "real.cfg", dir / "middle.cfg");
  fs::create_symlink("middle.cfg", dir / "korvin.cfg");
  settings = Settings{5, 6, 400, 400, 1, 3, 1};
  ASSERT_TRUE(SaveConfig(PathOf("korvin.cfg").c_str())) << StorageError();
  EXPECT_TRUE(IsLink("korvin.cfg"));
  EXPECT_TRUE(IsLink("middle.cfg"));
  settings = Settings{};
  ASSERT_TRUE(LoadConfig(PathOf("real.cfg").c_str()));
  EXPECT_EQ(settings.level, 3);
}

// A dangling link creates its target when the target's folder exists, and
// is a failed save, with the folder named, when it does not.
TEST_F(LinkTest, ADanglingLinkCreatesItsTargetOrFailsWithAReason) {
  fs::create_symlink("later.kga", dir / "korvin.kga");
  PlayMoves("d2d4");
  ASSERT_TRUE(SaveGame(PathOf("korvin.kga").c_str())) << StorageError();
  EXPECT_TRUE(IsLink("korvin.kga"));
  EXPECT_EQ(ReadAll(dir / "later.kga").size(), 7u);

  fs::create_symlink("gone/x.pgn", dir / "out.kga");
  EXPECT_FALSE(SaveGame(PathOf("out.kga").c_str()));
  EXPECT_NE(std::string(StorageError()).find("does not exist"), std::string::npos) << StorageError();
  EXPECT_TRUE(IsLink("out.kga"));
}

// Removing a game without moves removes the link's target, never the link;
// a dangling link stays as it is.
TEST_F(LinkTest, RemovalTakesTheTargetAndNeverTheLink) {
  WriteAll(dir / "target.kga", Bytes(7, 0));
  fs::create_symlink("target.kga", dir / "korvin.kga");
  ASSERT_TRUE(SaveGame(PathOf("korvin.kga").c_str())) << StorageError();  // no moves
  EXPECT_TRUE(IsLink("korvin.kga"));
  EXPECT_FALSE(fs::exists(dir / "target.kga"));
  // Now dangling: removing again changes nothing.
  ASSERT_TRUE(SaveGame(PathOf("korvin.kga").c_str())) << StorageError();
  EXPECT_TRUE(IsLink("korvin.kga"));
  // Nothing but a regular file is ever deleted.
  ASSERT_EQ(0, mkfifo(PathOf("pipe").c_str(), 0644));
  fs::create_symlink("pipe", dir / "pipe.kga");
  FileError error;
  EXPECT_FALSE(RemoveFileIfPresent(PathOf("pipe.kga").c_str(), error));
  EXPECT_EQ(error.message, "cannot delete: not a regular file (a named pipe)");
  EXPECT_TRUE(fs::exists(dir / "pipe"));
  EXPECT_TRUE(IsLink("pipe.kga"));
}

// Moving aside renames the file a link leads to, in its own folder, and
// keeps the link; a link to anything but a regular file is moved aside
// itself.
TEST_F(LinkTest, MovingAsideKeepsTheLink) {
  fs::create_directory(dir / "elsewhere");
  WriteAll(dir / "elsewhere" / "g.kga", Bytes{1, 2, 3});
  fs::create_symlink("elsewhere/g.kga", dir / "korvin.kga");
  std::string keptAs;
  FileError error;
  ASSERT_TRUE(MoveFileAside(PathOf("korvin.kga").c_str(), keptAs, error)) << error.message;
  EXPECT_TRUE(IsLink("korvin.kga"));
  EXPECT_EQ(keptAs.rfind((dir / "elsewhere" / "g.kga.damaged-").string(), 0), 0u) << keptAs;
  EXPECT_EQ(ReadAll(keptAs), (Bytes{1, 2, 3}));

  ASSERT_EQ(0, mkfifo(PathOf("pipe").c_str(), 0644));
  fs::create_symlink("pipe", dir / "pipe.kga");
  ASSERT_TRUE(MoveFileAside(PathOf("pipe.kga").c_str(), keptAs, error)) << error.message;
  EXPECT_TRUE(fs::exists(dir / "pipe"));
  EXPECT_EQ(keptAs.rfind(PathOf("pipe.kga.damaged-"), 0), 0u) << keptAs;
  EXPECT_TRUE(fs::is_symlink(keptAs));
}

TEST_F(LinkTest, ALoopOfLinksIsAFailureWithAReason) {
  fs::create_symlink("b.kga", dir / "a.kga");
  fs::create_symlink("a.kga", dir / "b.kga");
  PlayMoves("e2e4");
  EXPECT_FALSE(SaveGame(PathOf("a.kga").c_str()));
  EXPECT_NE(std::string(StorageError()).find("too many symbolic links"), std::string::npos)
      << StorageError();
  EXPECT_TRUE(IsLink("a.kga"));
  EXPECT_TRUE(IsLink("b.kga"));
}

// A file its owner could not read (mode 000) would never be read back: the
// file written over it is the owner's to read and write again.
TEST_F(LinkTest, AWrittenFileIsAlwaysReadableAndWritableByItsOwner) {
  const std::string path = PathOf("korvin.cfg");
  WriteAll(path, Bytes(28, 0));
  ASSERT_EQ(0, chmod(path.c_str(), 0));
  settings = Settings{1, 2, 400, 400, 0, 2, 1};
  ASSERT_TRUE(SaveConfig(path.c_str())) << StorageError();
  struct stat st;
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(0, chmod(path.c_str(), 0444));
  ASSERT_TRUE(SaveConfig(path.c_str())) << StorageError();
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

}  // namespace
