#include <cstring>
#include <ctime>
#include <string>

#include "atomic_file.h"
#include "engine_state.h"
#include "game.h"
#include "moves.h"
#include "pgn_file.h"
#include "position.h"
#include "san.h"
#include "storage_error.h"
#include "think.h"

namespace {

// The record is copied before the replay rewrites it, and the engine put
// back afterwards.
int recordFrom[kGameSlots], recordTo[kGameSlots], recordPromotion[kGameSlots];
EngineState savedEngine;

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
// before it is played. False at the first move that is not legal.
bool ReplayAsMovetext(int moves, std::string& movetext, std::string& result) {
  size_t lineLength = 0;
  bool drawn = false;
  for (int n = 1; n <= moves; n++) {
    const int from = recordFrom[n], to = recordTo[n];
    E.ply = 1;
    E.moveCount = 0;
    if (!IsLegalMove(from, to))
      return SetStorageError("half-move " + std::to_string(n) + " of the game is not legal");
    std::string word = SanName(from, to, recordPromotion[n]);
    if (n % 2 == 1) word = std::to_string((n + 1) / 2) + ". " + word;
    AddWord(movetext, lineLength, word);
    PlayGameMove(from, to);
    if (recordPromotion[n] != 0 && E.promotedPiece[0] != 0) SetPromotion(recordPromotion[n]);
    PositionReset();
    if (!drawn && DrawByRule()) drawn = true;
  }
  result = drawn ? "1/2-1/2" : EndResult();
  AddWord(movetext, lineLength, result);
  return true;
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
  std::memcpy(static_cast<void*>(&savedEngine), &E, sizeof(EngineState));
  ResetGame();
  E.gameFrom[1] = -1;
  std::string movetext, result;
  const bool replayed = ReplayAsMovetext(moves, movetext, result);
  std::memcpy(static_cast<void*>(&E), &savedEngine, sizeof(EngineState));
  if (!replayed) return false;

  const std::string human = "Human", program = ProgramName(level);
  const bool humanBlack = settings.humanPlaysBlack == 1;
  text = "[Event \"Korvin 4 game\"]\n[Site \"?\"]\n[Date " +
         Quoted(date.empty() ? "????.??.??" : date) + "]\n[Round \"-\"]\n[White " +
         Quoted(humanBlack ? program : human) + "]\n[Black " + Quoted(humanBlack ? human : program) +
         "]\n[Result " + Quoted(result) + "]\n\n" + movetext + "\n\n";
  return true;
}

std::string PgnDateToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[16] = "????.??.??";
  if (localtime_r(&now, &local) != nullptr) std::strftime(text, sizeof(text), "%Y.%m.%d", &local);
  return text;
}

bool SavePgn(const char* path, int level, const std::string& date) {
  ClearStorageError();
  if (E.gameFrom[1] == -1) return SetStorageError("the game has no moves to save");
  std::string text;
  if (!GameToPgn(text, level, date)) return false;
  std::string error;
  if (!WriteFileAtomically(path, reinterpret_cast<const unsigned char*>(text.data()), text.size(), error))
    return SetStorageError(error);
  return true;
}
