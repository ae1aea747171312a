// Loading a book: what a damaged or hand-edited file turns into, the size
// limit, and that loading leaves the engine exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "book_test_util.h"
#include "game.h"
#include "system.h"

namespace {

class BookLoad : public ::testing::Test {
 protected:
  void SetUp() override { FreshEngine(); }
};

void ExpectOneCut(int line, long long offset, int reason) {
  ASSERT_EQ(bookLoadReport.cuts.size(), 1u);
  EXPECT_EQ(bookLoadReport.cuts[0].line, line);
  EXPECT_EQ(bookLoadReport.cuts[0].offset, offset);
  EXPECT_EQ(bookLoadReport.cuts[0].reason, reason);
}

TEST_F(BookLoad, SoundBookIsKeptAsWritten) {
  const std::vector<int> book = {36, 56, 86, 66, 28, 47, 0, 35, 55, 0, 0, 27, 47, 0};
  // Line 3 is empty; line 4 is f1f3, which is no move: cut.
  LoadBookValues(book);
  EXPECT_EQ(bookLoadReport.lines, 4);
  ExpectOneCut(4, 11, kBookCutIllegal);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 86, 66, 28, 47, 0, 35, 55, 0, 0, 0}));
  EXPECT_EQ(E.bookLength, 13);
}

TEST_F(BookLoad, ByteThatIsNoPlayingSquareCutsTheLine) {
  // 21 and 30 are off-board indices, 200 is beyond the board.
  LoadBookValues({36, 56, 21, 66, 0, 35, 55, 0});
  ExpectOneCut(1, 2, kBookCutNotSquare);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 0, 35, 55, 0}));

  LoadBookValues({36, 56, 86, 30, 28, 47, 0, 35, 55, 0});
  ExpectOneCut(1, 3, kBookCutNotSquare);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 0, 35, 55, 0}));

  LoadBookValues({200, 56, 0, 35, 55, 0});
  ExpectOneCut(1, 0, kBookCutNotSquare);
  EXPECT_EQ(BookValues(), (std::vector<int>{0, 35, 55, 0}));
  EXPECT_EQ(ProbeCounts(50).size(), 1u);  // only d2d4 remains

  // An odd byte before the end byte: the end byte stands where a
  // destination belongs.
  LoadBookValues({36, 56, 86, 0, 35, 55, 0});
  ExpectOneCut(1, 3, kBookCutNotSquare);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 0, 35, 55, 0}));
}

TEST_F(BookLoad, IllegalMoveCutsTheLine) {
  // 1. e4 e5 2. e2e3: the e2 pawn has gone.
  LoadBookValues({36, 56, 86, 66, 36, 46, 0});
  ExpectOneCut(1, 4, kBookCutIllegal);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 86, 66, 0}));

  // 1. e4 d6 2. Bb5+ Nf6: Black ignores the check.
  LoadBookValues({36, 56, 85, 75, 27, 63, 98, 77, 0});
  ExpectOneCut(1, 6, kBookCutIllegal);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 85, 75, 27, 63, 0}));

  // A Black move first, then a sound line.
  LoadBookValues({85, 65, 0, 36, 56, 0});
  ExpectOneCut(1, 0, kBookCutIllegal);
  EXPECT_EQ(BookValues(), (std::vector<int>{0, 36, 56, 0}));

  // 1. e4 e5 2. Bc4 Ke7 3. O-O with the knight still on g1.
  LoadBookValues({36, 56, 86, 66, 27, 54, 96, 86, 26, 28, 0});
  ExpectOneCut(1, 8, kBookCutIllegal);
}

TEST_F(BookLoad, CastlingAndEnPassantReplay) {
  // 1. e4 Nf6 2. e5 d5 3. exd6 (en passant) ... 4. Nf3 ... 5. Bc4 ... 6. O-O.
  const std::vector<int> book = {36, 56, 98, 77, 56, 66, 85, 65, 66, 75, 84, 75,
                                 28, 47, 93, 74, 27, 54, 99, 98, 26, 28, 0};
  LoadBookValues(book);
  EXPECT_TRUE(bookLoadReport.cuts.empty());
  EXPECT_EQ(BookValues(), book);
  EXPECT_EQ(bookLoadReport.moves, 11);
}

TEST_F(BookLoad, MissingEndByteKeepsTheCompleteMoves) {
  LoadBookValues({35, 55, 0, 36, 56, 86, 66});
  ExpectOneCut(2, 7, kBookCutUnended);
  EXPECT_EQ(BookValues(), (std::vector<int>{35, 55, 0, 36, 56, 86, 66, 0}));

  LoadBookValues({36, 56, 86, 66, 28});
  ExpectOneCut(1, 4, kBookCutUnended);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 86, 66, 0}));
  ASSERT_TRUE(PlayMoves("e2e4"));
  ASSERT_EQ(ProbeBook(), 1);
  EXPECT_EQ(E.pvTo[1][1], 66);
}

TEST_F(BookLoad, OverlongLineIsCutAtTheReplayLimit) {
  // Knights out and back, 26 times: 104 legal half-moves.
  std::vector<int> book;
  for (int i = 0; i < 26; i++) book.insert(book.end(), {28, 47, 98, 77, 47, 28, 77, 98});
  book.push_back(0);
  LoadBookValues(book);
  ExpectOneCut(1, 2 * kBookLineLimit, kBookCutTooLong);
  EXPECT_EQ(bookLoadReport.moves, kBookLineLimit);
  EXPECT_EQ(E.bookLength, 2 * kBookLineLimit + 2);
}

TEST_F(BookLoad, OnlyTheFirst50000BytesAreRead) {
  // 10,001 lines of five bytes: the first 10,000 fill the book exactly.
  std::vector<int> book;
  for (int i = 0; i < 10001; i++) book.insert(book.end(), {36, 56, 86, 66, 0});
  LoadBookValues(book);
  EXPECT_EQ(bookLoadReport.oversize, 1);
  EXPECT_EQ(bookLoadReport.bytesRead, kBookBytes);
  EXPECT_TRUE(bookLoadReport.cuts.empty());
  EXPECT_EQ(bookLoadReport.lines, 10000);
  EXPECT_EQ(E.bookLength, kBookBytes + 1);

  // Seven-byte lines: the limit falls inside line 7143 after three whole
  // moves; with its end byte it would not fit, so it keeps two.
  book.clear();
  for (int i = 0; i < 7200; i++) book.insert(book.end(), {36, 56, 86, 66, 28, 47, 0});
  LoadBookValues(book);
  EXPECT_EQ(bookLoadReport.oversize, 1);
  ExpectOneCut(7143, kBookBytes, kBookCutUnended);
  EXPECT_EQ(bookLoadReport.lines, 7143);
  EXPECT_EQ(E.bookLength, 7142 * 7 + 5 + 1);
  EXPECT_EQ(E.bookBytes[E.bookLength - 1], 0);
}

TEST_F(BookLoad, FileLoadingReadsTheFileAndStopsAtTheLimit) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("korvin_book_load_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const std::string small = (dir / "small.bok").string();
  {
    std::ofstream out(small, std::ios::binary);
    const unsigned char bytes[] = {36, 56, 86, 66, 0};
    out.write(reinterpret_cast<const char*>(bytes), sizeof(bytes));
  }
  LoadBookFile(small.c_str());
  EXPECT_EQ(bookLoadReport.opened, 1);
  EXPECT_EQ(BookValues(), (std::vector<int>{36, 56, 86, 66, 0}));

  const std::string big = (dir / "big.bok").string();
  {
    std::ofstream out(big, std::ios::binary);
    const unsigned char line[] = {35, 55, 0};
    for (int i = 0; i < 20000; i++) out.write(reinterpret_cast<const char*>(line), sizeof(line));
  }
  LoadBookFile(big.c_str());
  EXPECT_EQ(bookLoadReport.oversize, 1);
  EXPECT_EQ(bookLoadReport.bytesRead, kBookBytes);
  // 16,666 whole lines and the first two bytes of the next.
  EXPECT_EQ(bookLoadReport.lines, 16667);
  EXPECT_EQ(E.bookLength, 16666 * 3 + 1 + 1);

  // A missing file empties a book loaded before; so does a named pipe,
  // which is not waited on.
  LoadBookFile((dir / "missing.bok").string().c_str());
  EXPECT_EQ(bookLoadReport.opened, 0);
  EXPECT_EQ(bookLoadReport.failure, "file not found");
  EXPECT_EQ(E.bookLength, 0);
#ifndef _WIN32  // named pipes in a folder are POSIX's
  LoadBookFile(small.c_str());
  ASSERT_EQ(mkfifo((dir / "pipe.bok").c_str(), 0644), 0);
  LoadBookFile((dir / "pipe.bok").string().c_str());
  EXPECT_EQ(bookLoadReport.opened, 0);
  EXPECT_EQ(bookLoadReport.failure, "not a regular file (a named pipe)");
  EXPECT_EQ(E.bookLength, 0);
#endif
  std::filesystem::remove_all(dir);
}

// Loading replays on the engine; everything but the book must come back
// byte for byte, in the middle of a game too.
TEST_F(BookLoad, LoadingLeavesTheEngineUnchanged) {
  ASSERT_TRUE(PlayMoves("e2e4 g8f6 e4e5 d7d5 e5d6 c7d6 g1f3 b8c6 f1c4"));
  E.ply = 1;
  const size_t compared = offsetof(EngineState, bookBytes);
  std::vector<unsigned char> before(compared);
  std::memcpy(before.data(), &E, compared);

  LoadBookFile(KORVIN_BOOK_FILE);
  EXPECT_EQ(std::memcmp(before.data(), &E, compared), 0);
  LoadBookValues({36, 56, 86, 66, 36, 46, 0, 200, 1, 0, 85, 65, 28});
  EXPECT_EQ(std::memcmp(before.data(), &E, compared), 0);
  EXPECT_STREQ(PositionSelfCheck(), "");
  // And the game goes on normally.
  ASSERT_TRUE(PlayMoves("e7e5 e1g1"));
}

TEST_F(BookLoad, ShippedBookLoadsWhole) {
  LoadBookFile(KORVIN_BOOK_FILE);
  EXPECT_EQ(bookLoadReport.opened, 1);
  EXPECT_EQ(bookLoadReport.oversize, 0);
  EXPECT_TRUE(bookLoadReport.cuts.empty());
  EXPECT_GE(bookLoadReport.lines, 150);
  EXPECT_LT(E.bookLength, kBookBytes + 1);
  // Both first moves for White and several replies are on the book.
  const auto first = ProbeCounts(2000);
  EXPECT_GT(CountOf(first, "e2e4"), 0);
  EXPECT_GT(CountOf(first, "d2d4"), 0);
  EXPECT_GT(CountOf(first, "c2c4"), 0);
  EXPECT_GT(CountOf(first, "g1f3"), 0);
  ASSERT_TRUE(PlayMoves("e2e4"));
  const auto replies = ProbeCounts(2000);
  for (const char* reply : {"e7e5", "c7c5", "e7e6", "c7c6", "d7d6", "d7d5", "g8f6"})
    EXPECT_GT(CountOf(replies, reply), 0) << reply;
}

// Whatever the bytes, the kept book replays legally move by move and every
// line ends with its end byte inside the table.
void ExpectBookReplaysLegally() {
  ASSERT_GE(E.bookLength, 1);
  ASSERT_LE(E.bookLength, kBookBytes + 1);
  ASSERT_EQ(E.bookLength == 1 || E.bookBytes[E.bookLength - 1] == 0, true);
  int k = 1;
  while (k < E.bookLength) {
    ResetGame();
    E.gameFrom[1] = -1;
    while (E.bookBytes[k] != 0) {
      ASSERT_LT(k + 1, E.bookLength);
      ASSERT_EQ(IsLegalMove(E.bookBytes[k], E.bookBytes[k + 1]), 1) << "at slot " << k;
      ASSERT_EQ(PlayGameMove(E.bookBytes[k], E.bookBytes[k + 1]), 1);
      k += 2;
    }
    k++;
  }
  ResetGame();
  E.gameFrom[1] = -1;
}

TEST_F(BookLoad, RandomlyDamagedBooksStaySafe) {
  std::ifstream in(KORVIN_BOOK_FILE, std::ios::binary);
  const std::vector<unsigned char> shipped((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
  ASSERT_FALSE(shipped.empty());
  SeedRandom(7);
  for (int round = 0; round < 60; round++) {
    std::vector<unsigned char> bytes = shipped;
    const int changes = RandomInt(1, 12);
    for (int c = 0; c < changes; c++) {
      const int at = RandomInt(0, static_cast<int>(bytes.size()) - 1);
      switch (RandomInt(0, 2)) {
        case 0: bytes[static_cast<size_t>(at)] = static_cast<unsigned char>(RandomInt(0, 255)); break;
        case 1: bytes.erase(bytes.begin() + at); break;
        default: bytes.resize(static_cast<size_t>(at)); break;
      }
      if (bytes.empty()) break;
    }
    LoadBookBytes(bytes.data(), bytes.size());
    ExpectBookReplaysLegally();
    EXPECT_EQ(bookLoadReport.bytesRead, static_cast<long long>(bytes.size()));
    // A book with nothing cut is kept byte for byte.
    if (bookLoadReport.cuts.empty()) {
      std::vector<int> expected(bytes.begin(), bytes.end());
      ASSERT_EQ(BookValues(), expected);
    }
    // A probe at the start of a game is always safe.
    if (ProbeBook()) {
      ASSERT_EQ(IsLegalMove(E.pvFrom[1][1], E.pvTo[1][1]), 1);
    }
  }
  for (int round = 0; round < 60; round++) {
    std::vector<unsigned char> noise(static_cast<size_t>(RandomInt(1, 400)));
    for (auto& b : noise) b = static_cast<unsigned char>(RandomInt(0, 255));
    LoadBookBytes(noise.data(), noise.size());
    ExpectBookReplaysLegally();
  }
}

}  // namespace
