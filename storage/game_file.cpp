#include "game_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "atomic_write.h"
#include "read_file.h"
#include "set_aside.h"
#include "config_file.h"
#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "notation.h"
#include "position.h"
#include "snapshot.h"
#include "storage_error.h"
#include "texts.h"

namespace {

// What a refused load puts back besides the engine record: the settings,
// copied before the replay starts.
Settings savedSettings;

// "e2e4" for a pair of playing squares, else the raw numbers.
std::string RecordMoveName(int from, int to) {
  if (IsPlayingSquare(from) && IsPlayingSquare(to)) return SquareName(from) + SquareName(to);
  return Fill(Tr("from %1 to %2"), {std::to_string(from), std::to_string(to)});
}

bool Refuse(const std::string& reason) {
  return SetStorageError(Fill(Tr("not a Korvin game: %1"), {reason}));
}

bool RefuseAndRestore(const std::string& reason) {
  RestoreEngine();
  settings = savedSettings;
  return Refuse(reason);
}

// A promotion byte is right when it is 0 for a move that promotes nothing,
// and a knight, bishop, rook or queen of the mover's colour for one that
// does.
bool PromotionByteFits(int promotion, bool promoted, bool whiteMoved) {
  if (!promoted) return promotion == 0;
  return whiteMoved ? promotion >= kWhiteKnight && promotion <= kWhiteQueen
                    : promotion >= kBlackKnight && promotion <= kBlackQueen;
}

}  // namespace

bool LoadGameBytes(const unsigned char* data, size_t size) {
  ClearStorageError();
  const size_t count = size / kGameRecordBytes;
  if (size == 0) return Refuse(Tr("the file is empty"));
  // Every game file the program writes is a whole number of moves long: a
  // file cut short (or with bytes added) is damaged, and loading the moves
  // before the cut would lose the rest at the next save.
  if (size % kGameRecordBytes != 0)
    return Refuse(count == 0 ? std::string(Tr("the file is too short to hold a single move"))
                             : Fill(TrN("the file is cut short or damaged: its length (%1 byte) is "
                                        "no whole number of moves",
                                        "the file is cut short or damaged: its length (%1 bytes) is "
                                        "no whole number of moves",
                                        static_cast<unsigned long>(std::min<size_t>(size, ULONG_MAX))),
                                    {std::to_string(size)}));
  if (count > static_cast<size_t>(kMaxGameMoves))
    return Refuse(Fill(Tr("it holds more than %1 half-moves, more than a game can have"),
                       {std::to_string(kMaxGameMoves)}));
  for (size_t i = 0; i < count; i++) {
    const int orientation = data[i * kGameRecordBytes + 6];
    if (orientation > 1)
      return Refuse(Fill(Tr("move %1 is damaged: it does not say which side you played"),
                         {std::to_string(i + 1)}));
  }

  KeepEngine();
  savedSettings = settings;

  ResetGame();
  E.epSquare[0] = 0;  // the initial position offers no en passant capture
  const int moves = static_cast<int>(count);
  for (int n = 1; n <= moves; n++) {
    const unsigned char* record = data + (n - 1) * kGameRecordBytes;
    const int from = record[0], to = record[1], promotion = record[5];
    if (!IsLegalMove(from, to))
      return RefuseAndRestore(Fill(Tr("move %1 (%2) is not a legal move"),
                                   {std::to_string(n), RecordMoveName(from, to)}));
    const bool whiteMoves = E.sideToMove == 0;
    E.ply = 0;
    E.gameMoveNumber = n;
    MakeMove(from, to);
    if (!PromotionByteFits(promotion, E.promotedPiece[0] != 0, whiteMoves))
      return RefuseAndRestore(
          Fill(E.promotedPiece[0] == 0 ? Tr("move %1 (%2) names a promotion, but no pawn promotes")
                                       : Tr("move %1 (%2) promotes a pawn to no piece it can become"),
               {std::to_string(n), RecordMoveName(from, to)}));
    if (promotion > 0) E.board[to] = promotion;
    // The undo data kept for stepping back is what the replay computed, not
    // what the file claims: stepping back trusts it blindly.
    E.gameFrom[n] = from;
    E.gameTo[n] = to;
    E.gameCaptured[n] = E.capturedPiece[0];
    E.gameCastleRights[n] = E.savedCastleRights[0];
    E.gameEpSquare[n] = E.epSquare[0];
    E.gamePromotion[n] = promotion;
    PositionReset();
  }
  E.gameFrom[moves + 1] = -1;
  settings.humanPlaysBlack = data[(count - 1) * kGameRecordBytes + 6];
  E.ply = 1;
  return true;
}

bool LoadGame(const char* path) {
  ClearStorageError();
  std::vector<unsigned char> bytes;
  FileError error;
  // The most a game record can hold: a longer file is refused unread.
  static_assert(kMaxGameFileBytes == static_cast<size_t>(kMaxGameMoves) * kGameRecordBytes);
  if (!ReadFileBytes(path, kMaxGameFileBytes, bytes, error)) return SetStorageError(error);
  return LoadGameBytes(bytes.data(), bytes.size());
}

void GameToBytes(std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (E.gameFrom[1] == -1) return;
  const int orientation = settings.humanPlaysBlack == 1 ? 1 : 0;
  for (int n = 1; n <= kMaxGameMoves; n++) {
    const int fields[kGameRecordBytes] = {E.gameFrom[n],       E.gameTo[n],
                                          E.gameCaptured[n],   E.gameCastleRights[n],
                                          E.gameEpSquare[n],   E.gamePromotion[n],
                                          orientation};
    for (int f : fields) bytes.push_back(static_cast<unsigned char>(f & 0xFF));
    if (E.gameFrom[n + 1] == -1) break;
  }
}

bool SaveGame(const char* path) {
  ClearStorageError();
  FileError error;
  if (E.gameFrom[1] == -1) {
    if (!RemoveFileIfPresent(path, error)) return SetStorageError(error);
    return true;
  }
  std::vector<unsigned char> bytes;
  GameToBytes(bytes);
  if (!WriteFileAtomically(path, bytes.data(), bytes.size(), error)) return SetStorageError(error);
  return true;
}
