#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "read_file.h"
#include "config_file.h"
#include "engine_state.h"
#include "game.h"
#include "pgn_file.h"
#include "pgn_reader.h"
#include "pgn_tags.h"
#include "position.h"
#include "snapshot.h"
#include "san.h"
#include "storage_error.h"
#include "texts.h"

LoadedPgnGame loadedPgn;

namespace {

// Larger files are refused rather than read (a big database is split first).
constexpr size_t kPgnFileLimit = 64u << 20;
static_assert(kPgnFileLimit % (1u << 20) == 0, "the limit is named in whole megabytes");

constexpr const char* kStartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// What a refused import puts back besides the engine record.
Settings savedSettings;

// "12." before a White half-move, "12..." before a Black one.
std::string MoveNumberText(int halfMove) {
  return std::to_string((halfMove + 1) / 2) + (halfMove % 2 == 1 ? "." : "...");
}

// The move as written, with bytes that would garble a message replaced.
std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : text) out += c >= 0x21 && c <= 0x7E ? c : '?';
  return out.size() > 24 ? out.substr(0, 24) + "..." : out;
}

// Only games from the initial position fit a game record, which always
// starts there; a FEN tag naming that position is harmless.
bool FromSetUpPosition(const PgnGame& game) {
  const std::string fen = PgnTag(game, "FEN");
  if (fen.empty()) return PgnTag(game, "SetUp") == "1";
  std::istringstream in(fen);
  std::string placement, side, castling, ep;
  in >> placement >> side >> castling >> ep;
  return placement + " " + side + " " + castling + " " + ep != kStartFen;
}

// What game `number` leaves open, and where: "game 1: a comment opened
// after move 1. e4 is never closed".
std::string UnclosedText(const PgnGame& game, int number) {
  const std::string gameNumber = std::to_string(number);
  if (game.unclosed == PgnUnclosed::Tag)
    return game.unclosedTag.empty()
               ? Fill(Tr("game %1: a tag is never closed"), {gameNumber})
               : Fill(Tr("game %1: the %2 tag is never closed"), {gameNumber, Printable(game.unclosedTag)});
  const bool comment = game.unclosed == PgnUnclosed::Comment;
  const size_t n = game.unclosedAfter;
  if (n == 0)
    return Fill(comment ? Tr("game %1: a comment opened before the first move is never closed")
                        : Tr("game %1: a variation opened before the first move is never closed"),
                {gameNumber});
  return Fill(comment ? Tr("game %1: a comment opened after move %2 %3 is never closed")
                      : Tr("game %1: a variation opened after move %2 %3 is never closed"),
              {gameNumber, MoveNumberText(static_cast<int>(n)), Printable(game.moves[n - 1])});
}

// The reasons ParseSan gives, in the user's language.
const char* const kSanReasons[] = {TrLater("not a move"), TrLater("not a legal move"),
                                   TrLater("ambiguous"), TrLater("needs a promotion piece")};

std::string SanReason(const std::string& reason) {
  for (const char* known : kSanReasons)
    if (reason == known) return Tr(known);
  return reason;
}

// The result the game gave: its Result tag, else the one ending its moves.
std::string ResultAsLoaded(const PgnGame& game) {
  const std::string tag = PgnTag(game, "Result");
  if (tag == "1-0" || tag == "0-1" || tag == "1/2-1/2" || tag == "*") return tag;
  return game.result;
}

bool NamesProgram(const std::string& name) { return name.rfind("Korvin", 0) == 0; }

// `reason` names the game with %1: "game %1 has no moves".
bool Refuse(int number, const char* reason) {
  return SetStorageError(Fill(reason, {std::to_string(number)}));
}

bool RefuseMove(int number, int halfMove, const std::string& move, const std::string& reason) {
  RestoreEngine();
  settings = savedSettings;
  return SetStorageError(Fill(Tr("game %1, move %2 %3: %4"), {std::to_string(number),
                                MoveNumberText(halfMove), Printable(move), reason}));
}

}  // namespace

bool IsPgnPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".pgn";
}

bool ImportPgnBytes(const unsigned char* data, size_t size, int number, int& count) {
  ClearStorageError();
  PgnGame game;
  if (!ReadPgnGame(data, size, number, game, count)) {
    if (count == 0) return SetStorageError(Tr("no PGN game in the file"));
    return SetStorageError(Fill(TrN("there is no game %1: the file holds %2 game",
                                    "there is no game %1: the file holds %2 games",
                                    static_cast<unsigned long>(count)),
                                {std::to_string(number), std::to_string(count)}));
  }
  // Whatever followed the opening is missing from the game; a game that
  // would be refused for its length anyway is named for that instead.
  if (game.unclosed != PgnUnclosed::None && game.unclosedAfter <= game.moves.size() &&
      game.unclosedAfter <= static_cast<size_t>(kMaxGameMoves))
    return SetStorageError(UnclosedText(game, number));
  if (FromSetUpPosition(game))
    return Refuse(number, Tr("game %1 starts from a set-up position (SetUp/FEN tags); only games "
                             "from the initial position can be loaded"));
  if (game.moves.empty()) return Refuse(number, Tr("game %1 has no moves"));
  if (game.tooManyTags)
    return SetStorageError(Fill(Tr("game %1 has more than %2 tags"),
                                {std::to_string(number), std::to_string(kPgnTagsKept)}));

  KeepEngine();
  savedSettings = settings;
  ResetGame();
  E.gameFrom[1] = -1;
  const int moves = static_cast<int>(game.moves.size());
  for (int n = 1; n <= moves; n++) {
    const std::string& text = game.moves[n - 1];
    if (n > kMaxGameMoves)
      return RefuseMove(number, n, text,
                        Fill(Tr("more than %1 half-moves"), {std::to_string(kMaxGameMoves)}));
    int from = 0, to = 0, promotion = 0;
    std::string error;
    E.ply = 1;
    E.moveCount = 0;
    if (!ParseSan(text, from, to, promotion, error)) return RefuseMove(number, n, text, SanReason(error));
    PlayGameMove(from, to);
    if (promotion != 0 && promotion != kWhiteQueen && promotion != kBlackQueen) SetPromotion(promotion);
    PositionReset();
  }
  E.ply = 1;
  E.moveCount = 0;
  if (NamesProgram(PgnTag(game, "White")) && !NamesProgram(PgnTag(game, "Black")))
    settings.humanPlaysBlack = 1;
  else if (NamesProgram(PgnTag(game, "Black")) && !NamesProgram(PgnTag(game, "White")))
    settings.humanPlaysBlack = 0;
  loadedPgn.tags = game.tags;
  loadedPgn.result = ResultAsLoaded(game);
  loadedPgn.from.assign(E.gameFrom + 1, E.gameFrom + 1 + moves);
  loadedPgn.to.assign(E.gameTo + 1, E.gameTo + 1 + moves);
  loadedPgn.promotion.assign(E.gamePromotion + 1, E.gamePromotion + 1 + moves);
  return true;
}

void ForgetPgnTags() { loadedPgn = LoadedPgnGame{}; }

bool LoadPgn(const char* path, int number, int& count) {
  ClearStorageError();
  count = 0;
  std::vector<unsigned char> bytes;
  FileError error;
  if (!ReadFileBytes(path, kPgnFileLimit, bytes, error)) return SetStorageError(error);
  return ImportPgnBytes(bytes.data(), bytes.size(), number, count);
}
