#include "notation.h"

#include <cstring>
#include <sstream>
#include <vector>

#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "position.h"

namespace {

constexpr const char* kPieceLetters = " PNBRQK  pnbrqk";

int PieceFromLetter(char c) {
  for (int code = 1; code <= 14; code++)
    if (code != kEmpty && code != kOffBoard && kPieceLetters[code] == c) return code;
  return 0;
}

}  // namespace

std::string SquareName(int square) {
  if (!IsPlayingSquare(square)) return "";
  std::string name;
  name += static_cast<char>('a' + square % 10 - 2);
  name += static_cast<char>('1' + square / 10 - 2);
  return name;
}

int ParseSquare(const std::string& name) {
  if (name.size() != 2) return 0;
  const char f = name[0], r = name[1];
  if (f < 'a' || f > 'h' || r < '1' || r > '8') return 0;
  return 22 + 10 * (r - '1') + (f - 'a');
}

std::string MoveName(int from, int to) {
  if (!IsPlayingSquare(from) || !IsPlayingSquare(to)) return "0000";
  std::string text = SquareName(from) + SquareName(to);
  const int p = E.board[from];
  if ((p == kWhitePawn && to > 91) || (p == kBlackPawn && to < 30)) text += 'q';
  return text;
}

bool ParseMoveText(const std::string& text, int& from, int& to, char& promotion) {
  if (text.size() != 4 && text.size() != 5) return false;
  from = ParseSquare(text.substr(0, 2));
  to = ParseSquare(text.substr(2, 2));
  promotion = text.size() == 5 ? text[4] : '\0';
  if (from == 0 || to == 0) return false;
  if (promotion != '\0' && !std::strchr("qrbn", promotion)) return false;
  return true;
}

bool SetupFen(const std::string& fen, std::string& error) {
  std::istringstream in(fen);
  std::string placement, side, castling = "-", ep = "-";
  in >> placement >> side;
  if (in.fail()) {
    error = "a FEN needs at least the placement and the side to move";
    return false;
  }
  in >> castling >> ep;

  int board[121];
  std::memcpy(board, initialBoard, sizeof(board));
  for (int s = 22; s <= 99; s++)
    if (IsPlayingSquare(s)) board[s] = kEmpty;

  int rank = 8, file = 0, whiteKings = 0, blackKings = 0, whiteCount = 0, blackCount = 0;
  for (const char c : placement) {
    if (c == '/') {
      if (file != 8) {
        error = "rank " + std::to_string(rank) + " does not have 8 squares";
        return false;
      }
      if (--rank < 1) {
        error = "the placement has more than 8 ranks";
        return false;
      }
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
      if (file > 8) {
        error = "rank " + std::to_string(rank) + " has more than 8 squares";
        return false;
      }
    } else {
      const int code = PieceFromLetter(c);
      if (code == 0) {
        error = std::string("unknown piece letter '") + c + "'";
        return false;
      }
      if (file >= 8) {
        error = "rank " + std::to_string(rank) + " has more than 8 squares";
        return false;
      }
      if ((code == kWhitePawn || code == kBlackPawn) && (rank == 1 || rank == 8)) {
        error = "a pawn stands on the first or last rank";
        return false;
      }
      board[22 + 10 * (rank - 1) + file] = code;
      file++;
      if (code == kWhiteKing) whiteKings++;
      if (code == kBlackKing) blackKings++;
      (code < kEmpty ? whiteCount : blackCount)++;
    }
  }
  if (rank != 1 || file != 8) {
    error = "the placement does not describe 8 ranks of 8 squares";
    return false;
  }
  if (whiteKings != 1 || blackKings != 1) {
    error = "each side needs exactly one king";
    return false;
  }
  if (whiteCount > 16 || blackCount > 16) {
    error = "a side has more than 16 pieces";
    return false;
  }
  if (side != "w" && side != "b") {
    error = "the side to move must be 'w' or 'b'";
    return false;
  }
  const int sideToMove = side == "b" ? 1 : 0;

  int rights = 0;
  if (castling != "-") {
    for (const char c : castling) {
      int bit = 0, king = 0, kingSquare = 0, rook = 0, rookSquare = 0;
      switch (c) {
        case 'K': bit = kWhiteShort; king = kWhiteKing; kingSquare = 26; rook = kWhiteRook; rookSquare = 29; break;
        case 'Q': bit = kWhiteLong; king = kWhiteKing; kingSquare = 26; rook = kWhiteRook; rookSquare = 22; break;
        case 'k': bit = kBlackShort; king = kBlackKing; kingSquare = 96; rook = kBlackRook; rookSquare = 99; break;
        case 'q': bit = kBlackLong; king = kBlackKing; kingSquare = 96; rook = kBlackRook; rookSquare = 92; break;
        default:
          error = std::string("unknown castling letter '") + c + "'";
          return false;
      }
      if (board[kingSquare] != king || board[rookSquare] != rook) {
        error = std::string("castling right '") + c + "' needs its king and rook on their home squares";
        return false;
      }
      rights |= bit;
    }
  }

  int epPawn = 0;
  if (ep != "-") {
    const int target = ParseSquare(ep);
    // White to move: Black double-stepped, target on rank 6, pawn on rank 5.
    const int pawnSquare = sideToMove == 0 ? target - 10 : target + 10;
    const int pawn = sideToMove == 0 ? kBlackPawn : kWhitePawn;
    const int targetRow = sideToMove == 0 ? 7 : 4;  // row of rank 6 / rank 3
    if (target == 0 || target / 10 != targetRow || board[target] != kEmpty ||
        board[pawnSquare] != pawn) {
      error = "en passant target '" + ep + "' does not follow a pawn double step";
      return false;
    }
    epPawn = pawnSquare;
  }

  // The side that has just moved cannot have left its king attacked. The
  // test borrows the board and king squares and puts them back.
  int savedBoard[121];
  std::memcpy(savedBoard, E.board, sizeof(savedBoard));
  const int savedWhiteKing = E.whiteKingSquare, savedBlackKing = E.blackKingSquare;
  std::memcpy(E.board, board, sizeof(board));
  for (int s = 22; s <= 99; s++) {
    if (board[s] == kWhiteKing) E.whiteKingSquare = s;
    if (board[s] == kBlackKing) E.blackKingSquare = s;
  }
  const bool enemyInCheck = InCheck(1 - sideToMove) != 0;
  std::memcpy(E.board, savedBoard, sizeof(savedBoard));
  E.whiteKingSquare = savedWhiteKing;
  E.blackKingSquare = savedBlackKing;
  if (enemyInCheck) {
    error = "the side not to move is in check";
    return false;
  }

  // Everything checked: install the position.
  std::memcpy(E.board, board, sizeof(board));
  E.sideToMove = sideToMove;
  E.castleRights = rights;
  E.incrementalScore = PositionReset();
  E.gameMoveNumber = 0;
  E.gameEndMove = 0;
  E.gameFrom[1] = -1;
  E.ply = 1;
  E.moveCount = 0;
  E.capturedPiece[0] = kEmpty;
  E.plyFrom[0] = E.plyTo[0] = 0;
  E.epSquare[0] = epPawn;
  E.promotedPiece[0] = 0;
  E.savedCastleRights[0] = rights;
  E.whiteCastled = E.blackCastled = 0;
  E.mateThreshold = kMateBound;
  E.positionKey = KeyFromScratch();
  E.keyHistory[0] = E.positionKey;
  return true;
}

bool PlayMoveText(const std::string& text, std::string& error) {
  int from = 0, to = 0;
  char promotion = '\0';
  if (!ParseMoveText(text, from, to, promotion)) {
    error = "'" + text + "' is not a move in coordinate notation";
    return false;
  }
  const int p = E.board[from];
  const bool promotes = (p == kWhitePawn && to > 91) || (p == kBlackPawn && to < 30);
  if (promotion != '\0' && !promotes) {
    error = "'" + text + "' names a promotion piece for a move that does not promote";
    return false;
  }
  if (!IsLegalMove(from, to)) {
    error = "'" + text + "' is not a legal move in this position";
    return false;
  }
  if (!PlayGameMove(from, to)) {
    error = "the game record is full";
    return false;
  }
  if (promotes && promotion != '\0' && promotion != 'q') {
    const int code = promotion == 'r' ? kWhiteRook : promotion == 'b' ? kWhiteBishop : kWhiteKnight;
    SetPromotion(p == kBlackPawn ? code + 8 : code);
  }
  PositionReset();
  return true;
}

std::string CurrentFen() {
  std::string fen;
  for (int rank = 8; rank >= 1; rank--) {
    int empty = 0;
    for (int file = 0; file < 8; file++) {
      const int c = E.board[22 + 10 * (rank - 1) + file];
      if (c == kEmpty) {
        empty++;
        continue;
      }
      if (empty) fen += static_cast<char>('0' + empty);
      empty = 0;
      fen += kPieceLetters[c];
    }
    if (empty) fen += static_cast<char>('0' + empty);
    if (rank > 1) fen += '/';
  }
  fen += E.sideToMove == 0 ? " w " : " b ";
  std::string castling;
  if (E.castleRights & kWhiteShort) castling += 'K';
  if (E.castleRights & kWhiteLong) castling += 'Q';
  if (E.castleRights & kBlackShort) castling += 'k';
  if (E.castleRights & kBlackLong) castling += 'q';
  fen += castling.empty() ? "-" : castling;
  const int ep = E.ply >= 1 ? E.epSquare[E.ply - 1] : 0;
  fen += ' ';
  fen += ep ? SquareName(E.sideToMove == 0 ? ep + 10 : ep - 10) : "-";
  return fen;
}

std::string PrincipalVariationText() {
  std::string text;
  const int savedPly = E.ply, savedCount = E.moveCount;
  int played = 0;
  for (int j = 1; j <= E.pvLength[1] && j < kSearchPlyLimit; j++) {
    const int from = E.pvFrom[1][j], to = E.pvTo[1][j];
    if (!IsPlayingSquare(from) || !IsPlayingSquare(to)) break;
    E.ply = savedPly + played;
    if (!IsLegalHere(from, to)) break;
    const std::string name = MoveName(from, to);
    MakeMove(from, to);
    if (!text.empty()) text += ' ';
    text += name;
    played++;
  }
  for (int j = played; j >= 1; j--) UnmakeMove(E.pvFrom[1][j], E.pvTo[1][j]);
  E.ply = savedPly;
  E.moveCount = savedCount;
  return text;
}
