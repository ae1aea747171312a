#include <cstring>
#include <ctime>
#include <string>

#include "atomic_write.h"
#include "config_file.h"
#include "engine_state.h"
#include "game.h"
#include "local_time.h"
#include "moves.h"
#include "pgn_file.h"
#include "pgn_tags.h"
#include "position.h"
#include "snapshot.h"
#include "san.h"
#include "storage_error.h"
#include "texts.h"
#include "think.h"

namespace {

// The record is copied before the replay rewrites it, and the engine put
// back afterwards.
int recordFrom[kGameSlots], recordTo[kGameSlots], recordPromotion[kGameSlots];

constexpr const char* kLevelNames[5] = {"", "Novice", "Intermediate", "Advanced", "Expert"};
constexpr size_t kLineWidth = 79;

std::string Quoted(const std::string& value) {
  std::string out = "\"";
  for (const char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string TagLine(const std::string& name, const std::string& value) {
  return "[" + name + " " + Quoted(value) + "]\n";
}

std::string ProgramName(int level) {
  std::string name = "Korvin 4";
  if (level >= 1 && level <= 4) name += std::string(" (") + kLevelNames[level] + ")";
  return name;
}

// Adds a word to the movetext, starting a new line before it would pass
// the line width.
void AddWord(std::string& text, size_t& lineLength, const std::string& word) {
  if (lineLength > 0 && lineLength + 1 + word.size() > kLineWidth) {
    text += '\n';
    lineLength = 0;
  }
  if (lineLength > 0) {
    text += ' ';
    lineLength++;
  }
  text += word;
  lineLength += word.size();
}

// The result after the replay has reached the end: "1-0"/"0-1" for the
// side that mated, "1/2-1/2" for stalemate, "*" while the game goes on.
std::string EndResult() {
  int from[256], to[256];
  E.ply = 1;
  E.moveCount = 0;
  if (ListLegalMoves(from, to) > 0) return "*";
  if (!InCheck(E.sideToMove)) return "1/2-1/2";
  return E.sideToMove == 1 ? "1-0" : "0-1";
}

// Replays the copied record from the initial position, naming each move
// before it is played, and gives the result the game reached. False at the
// first move that is not legal.
bool ReplayAsMovetext(int moves, std::string& movetext, size_t& lineLength, std::string& result) {
  lineLength = 0;
  bool drawn = false;
  for (int n = 1; n <= moves; n++) {
    const int from = recordFrom[n], to = recordTo[n];
    E.ply = 1;
    E.moveCount = 0;
    if (!IsLegalMove(from, to))
      return SetStorageError(Fill(Tr("half-move %1 of the game is not legal"), {std::to_string(n)}));
    std::string word = SanName(from, to, recordPromotion[n]);
    if (n % 2 == 1) word = std::to_string((n + 1) / 2) + ". " + word;
    AddWord(movetext, lineLength, word);
    PlayGameMove(from, to);
    if (recordPromotion[n] != 0 && E.promotedPiece[0] != 0) SetPromotion(recordPromotion[n]);
    PositionReset();
    if (!drawn && DrawByRule()) drawn = true;
  }
  result = drawn ? "1/2-1/2" : EndResult();
  return true;
}

// True when the copied record begins with the half-moves of the PGN game
// loaded last: it is still that game, maybe with moves added.
bool RecordBeginsWithLoadedGame(int moves) {
  const size_t loaded = loadedPgn.from.size();
  if (loaded == 0 || static_cast<size_t>(moves) < loaded) return false;
  for (size_t i = 0; i < loaded; i++) {
    const size_t n = i + 1;
    if (recordFrom[n] != loadedPgn.from[i] || recordTo[n] != loadedPgn.to[i] ||
        recordPromotion[n] != loadedPgn.promotion[i])
      return false;
  }
  return true;
}

// The program's own tags, for a game it played.
std::string OwnTags(int level, const std::string& date, const std::string& result) {
  const std::string human = "Human", program = ProgramName(level);
  const bool humanBlack = settings.humanPlaysBlack == 1;
  return TagLine("Event", "Korvin 4 game") + TagLine("Site", "?") +
         TagLine("Date", date.empty() ? "????.??.??" : date) + TagLine("Round", "-") +
         TagLine("White", humanBlack ? program : human) +
         TagLine("Black", humanBlack ? human : program) + TagLine("Result", result);
}

// The loaded game's tags: the seven every game has first, in their order
// (with the values that stand for "unknown" where the game had none), then
// the others as they came. A half-move count no longer holds once moves
// were added.
std::string LoadedTags(int moves, const std::string& result) {
  static const char* const kRoster[][2] = {{"Event", "?"}, {"Site", "?"},  {"Date", "????.??.??"},
                                           {"Round", "?"}, {"White", "?"}, {"Black", "?"}};
  std::string text;
  for (const auto& [name, unknown] : kRoster) {
    std::string value = unknown;
    for (const auto& tag : loadedPgn.tags) {
      if (tag.first == name) {
        value = tag.second;
        break;
      }
    }
    text += TagLine(name, value);
  }
  text += TagLine("Result", result);
  const bool added = static_cast<size_t>(moves) > loadedPgn.from.size();
  for (const auto& [name, value] : loadedPgn.tags) {
    bool roster = name == "Result";
    for (const auto& entry : kRoster) roster = roster || name == entry[0];
    if (roster) continue;
    text += TagLine(name, name == "PlyCount" && added ? std::to_string(moves) : value);
  }
  return text;
}

}  // namespace

bool GameToPgn(std::string& text, int level, const std::string& date) {
  ClearStorageError();
  int moves = 0;
  while (moves < kMaxGameMoves && E.gameFrom[moves + 1] != -1) {
    moves++;
    recordFrom[moves] = E.gameFrom[moves];
    recordTo[moves] = E.gameTo[moves];
    recordPromotion[moves] = E.gamePromotion[moves];
  }
  KeepEngine();
  ResetGame();
  E.gameFrom[1] = -1;
  std::string movetext, result;
  size_t lineLength = 0;
  const bool replayed = ReplayAsMovetext(moves, movetext, lineLength, result);
  RestoreEngine();
  if (!replayed) return false;

  std::string tags;
  if (RecordBeginsWithLoadedGame(moves)) {
    // A loaded game keeps the result it was given until moves are added.
    if (static_cast<size_t>(moves) == loadedPgn.from.size() && !loadedPgn.result.empty())
      result = loadedPgn.result;
    tags = LoadedTags(moves, result);
  } else {
    tags = OwnTags(level, date, result);
  }
  AddWord(movetext, lineLength, result);
  text = tags + "\n" + movetext + "\n\n";
  return true;
}

std::string PgnDateToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[16] = "????.??.??";
  if (LocalTime(now, local)) std::strftime(text, sizeof(text), "%Y.%m.%d", &local);
  return text;
}

bool SavePgn(const char* path, int level, const std::string& date) {
  ClearStorageError();
  if (E.gameFrom[1] == -1) return SetStorageError(Tr("the game has no moves to save"));
  std::string text;
  if (!GameToPgn(text, level, date)) return false;
  FileError error;
  if (!WriteFileAtomically(path, reinterpret_cast<const unsigned char*>(text.data()), text.size(), error))
    return SetStorageError(error);
  return true;
}
