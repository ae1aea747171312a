// Writes random legal games as game files DIR/game-N.kga, for the test that
// reads the tool's PGN of them with an independent PGN library.
//   random_games DIR COUNT SEED
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game_file.h"
#include "random_record.h"
#include "storage_error.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: random_games DIR COUNT SEED\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int count = std::atoi(argv[2]);
  StartEngine(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));
  for (int g = 1; g <= count; g++) {
    PlayRandomRecord(RandomInt(1, 400));
    const std::string path = dir + "/game-" + std::to_string(g) + ".kga";
    if (!SaveGame(path.c_str())) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), StorageError());
      return 1;
    }
  }
  return 0;
}
