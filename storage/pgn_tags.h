// The tags of the PGN game loaded last, kept so that the game goes out with
// them when it is saved as PGN again. They belong to the game record only
// while the record still begins with the half-moves loaded with them.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct LoadedPgnGame {
  std::vector<std::pair<std::string, std::string>> tags;  // as loaded, in file order
  std::string result;  // "1-0", "0-1", "1/2-1/2" or "*" as loaded; "" when it gave none
  std::vector<int> from, to, promotion;  // the half-moves loaded; none after ForgetPgnTags
};

extern LoadedPgnGame loadedPgn;
