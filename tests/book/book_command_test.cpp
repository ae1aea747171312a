// korvin-cli book build and book check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "book_test_util.h"

int CommandBook(int argc, char** argv);

namespace {

namespace fs = std::filesystem;

// Runs "korvin-cli book ..." and keeps what it printed.
struct CommandRun {
  int status = 0;
  std::string out, err;
};

CommandRun RunBook(std::vector<std::string> words) {
  words.insert(words.begin(), {"korvin-cli", "book"});
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  CommandRun run;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  run.status = CommandBook(static_cast<int>(words.size()), argv.data());
  run.out = ::testing::internal::GetCapturedStdout();
  run.err = ::testing::internal::GetCapturedStderr();
  return run;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BookCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvin_book_cmd_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string Path(const std::string& name) { return (dir / name).string(); }
  fs::path dir;
};

const std::string kRuy = "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6 e1g1 f8e7";

TEST_F(BookCommand, BuildWritesTheByteFormat) {
  const std::string source =
      Write("src.txt", "# a test book\n\n" + kRuy + "   # Ruy Lopez\n  d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7\n");
  const CommandRun run = RunBook({"build", source, Path("out.bok")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("lines 2"), std::string::npos);
  EXPECT_NE(run.out.find("bytes 38"), std::string::npos);
  const std::vector<unsigned char> expected = {36, 56, 86, 66, 28, 47, 93, 74, 27, 63, 82, 72, 63, 52,
                                               98, 77, 26, 28, 97, 86, 0,  35, 55, 85, 65, 34, 54, 86,
                                               76, 23, 44, 98, 77, 24, 68, 97, 86, 0};
  EXPECT_EQ(ReadBytes(Path("out.bok")), expected);
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);
}

TEST_F(BookCommand, BuildRefusesFaultyLinesNamingThem) {
  struct Case {
    std::string text, expect;
  };
  const Case cases[] = {
      {kRuy + "\ne2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1 g8f6 f3f5\n", "line 2: half-move 9 'f3f5' is not legal"},
      {"# x\n" + kRuy + " e7e5\n", "line 2: half-move 11 'e7e5' is not legal"},
      {"e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4\n", "line 1: has 7 half-moves"},
      {kRuy + " f1e1 b7b5 a4b3 d7d6 c2c3 e8g8 h2h3 c6a5 b3c2 c7c5 d2d4\n", "line 1: has 21 half-moves"},
      {"e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 Bxc6 d7c6\n", "'Bxc6' is not a move in coordinate notation"},
      {"e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5c6 d7c6 e1e2q\n", "is a promotion"},
  };
  for (const Case& c : cases) {
    const std::string source = Write("src.txt", c.text);
    const CommandRun run = RunBook({"build", source, Path("out.bok")});
    EXPECT_EQ(run.status, 2) << c.text;
    EXPECT_NE(run.err.find(c.expect), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Path("out.bok"))) << c.text;
  }
  EXPECT_EQ(RunBook({"build", Path("missing.txt"), Path("out.bok")}).status, 2);
  EXPECT_EQ(RunBook({"build", Path("only-one-argument")}).status, 2);
}

TEST_F(BookCommand, CheckReportsWhatWasCut) {
  const std::string good = Path("good.bok");
  ASSERT_EQ(RunBook({"build", Write("src.txt", kRuy + "\n"), good}).status, 0);
  CommandRun run = RunBook({"check", good});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("lines 1\nmoves 10\nsize 21"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("book ok"), std::string::npos);

  // Break the fourth half-move's destination and drop the end byte.
  std::vector<unsigned char> bytes = ReadBytes(good);
  bytes[7] = 21;
  bytes.insert(bytes.end(), {35, 55, 85});
  const std::string bad = Path("bad.bok");
  std::ofstream(bad, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  run = RunBook({"check", bad});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("cut line 1 at byte 7: a byte that is not a playing square"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("cut line 2 at byte 23: the data ends inside the line"), std::string::npos)
      << run.out;

  EXPECT_EQ(RunBook({"check", Path("missing.bok")}).status, 2);
}

TEST_F(BookCommand, CheckRefusesAnOversizeFile) {
  std::string text;
  const std::string big = Path("big.bok");
  {
    std::ofstream out(big, std::ios::binary);
    const unsigned char line[] = {36, 56, 86, 66, 0};
    for (int i = 0; i < 10001; i++) out.write(reinterpret_cast<const char*>(line), sizeof(line));
  }
  const CommandRun run = RunBook({"check", big});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("too long"), std::string::npos);
  EXPECT_NE(run.out.find("note: more than 3000 lines"), std::string::npos);
}

// The shipped book is exactly what its source builds to.
TEST_F(BookCommand, ShippedBookMatchesItsSource) {
  const CommandRun run = RunBook({"build", KORVIN_BOOK_SOURCE, Path("rebuilt.bok")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(Path("rebuilt.bok")), ReadBytes(KORVIN_BOOK_FILE));
  EXPECT_EQ(RunBook({"check", KORVIN_BOOK_FILE}).status, 0);
}

}  // namespace
