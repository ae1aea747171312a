#include <gtest/gtest.h>
#include <sys/stat.h>

#include "game.h"
#include "game_file.h"
#include "storage_error.h"
#include "storage_test_util.h"

namespace {

// A game with castling on both sides, an en passant capture, captures and a
// check: 1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 5. d4 exd4 6. e5 d5
// 7. exd6 (en passant) O-O 8. dxc7 Qxc7.
const char* kRichGame =
    "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1 g8f6 d2d4 e5d4 e4e5 d7d5 e5d6 e8g8 d6c7 d8c7";

// White under-promotes to a knight by capture on b8.
const char* kWhiteKnightPromotion = "e2e4 d7d5 e4d5 g8f6 d5d6 e7e6 d6c7 f8d6 c7b8n";

// Black under-promotes to a knight by capturing the queen on d1.
const char* kBlackKnightPromotion = "a2a3 b7b5 a3a4 b5a4 b2b3 a4b3 a1a2 b3c2 b1c3 c2d1n";

// What a reload must reproduce.
struct GameSnapshot {
  int board[121];
  int sideToMove, castleRights, whiteCastled, blackCastled, gameMoveNumber, positionKey;
  std::vector<int> record, keys;
  int slot0[4];
};

GameSnapshot Snapshot() {
  GameSnapshot s{};
  std::memcpy(s.board, E.board, sizeof(s.board));
  s.sideToMove = E.sideToMove;
  s.castleRights = E.castleRights;
  s.whiteCastled = E.whiteCastled;
  s.blackCastled = E.blackCastled;
  s.gameMoveNumber = E.gameMoveNumber;
  s.positionKey = E.positionKey;
  int n = 1;
  for (; E.gameFrom[n] != -1; n++) {
    for (int v : {E.gameFrom[n], E.gameTo[n], E.gameCaptured[n], E.gameCastleRights[n],
                  E.gameEpSquare[n], E.gamePromotion[n]})
      s.record.push_back(v);
  }
  for (int i = 0; i < n; i++) s.keys.push_back(E.keyHistory[i]);
  s.slot0[0] = E.capturedPiece[0];
  s.slot0[1] = E.savedCastleRights[0];
  s.slot0[2] = E.epSquare[0];
  s.slot0[3] = E.promotedPiece[0];
  return s;
}

void ExpectSameGame(const GameSnapshot& a, const GameSnapshot& b) {
  EXPECT_EQ(0, std::memcmp(a.board, b.board, sizeof(a.board)));
  EXPECT_EQ(a.sideToMove, b.sideToMove);
  EXPECT_EQ(a.castleRights, b.castleRights);
  EXPECT_EQ(a.whiteCastled, b.whiteCastled);
  EXPECT_EQ(a.blackCastled, b.blackCastled);
  EXPECT_EQ(a.gameMoveNumber, b.gameMoveNumber);
  EXPECT_EQ(a.positionKey, b.positionKey);
  EXPECT_EQ(a.record, b.record);
  EXPECT_EQ(a.keys, b.keys);
  EXPECT_EQ(0, std::memcmp(a.slot0, b.slot0, sizeof(a.slot0)));
}

// The loaded position must be a consistent engine position at ply 1.
void ExpectConsistentAfterLoad() {
  EXPECT_STREQ(PositionSelfCheck(), "");
  EXPECT_EQ(E.ply, 1);
  EXPECT_EQ(E.keyHistory[E.gameMoveNumber], E.positionKey);
  EXPECT_EQ(E.gameFrom[E.gameMoveNumber + 1], -1);
  EXPECT_EQ(E.mateThreshold, 29000);
  EXPECT_EQ(E.gameEndMove, 0);
}

// One record of the file format.
Bytes Record(int from, int to, int captured, int castle, int ep, int promotion, int orientation) {
  return {static_cast<unsigned char>(from),     static_cast<unsigned char>(to),
          static_cast<unsigned char>(captured), static_cast<unsigned char>(castle),
          static_cast<unsigned char>(ep),       static_cast<unsigned char>(promotion),
          static_cast<unsigned char>(orientation)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

using GameFileTest = StorageTest;

TEST_F(GameFileTest, SingleMoveHasTheDocumentedBytes) {
  PlayMoves("e2e4");
  ASSERT_TRUE(SaveGame(PathOf("g.kga").c_str())) << StorageError();
  EXPECT_EQ(ReadAll(PathOf("g.kga")), (Bytes{36, 56, 7, 15, 56, 0, 0}));
}

TEST_F(GameFileTest, RoundTripRestoresPositionRecordAndKeys) {
  for (const char* moves : {kRichGame, kWhiteKnightPromotion, kBlackKnightPromotion}) {
    SCOPED_TRACE(moves);
    FreshEngine();
    PlayMoves(moves);
    const GameSnapshot before = Snapshot();
    ASSERT_TRUE(SaveGame(PathOf("g.kga").c_str())) << StorageError();

    // Load over a different game so that nothing is left over by chance.
    FreshEngine();
    PlayMoves("d2d4 d7d5 c2c4");
    ASSERT_TRUE(LoadGame(PathOf("g.kga").c_str())) << StorageError();
    EXPECT_STREQ(StorageError(), "");
    ExpectSameGame(before, Snapshot());
    ExpectConsistentAfterLoad();
  }
}

TEST_F(GameFileTest, UnderPromotionSurvives) {
  PlayMoves(kWhiteKnightPromotion);
  ASSERT_TRUE(SaveGame(PathOf("w.kga").c_str()));
  const Bytes white = ReadAll(PathOf("w.kga"));
  ASSERT_EQ(white.size(), 9u * 7);
  EXPECT_EQ(white[8 * 7 + 5], 2);  // knight
  FreshEngine();
  ASSERT_TRUE(LoadGame(PathOf("w.kga").c_str())) << StorageError();
  EXPECT_EQ(E.board[93], kWhiteKnight);  // b8

  FreshEngine();
  PlayMoves(kBlackKnightPromotion);
  ASSERT_TRUE(SaveGame(PathOf("b.kga").c_str()));
  const Bytes black = ReadAll(PathOf("b.kga"));
  EXPECT_EQ(black[9 * 7 + 5], 10);
  FreshEngine();
  ASSERT_TRUE(LoadGame(PathOf("b.kga").c_str())) << StorageError();
  EXPECT_EQ(E.board[25], kBlackKnight);  // d1
  EXPECT_EQ(E.gamePromotion[10], kBlackKnight);

  // Stepping back over the promotion brings the pawn and the queen back.
  ASSERT_TRUE(StepBackGameMove());
  EXPECT_EQ(E.board[34], kBlackPawn);  // c2
  EXPECT_EQ(E.board[25], kWhiteQueen);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

TEST_F(GameFileTest, GameSavedAfterSteppingBackReloadsAtItsLastMove) {
  PlayMoves(kRichGame);
  const GameSnapshot end = Snapshot();
  ASSERT_TRUE(StepBackGameMove());
  ASSERT_TRUE(StepBackGameMove());
  ASSERT_TRUE(StepBackGameMove());
  ASSERT_EQ(E.gameMoveNumber, 13);
  ASSERT_TRUE(SaveGame(PathOf("g.kga").c_str()));
  EXPECT_EQ(ReadAll(PathOf("g.kga")).size(), 16u * 7);
  FreshEngine();
  ASSERT_TRUE(LoadGame(PathOf("g.kga").c_str()));
  EXPECT_EQ(E.gameMoveNumber, 16);
  ExpectSameGame(end, Snapshot());
}

TEST_F(GameFileTest, OrientationIsWrittenToEveryRecordAndReadFromTheLast) {
  PlayMoves(kRichGame);
  settings.humanPlaysBlack = 1;
  ASSERT_TRUE(SaveGame(PathOf("g.kga").c_str()));
  const Bytes bytes = ReadAll(PathOf("g.kga"));
  ASSERT_EQ(bytes.size(), 16u * 7);
  for (size_t i = 6; i < bytes.size(); i += 7) EXPECT_EQ(bytes[i], 1) << "record " << i / 7 + 1;

  settings.humanPlaysBlack = 0;
  ASSERT_TRUE(LoadGame(PathOf("g.kga").c_str()));
  EXPECT_EQ(settings.humanPlaysBlack, 1);

  // A hand-made file whose records disagree: the last one decides.
  WriteAll(PathOf("mixed.kga"), Concat({Record(36, 56, 7, 15, 56, 0, 1), Record(85, 65, 7, 15, 65, 0, 0)}));
  ASSERT_TRUE(LoadGame(PathOf("mixed.kga").c_str())) << StorageError();
  EXPECT_EQ(settings.humanPlaysBlack, 0);
}

TEST_F(GameFileTest, EmptyRecordDeletesTheFile) {
  const std::string path = PathOf("g.kga");
  WriteAll(path, Record(36, 56, 7, 15, 56, 0, 0));
  ASSERT_EQ(E.gameFrom[1], -1);
  EXPECT_TRUE(SaveGame(path.c_str()));
  EXPECT_FALSE(std::filesystem::exists(path));
  // A second save finds no file, which is no error.
  EXPECT_TRUE(SaveGame(path.c_str()));
  // Loading afterwards finds no file and keeps the current game.
  PlayMoves("e2e4");
  const StateCopy before;
  EXPECT_FALSE(LoadGame(path.c_str()));
  EXPECT_STREQ(StorageError(), "file not found");
  EXPECT_TRUE(before.SameAsNow());
}

TEST_F(GameFileTest, UndoDataComesFromTheReplayNotFromTheFile) {
  // e2e4 with nonsense in the captured, castling and en passant bytes, then
  // d7d5: stepping back must still give the true positions.
  WriteAll(PathOf("g.kga"), Concat({Record(36, 56, 4, 0, 99, 0, 0), Record(85, 65, 6, 3, 0, 0, 0)}));
  ASSERT_TRUE(LoadGame(PathOf("g.kga").c_str())) << StorageError();
  EXPECT_EQ(E.gameCaptured[1], kEmpty);
  EXPECT_EQ(E.gameCastleRights[1], 15);
  EXPECT_EQ(E.gameEpSquare[1], 56);
  EXPECT_EQ(E.gameCaptured[2], kEmpty);
  EXPECT_EQ(E.gameCastleRights[2], 15);
  EXPECT_EQ(E.gameEpSquare[2], 65);
  EXPECT_EQ(E.capturedPiece[0], kEmpty);
  EXPECT_EQ(E.savedCastleRights[0], 15);
  EXPECT_EQ(E.epSquare[0], 65);
  ASSERT_TRUE(StepBackGameMove());
  ASSERT_TRUE(StepBackGameMove());
  EXPECT_EQ(0, std::memcmp(E.board, initialBoard, sizeof(E.board)));
  EXPECT_EQ(E.castleRights, 15);
  EXPECT_STREQ(PositionSelfCheck(), "");
}

// Every file the program writes is a whole number of moves long: one cut
// short, or with bytes added, is damaged and refused as a whole, never
// loaded up to the cut (the next save would lose the rest).
TEST_F(GameFileTest, FileOfTheWrongLengthIsRefused) {
  PlayMoves("e2e4 e7e5 g1f3");
  ASSERT_TRUE(SaveGame(PathOf("g.kga").c_str()));
  const Bytes whole = ReadAll(PathOf("g.kga"));
  for (const size_t length : {15u, 17u, 20u, 22u, 27u}) {
    Bytes bytes = whole;
    bytes.resize(length, 7);
    WriteAll(PathOf("g.kga"), bytes);
    FreshEngine();
    StateCopy before;
    EXPECT_FALSE(LoadGame(PathOf("g.kga").c_str())) << length;
    EXPECT_EQ(std::string(StorageError()),
              "not a Korvin game: the file is cut short or damaged: its length (" +
                  std::to_string(length) + " bytes) is no whole number of moves");
    EXPECT_TRUE(before.SameAsNow()) << length;
  }
}

TEST_F(GameFileTest, MaximumRecordLoads) {
  // 999 half-moves of knights going back and forth: the longest record.
  const Bytes cycle = Concat({Record(23, 44, 7, 15, 0, 0, 0), Record(93, 74, 7, 15, 0, 0, 0),
                              Record(44, 23, 7, 15, 0, 0, 0), Record(74, 93, 7, 15, 0, 0, 0)});
  Bytes bytes;
  for (int n = 0; n < 999; n++) bytes.insert(bytes.end(), cycle.begin() + (n % 4) * 7, cycle.begin() + (n % 4) * 7 + 7);
  WriteAll(PathOf("long.kga"), bytes);
  ASSERT_TRUE(LoadGame(PathOf("long.kga").c_str())) << StorageError();
  EXPECT_EQ(E.gameMoveNumber, 999);
  EXPECT_EQ(E.gameFrom[1000], -1);
  ExpectConsistentAfterLoad();
  ASSERT_TRUE(SaveGame(PathOf("again.kga").c_str()));
  EXPECT_EQ(ReadAll(PathOf("again.kga")), bytes);

  // One half-move more is refused.
  bytes.insert(bytes.end(), cycle.begin() + 21, cycle.end());
  WriteAll(PathOf("toolong.kga"), bytes);
  FreshEngine();
  PlayMoves("e2e4");
  const StateCopy before;
  EXPECT_FALSE(LoadGame(PathOf("toolong.kga").c_str()));
  EXPECT_STREQ(StorageError(), "the file is larger than 7 KB");
  EXPECT_TRUE(before.SameAsNow());
  EXPECT_FALSE(LoadGameBytes(bytes.data(), bytes.size()));
  EXPECT_STREQ(StorageError(), "not a Korvin game: it holds more than 999 half-moves, more than a game can have");
  EXPECT_TRUE(before.SameAsNow());
}

struct DamagedFile {
  const char* name;
  Bytes bytes;
  const char* reason;
};

// Every damaged file is refused with its reason, and the game, the position
// and the orientation stay exactly as they were.
TEST_F(GameFileTest, DamagedFilesAreRefusedAndChangeNothing) {
  const Bytes e4 = Record(36, 56, 7, 15, 56, 0, 0);
  const Bytes e5 = Record(86, 66, 7, 15, 66, 0, 0);
  // 1. e4 f6 2. Qh5+ and Black's a7a6 ignores the check.
  const Bytes ignoresCheck = Concat({e4, Record(87, 77, 7, 15, 0, 0, 0), Record(25, 69, 7, 15, 0, 0, 0),
                                     Record(82, 72, 7, 15, 0, 0, 0)});
  // White's pawn walks to b8 by captures; the promoting capture c7b8 gets
  // various promotion bytes.
  Bytes toPromotion;
  {
    FreshEngine();
    PlayMoves("e2e4 d7d5 e4d5 g8f6 d5d6 e7e6 d6c7 f8d6");
    GameToBytes(toPromotion);
  }
  auto promotingWith = [&](int code) { return Concat({toPromotion, Record(84, 93, 10, 15, 0, code, 0)}); };

  const DamagedFile cases[] = {
      {"empty", {}, "not a Korvin game: the file is empty"},
      {"short", {36, 56, 7, 15, 56, 0}, "not a Korvin game: the file is too short to hold a single move"},
      {"illegal first move", Record(36, 66, 7, 15, 0, 0, 0), "not a Korvin game: move 1 (e2e5) is not a legal move"},
      {"black moves first", e5, "not a Korvin game: move 1 (e7e5) is not a legal move"},
      {"off-board squares", Concat({e4, Record(0, 255, 7, 15, 0, 0, 0)}),
       "not a Korvin game: move 2 (from 0 to 255) is not a legal move"},
      {"empty origin", Concat({e4, e5, Record(56, 66, 7, 15, 0, 0, 0), e5}),
       "not a Korvin game: move 3 (e4e5) is not a legal move"},
      {"king left in check", ignoresCheck, "not a Korvin game: move 4 (a7a6) is not a legal move"},
      {"promotion byte on an ordinary move", Record(36, 56, 7, 15, 56, 5, 0),
       "not a Korvin game: move 1 (e2e4) names a promotion, but no pawn promotes"},
      {"no promotion byte on a promotion", promotingWith(0), "not a Korvin game: move 9 (c7b8) promotes a pawn to no piece it can become"},
      {"promotion to a black piece", promotingWith(10), "not a Korvin game: move 9 (c7b8) promotes a pawn to no piece it can become"},
      {"promotion to a king", promotingWith(6), "not a Korvin game: move 9 (c7b8) promotes a pawn to no piece it can become"},
      {"promotion to a pawn", promotingWith(1), "not a Korvin game: move 9 (c7b8) promotes a pawn to no piece it can become"},
      {"orientation 2", Concat({e4, Record(85, 65, 7, 15, 65, 0, 2)}),
       "not a Korvin game: move 2 is damaged: it does not say which side you played"},
  };
  for (const DamagedFile& c : cases) {
    SCOPED_TRACE(c.name);
    FreshEngine();
    PlayMoves("d2d4 g8f6 c2c4 e7e6 b1c3");
    settings.humanPlaysBlack = 1;
    settings.level = 3;
    WriteAll(PathOf("bad.kga"), c.bytes);
    const StateCopy before;
    EXPECT_FALSE(LoadGame(PathOf("bad.kga").c_str()));
    EXPECT_STREQ(StorageError(), c.reason);
    EXPECT_TRUE(before.SameAsNow());
  }
  // The good prefix of the promotion case does load, with each legal piece.
  for (int code : {2, 3, 4, 5}) {
    const Bytes good = promotingWith(code);
    EXPECT_TRUE(LoadGameBytes(good.data(), good.size())) << StorageError();
    EXPECT_EQ(E.board[93], code);
  }
}

TEST_F(GameFileTest, UnreadablePathsAreRefused) {
  PlayMoves("e2e4");
  const StateCopy before;
  EXPECT_FALSE(LoadGame(""));
  EXPECT_STREQ(StorageError(), "file not found");
  EXPECT_FALSE(LoadGame(dir.string().c_str()));
  EXPECT_STREQ(StorageError(), "not a regular file (a directory)");
#ifdef _WIN32
  // A device is refused before a byte is read.
  EXPECT_FALSE(LoadGame("NUL"));
  EXPECT_STREQ(StorageError(), "not a regular file (a device)");
#else
  // A named pipe without a writer would block an ordinary open for ever.
  ASSERT_EQ(0, mkfifo(PathOf("pipe.kga").c_str(), 0644));
  EXPECT_FALSE(LoadGame(PathOf("pipe.kga").c_str()));
  EXPECT_STREQ(StorageError(), "not a regular file (a named pipe)");
  // A link to an endless device is refused unread.
  std::filesystem::create_symlink("/dev/zero", dir / "zero.kga");
  EXPECT_FALSE(LoadGame(PathOf("zero.kga").c_str()));
  EXPECT_STREQ(StorageError(), "not a regular file (a device)");
#endif
  EXPECT_TRUE(before.SameAsNow());
}

}  // namespace
