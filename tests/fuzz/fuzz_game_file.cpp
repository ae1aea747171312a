// Arbitrary bytes as a game file: a refused file changes nothing at all; an
// accepted one gives a consistent position that saves back to an equivalent
// file and can be stepped through to the start and back to the end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_common.h"
#include "game.h"
#include "config_file.h"
#include "game_file.h"

namespace {

EngineState before;
Settings settingsBefore;
int boardAtEnd[121];

void CheckAcceptedGame() {
  Require(PositionSelfCheck()[0] == '\0', "loaded position is inconsistent");
  Require(E.ply == 1, "ply after load");
  Require(E.keyHistory[E.gameMoveNumber] == E.positionKey, "key history after load");
  Require(E.gameFrom[E.gameMoveNumber + 1] == -1, "end marker");
  Require(settings.humanPlaysBlack == 0 || settings.humanPlaysBlack == 1, "orientation");

  // Saving and loading again changes nothing.
  std::vector<unsigned char> first, second;
  GameToBytes(first);
  Require(first.size() == static_cast<size_t>(E.gameMoveNumber) * kGameRecordBytes, "saved size");
  const int key = E.positionKey;
  Require(LoadGameBytes(first.data(), first.size()), "saved game refused");
  GameToBytes(second);
  Require(first == second, "save, load, save differs");
  Require(E.positionKey == key, "key after reload");

  // Step back to the start over the stored undo data, then forward again.
  std::memcpy(boardAtEnd, E.board, sizeof(boardAtEnd));
  const int moves = E.gameMoveNumber;
  while (StepBackGameMove()) Require(PositionSelfCheck()[0] == '\0', "stepping back");
  Require(std::memcmp(E.board, initialBoard, sizeof(E.board)) == 0, "start position after stepping back");
  Require(E.castleRights == 15 && E.sideToMove == 0, "start rights after stepping back");
  while (StepForwardGameMove()) Require(PositionSelfCheck()[0] == '\0', "stepping forward");
  Require(E.gameMoveNumber == moves, "end after stepping forward");
  Require(std::memcmp(E.board, boardAtEnd, sizeof(E.board)) == 0, "end position after stepping forward");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = InitEngineForFuzzing();
  (void)ready;
  std::memcpy(static_cast<void*>(&before), &E, sizeof(EngineState));
  settingsBefore = settings;
  if (LoadGameBytes(data, size)) {
    CheckAcceptedGame();
  } else {
    Require(std::memcmp(&before, &E, sizeof(EngineState)) == 0, "refused file changed the engine");
    Require(std::memcmp(&settingsBefore, &settings, sizeof(Settings)) == 0, "refused file changed the settings");
  }
  return 0;
}
