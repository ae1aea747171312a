// Arbitrary bytes as a PGN file: a refused game changes nothing at all; an
// accepted one gives a consistent position whose PGN imports back to the
// same game record. The first byte chooses which game of the text is read.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config_file.h"
#include "fuzz_common.h"
#include "game_file.h"
#include "pgn_file.h"

namespace {

EngineState before;
Settings settingsBefore;

void CheckAcceptedGame() {
  Require(PositionSelfCheck()[0] == '\0', "imported position is inconsistent");
  Require(E.gameMoveNumber >= 1 && E.gameMoveNumber <= kMaxGameMoves, "half-move count");
  Require(E.gameFrom[E.gameMoveNumber + 1] == -1, "end marker");
  Require(E.keyHistory[E.gameMoveNumber] == E.positionKey, "key history after import");

  std::vector<unsigned char> first, second;
  GameToBytes(first);
  std::string text;
  Require(GameToPgn(text, 0, ""), "an imported game cannot be written");
  int count = 0;
  Require(ImportPgnBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 1, count),
          "the written PGN is refused");
  Require(count == 1, "the written PGN holds one game");
  GameToBytes(second);
  Require(first == second, "import, write, import differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = InitEngineForFuzzing();
  (void)ready;
  if (size == 0) return 0;
  const int number = 1 + data[0] % 4;
  std::memcpy(static_cast<void*>(&before), &E, sizeof(EngineState));
  settingsBefore = settings;
  int count = 0;
  if (ImportPgnBytes(data + 1, size - 1, number, count)) {
    Require(count >= number, "game count");
    CheckAcceptedGame();
  } else {
    Require(std::memcmp(&before, &E, sizeof(EngineState)) == 0, "refused game changed the engine");
    Require(std::memcmp(&settingsBefore, &settings, sizeof(Settings)) == 0, "refused game changed the settings");
  }
  return 0;
}
