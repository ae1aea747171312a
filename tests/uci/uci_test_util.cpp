#include "uci_test_util.h"

#include <gtest/gtest.h>

#include <random>

#include "engine_state.h"
#include "game.h"
#include "notation.h"
#include "position.h"
#include "uci_commands.h"

bool IsLegalIn(const std::string& position, const std::string& move) {
  static bool ready = false;
  if (!ready) {
    InitUciEngine();
    ready = true;
  }
  if (!HandlePosition(SplitWords(position))) return false;
  int from = 0, to = 0;
  char promotion = '\0';
  if (!ParseMoveText(move, from, to, promotion)) return false;
  return IsLegalMove(from, to) == 1;
}

std::string BestMoveOf(const std::vector<std::string>& lines) {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    const std::vector<std::string> w = Words(*it);
    if (w.size() >= 2 && w[0] == "bestmove") return w[1];
  }
  return "";
}

void StartQuiet(UciChild& engine) {
  engine.Send("uci");
  ASSERT_TRUE(engine.WaitFor("uciok"));
  engine.Send("setoption name OwnBook value false");
  engine.Send("isready");
  ASSERT_TRUE(engine.WaitFor("readyok"));
}

std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::random_device entropy;
  std::mt19937_64 pick((static_cast<uint64_t>(entropy()) << 32) ^ static_cast<uint64_t>(NowMs()));
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    const std::filesystem::path folder = base / (prefix + std::to_string(pick()));
    if (std::filesystem::create_directory(folder)) return folder;
  }
}
