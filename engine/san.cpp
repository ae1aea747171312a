#include "san.h"

#include "engine_state.h"
#include "moves.h"
#include "notation.h"

namespace {

constexpr const char* kSanLetters = " PNBRQK";

// The kind of piece (pawn 1 .. king 6) whatever its colour.
int PieceKind(int code) { return code > kOffBoard ? code - 8 : code; }

int FileOf(int square) { return square % 10 - 2; }
int RankOf(int square) { return square / 10 - 2; }

// The piece kind of an upper-case SAN letter, 0 for any other character.
int KindFromLetter(char c) {
  for (int kind = 1; kind <= 6; kind++)
    if (kSanLetters[kind] == c) return kind;
  return 0;
}

bool Promotes(int from, int to) {
  const int p = E.board[from];
  return (p == kWhitePawn && to > 91) || (p == kBlackPawn && to < 30);
}

// "+", "#" or "" for the position after (from, to) with the promoted piece
// in place; the move is taken back before returning.
std::string CheckSuffix(int from, int to, int promotion) {
  const int ply = E.ply, count = E.moveCount, savedEnd = E.moveListEnd[ply];
  E.moveListEnd[ply] = count;  // UnmakeMove sets moveCount back to this
  MakeMove(from, to);
  const int queen = E.board[to];
  if (promotion != 0 && E.promotedPiece[E.ply - 1] != 0) E.board[to] = promotion;
  std::string suffix;
  if (InCheck(E.sideToMove)) {
    int replyFrom[256], replyTo[256];
    suffix = ListLegalMoves(replyFrom, replyTo) == 0 ? "#" : "+";
  }
  E.board[to] = queen;
  UnmakeMove(from, to);
  E.moveListEnd[ply] = savedEnd;
  return suffix;
}

// Cuts check marks, move assessments ("!", "?!") and "e.p." off the end.
std::string StripDecorations(std::string s) {
  for (;;) {
    if (!s.empty() && (s.back() == '+' || s.back() == '#' || s.back() == '!' || s.back() == '?')) {
      s.pop_back();
    } else if (s.size() > 4 && s.compare(s.size() - 4, 4, "e.p.") == 0) {
      s.resize(s.size() - 4);
    } else {
      return s;
    }
  }
}

}  // namespace

int ListLegalMoves(int from[256], int to[256]) {
  const int ply = E.ply, base = E.moveCount, savedEnd = E.moveListEnd[ply];
  const int savedCaptured = E.kingCaptured;
  E.kingCaptured = 0;
  GenerateMoves();
  const int last = E.moveCount;
  E.moveListEnd[ply] = last;  // UnmakeMove sets moveCount back to this
  int n = 0;
  for (int i = base + 1; i <= last && n < 256; i++) {
    MakeMove(E.moveFrom[i], E.moveTo[i]);
    const bool legal = InCheck(1 - E.sideToMove) == 0;
    UnmakeMove(E.moveFrom[i], E.moveTo[i]);
    if (!legal) continue;
    from[n] = E.moveFrom[i];
    to[n] = E.moveTo[i];
    n++;
  }
  E.moveCount = base;
  E.moveListEnd[ply] = savedEnd;
  E.kingCaptured = savedCaptured;
  return n;
}

// Castling is a king move of two files; a pawn names its file only when it
// captures; another piece names the file, else the rank, else both of its
// origin when a piece of the same kind and colour can reach the same square.
std::string SanName(int from, int to, int promotion) {
  const int piece = E.board[from];
  const int kind = PieceKind(piece);
  std::string name;
  if (kind == kWhiteKing && to - from == 2) {
    name = "O-O";
  } else if (kind == kWhiteKing && from - to == 2) {
    name = "O-O-O";
  } else {
    const bool capture = E.board[to] != kEmpty || (kind == kWhitePawn && FileOf(from) != FileOf(to));
    if (kind == kWhitePawn) {
      if (capture) name += static_cast<char>('a' + FileOf(from));
    } else {
      name += kSanLetters[kind];
      int legalFrom[256], legalTo[256];
      const int n = ListLegalMoves(legalFrom, legalTo);
      bool rival = false, sameFile = false, sameRank = false;
      for (int i = 0; i < n; i++) {
        if (legalTo[i] != to || legalFrom[i] == from || E.board[legalFrom[i]] != piece) continue;
        rival = true;
        if (FileOf(legalFrom[i]) == FileOf(from)) sameFile = true;
        if (RankOf(legalFrom[i]) == RankOf(from)) sameRank = true;
      }
      if (rival && (!sameFile || sameRank)) name += static_cast<char>('a' + FileOf(from));
      if (rival && sameFile) name += static_cast<char>('1' + RankOf(from));
    }
    if (capture) name += 'x';
    name += SquareName(to);
    if (Promotes(from, to)) {
      name += '=';
      name += kSanLetters[promotion == 0 ? kWhiteQueen : PieceKind(promotion)];
    }
  }
  return name + CheckSuffix(from, to, promotion);
}

bool ParseSan(const std::string& text, int& from, int& to, int& promotion, std::string& error) {
  from = to = promotion = 0;
  const std::string s = StripDecorations(text);
  const bool white = E.sideToMove == 0;
  int kind = kWhitePawn, fromFile = -1, fromRank = -1, toSquare = 0, promotionKind = 0;

  if (s == "O-O" || s == "0-0" || s == "O-O-O" || s == "0-0-0") {
    kind = kWhiteKing;
    fromFile = 4;
    fromRank = white ? 0 : 7;
    toSquare = (white ? 22 : 92) + (s.size() == 3 ? 6 : 2);
  } else {
    size_t i = 0, end = s.size();
    if (end > 0 && KindFromLetter(s[0]) != 0) kind = KindFromLetter(s[i++]);
    // Promotion piece at the end: "=Q", "=q" or a bare upper-case "Q".
    if (end >= 2 && s[end - 2] == '=') {
      const char c = s[end - 1];
      promotionKind = KindFromLetter(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
      end -= 2;
    } else if (end >= 3 && KindFromLetter(s[end - 1]) != 0 && s[end - 2] >= '1' && s[end - 2] <= '8') {
      promotionKind = KindFromLetter(s[end - 1]);
      end -= 1;
    }
    if (end < i + 2) {
      error = "not a move";
      return false;
    }
    toSquare = ParseSquare(s.substr(end - 2, 2));
    end -= 2;
    if (end > i && (s[end - 1] == 'x' || s[end - 1] == ':' || s[end - 1] == '-')) end--;
    if (end > i && s[i] >= 'a' && s[i] <= 'h') fromFile = s[i++] - 'a';
    if (end > i && s[i] >= '1' && s[i] <= '8') fromRank = s[i++] - '1';
    if (toSquare == 0 || i != end || promotionKind == kWhitePawn || promotionKind == kWhiteKing) {
      error = "not a move";
      return false;
    }
    // A pawn that names no file moves straight ahead.
    if (kind == kWhitePawn && fromFile < 0) fromFile = FileOf(toSquare);
  }

  const int piece = white ? kind : kind + 8;
  int legalFrom[256], legalTo[256];
  const int n = ListLegalMoves(legalFrom, legalTo);
  int found = 0;
  for (int k = 0; k < n; k++) {
    const int f = legalFrom[k];
    if (legalTo[k] != toSquare || E.board[f] != piece) continue;
    if ((fromFile >= 0 && FileOf(f) != fromFile) || (fromRank >= 0 && RankOf(f) != fromRank)) continue;
    if (found++ == 0) from = f;
  }
  if (found == 0) {
    error = "not a legal move";
    return false;
  }
  if (found > 1) {
    error = "ambiguous";
    from = 0;
    return false;
  }
  to = toSquare;
  if (Promotes(from, to) != (promotionKind != 0)) {
    error = promotionKind == 0 ? "needs a promotion piece" : "not a legal move";
    from = to = 0;
    return false;
  }
  if (promotionKind != 0) promotion = white ? promotionKind : promotionKind + 8;
  return true;
}
