// Names outside ASCII, on every system: a folder with accents, a dash and
// spaces holds games, settings, PGN and the files moved aside, and the
// temporaries of a write are cleared by the same rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "atomic_write.h"
#include "game_file.h"
#include "leftovers.h"
#include "pgn_file.h"
#include "set_aside.h"
#include "storage_error.h"
#include "storage_test_util.h"
#include "utf8_path.h"

namespace {

class UnicodePathTest : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    folder = Utf8FromPath(dir) + "/Schachpartien \xE2\x80\x93 \xC3\x9C" "bung";
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder)));
  }
  std::string In(const std::string& name) const { return folder + "/" + name; }
  std::string folder;  // UTF-8
};

TEST_F(UnicodePathTest, GamesSettingsAndPgnLiveInAFolderWithAccents) {
  PlayMoves("e2e4 e7e5 g1f3");
  const std::string game = In("Partie \xC3\xA9t\xC3\xA9.kga");
  ASSERT_TRUE(SaveGame(game.c_str())) << StorageError();
  ASSERT_TRUE(std::filesystem::is_regular_file(PathFromUtf8(game)));
  const std::string pgn = In("\xD0\xBF\xD0\xB0\xD1\x80\xD1\x82\xD0\xB8\xD1\x8F.pgn");  // Russian
  ASSERT_TRUE(SavePgn(pgn.c_str(), 2, "2026.12.10")) << StorageError();
  const std::string config = In("korvin.cfg");
  ASSERT_TRUE(SaveConfig(config.c_str())) << StorageError();

  FreshEngine();
  ASSERT_TRUE(LoadGame(game.c_str())) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 3);
  FreshEngine();
  int count = 0;
  ASSERT_TRUE(LoadPgn(pgn.c_str(), 1, count)) << StorageError();
  EXPECT_EQ(count, 1);
  EXPECT_EQ(E.gameMoveNumber, 3);
  EXPECT_TRUE(LoadConfig(config.c_str())) << StorageError();

  // Saved again over itself, and moved aside beside itself.
  ASSERT_TRUE(SaveGame(game.c_str())) << StorageError();
  std::string keptAs;
  FileError error;
  ASSERT_TRUE(MoveFileAside(game.c_str(), keptAs, error)) << error.message;
  EXPECT_EQ(keptAs.rfind(game + ".damaged-", 0), 0u) << keptAs;
  EXPECT_TRUE(std::filesystem::is_regular_file(PathFromUtf8(keptAs)));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(game)));
}

// A temporary that a writer still holds is never cleared; one whose writer
// is gone (killed half-way) is.
TEST_F(UnicodePathTest, OnlyTemporariesNoWriterHoldsAreCleared) {
  const std::string game = In("\xC3\xBC" "bung.kga");
  WriteAll(PathFromUtf8(game), Bytes{1, 2, 3});
  WriteAll(PathFromUtf8(TemporaryPrefix(game) + "Ab12Cd"), Bytes{9});  // left by a killed write
  TemporaryFile held;
  FileError error;
  ASSERT_TRUE(CreateTemporary(game, held, error)) << error.message;
  ASSERT_TRUE(LockTemporary(held, error)) << error.message;
  ASSERT_TRUE(WriteTemporary(held, Bytes{7}.data(), 1, error)) << error.message;

  EXPECT_EQ(RemoveLeftoverTemporaries(game.c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(TemporaryPrefix(game) + "Ab12Cd")));
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(held.name)));
  EXPECT_EQ(ReadAll(PathFromUtf8(game)), (Bytes{1, 2, 3}));

  DiscardTemporary(held);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(held.name)));
  EXPECT_EQ(RemoveLeftoverTemporaries(game.c_str()), 0);
}

}  // namespace
