#include "uci_test_util.h"

#include <gtest/gtest.h>

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
