// The engine's one process-wide record and the constants every engine file
// shares. The board is a 10x12 mailbox: square = 22 + 10 * (rank - 1) + file
// (a1 = 22, h1 = 29, a8 = 92, h8 = 99); every other index holds the off-board
// code. Moves are (origin, destination) pairs kept in parallel arrays.
#pragma once

#include <cstdint>

// Piece codes stored in the board.
constexpr int kWhitePawn = 1, kWhiteKnight = 2, kWhiteBishop = 3, kWhiteRook = 4,
              kWhiteQueen = 5, kWhiteKing = 6;
constexpr int kEmpty = 7, kOffBoard = 8;
constexpr int kBlackPawn = 9, kBlackKnight = 10, kBlackBishop = 11, kBlackRook = 12,
              kBlackQueen = 13, kBlackKing = 14;

// Castling-right bits.
constexpr int kBlackShort = 1, kBlackLong = 2, kWhiteShort = 4, kWhiteLong = 8;

// Scores.
constexpr int kInfinity = 30000;       // bound of the root window
constexpr int kMateBound = 29000;      // beyond this a score is a mate score
// A node whose generation finds a capture of the enemy king returns
// kInfinity less its ply, so a move after which every reply leaves the king
// to be taken scores kNoReplyScore less the ply after the move: mate, or
// stalemate when the opponent is not in check.
constexpr int kNoReplyScore = kInfinity - 1;
// The root search's score when every move of the side to move leaves its
// king to be taken: it has no legal move.
constexpr int kNoMoveScore = -(kInfinity - 2);
// A root move after which the opponent has no legal move: mate at once.
constexpr int kMateAtOnceScore = kNoReplyScore - 2;

// Limits of the data model. The rules use plies 0..100, 1000 move-list slots
// and 999 half-moves of game record. The per-ply tables, the move stack and
// the key history are sized with room past those limits, and the search stops
// a line before it could reach the end of any of them (see kSearchPlyLimit and
// kMoveStackGuard), so no line, however long, can write outside a table.
constexpr int kMaxPly = 100;                     // deepest ply of the rules
constexpr int kPlySlots = 128;                   // per-ply table length
constexpr int kSearchPlyLimit = 120;             // a line is stopped at this ply
constexpr int kMoveSlots = 4096;                 // move-stack length
constexpr int kMoveStackGuard = kMoveSlots - 300;  // no node generates beyond this
constexpr int kMaxGameMoves = 999;               // half-moves the record can hold
constexpr int kGameSlots = 1001;                 // game-record length (1..1000)
constexpr int kKeyHistorySlots = kGameSlots + kPlySlots;
constexpr int kTtEntries = 10000001;
constexpr int kTtIndexRange = 10000000;
constexpr int kBookBytes = 50000;
constexpr int kBookCandidates = 3000;

// One entry of the transposition table, 8 bytes, so that an entry never
// spans two cache lines. `score` is the stored score (mate scores relative to
// the storing ply): every score of the search lies within 30000 plus the
// deepest ply, well inside 16 bits. `depth` holds the low 8 bits of the
// depth, and `stamp` the bound (0 exact, 1 upper, 2 lower) in its low two
// bits and the engine turn that wrote the entry above them (the table's
// emptying works through it, see TtClear).
struct TtEntry {
  int32_t key;
  int16_t score;
  uint8_t depth;
  uint8_t stamp;
};

struct EngineState {
  // The position.
  int board[121];
  int sideToMove;
  int castleRights;
  int whiteKingSquare, blackKingSquare;
  int whitePieces[17], blackPieces[17];
  int whitePieceCount, blackPieceCount;
  int pieceIndex[121];
  int whiteMaterial, blackMaterial;
  int whitePawnCount, blackPawnCount;
  int whiteCastled, blackCastled;
  int incrementalScore;
  int positionKey;
  int rootSide;
  int ply;

  // The move list shared by all plies of the search path.
  int moveFrom[kMoveSlots + 1], moveTo[kMoveSlots + 1], moveScore[kMoveSlots + 1];
  int moveCount;
  int moveListEnd[kPlySlots];
  int moveOrder[kMoveSlots + 1];  // a node's untried moves in trying order (NextMove)

  // Per-ply undo stacks, indexed by the ply at which the move was made.
  int capturedPiece[kPlySlots];
  int capturedIndex[kPlySlots];
  int epSquare[kPlySlots];
  int promotedPiece[kPlySlots];
  int savedCastleRights[kPlySlots];
  int plyFrom[kPlySlots], plyTo[kPlySlots];

  // The game record, indexed by half-move number 1..1000.
  int gameFrom[kGameSlots], gameTo[kGameSlots];
  int gameCaptured[kGameSlots];
  int gameCastleRights[kGameSlots];
  int gameEpSquare[kGameSlots];
  int gamePromotion[kGameSlots];
  int gameMoveNumber;
  int gameEndMove;

  // Position keys.
  int zobristKeys[121][15];
  int epCaptureKeys[121];
  int sideKey;
  int keyHistory[kKeyHistorySlots];

  // Generator scratch.
  int kingCaptured;
  int pieceCursor;

  // Move ordering and the principal variation.
  int killer1From[kPlySlots], killer1To[kPlySlots];
  int killer2From[kPlySlots], killer2To[kPlySlots];
  int counterFrom[121][121], counterTo[121][121];
  int history[121][121];
  int pvLength[kPlySlots];
  int pvFrom[kPlySlots][kPlySlots], pvTo[kPlySlots][kPlySlots];
  int followPv;

  // The transposition table: kTtEntries entries, allocated once by
  // CreateEngine.
  TtEntry* ttTable;
  int useHashTable;

  // Search limits and state.
  int rootBonus[101];
  int timeLimit;
  int maxDepth;
  int searchStart;
  int timeUp;
  int extensionCount;
  int mateThreshold;
  int64_t nodes;   // calls of Search in the current search
  int64_t qnodes;  // calls of Quiesce in the current search

  // Evaluation scratch (rebuilt on every call except the king-zone maps).
  int whitePawnsOnFile[11], blackPawnsOnFile[11];
  int whiteFrontPawn[11], whiteRearPawn[11];
  int blackFrontPawn[11], blackRearPawn[11];
  int whitePassedOnFile[11], blackPassedOnFile[11];
  int pawnAdvanceWeight[11];
  int whiteKingZone[122], blackKingZone[122];
  int whiteKingZoneSquare, blackKingZoneSquare;

  // The opening book.
  int bookBytes[kBookBytes + 1];
  int bookLength;
  int bookCandidateFrom[kBookCandidates + 1], bookCandidateTo[kBookCandidates + 1];
};

// The one engine record of the process. It lives in static storage, so it
// starts zero-filled.
extern EngineState E;

// Constant tables.
extern const int pieceValue[15];
extern const int initialBoard[121];

// Allocates the transposition table (once) and fills the starting position and
// the constant parts of the record. Safe to call more than once.
void CreateEngine();

// Colour tests on piece codes.
inline bool IsWhitePiece(int code) { return code < kEmpty; }
inline bool IsBlackPiece(int code) { return code > kOffBoard; }
inline bool IsPlayingSquare(int s) { return s >= 22 && s <= 99 && s % 10 >= 2; }
