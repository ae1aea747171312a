#include <algorithm>
#include <cctype>
#include <string>

#include "book.h"
#include "position.h"
#include "system.h"
#include "uci_book_file.h"
#include "uci_commands.h"
#include "uci_output.h"
#include "uci_state.h"

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// "true"/"false" in any case; false when the text is neither.
bool ParseCheck(const std::string& text, bool& value) {
  const std::string t = Lower(text);
  if (t != "true" && t != "false") return false;
  value = t == "true";
  return true;
}

// A whole decimal integer in lo..hi.
bool ParseSpin(const std::string& text, int lo, int hi, int& value) {
  if (text.empty() || text.size() > 10) return false;
  size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size()) return false;
  for (size_t i = start; i < text.size(); i++)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  const long long v = std::stoll(text);
  if (v < lo || v > hi) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

void SendIdentity() {
  Send("id name Korvin 4.01");
  Send("id author the Korvin 4 developers");
  Send("option name Hash type spin default 80 min 80 max 80");
  Send("option name OwnBook type check default true");
  Send("option name BookFile type string default korvin.bok");
  Send("option name Move Overhead type spin default 30 min 0 max 5000");
  Send("option name RootBonus type check default true");
  Send("option name Seed type spin default 0 min 0 max 2147483647");
  Send("option name Level type spin default 0 min 0 max 4");
  Send("uciok");
}

void LoadUciBook(bool report) {
  ReadBookFile(U.bookFile);
  if (!report) return;
  if (!bookLoadReport.opened)
    Send("info string book file '" + U.bookFile + "' could not be opened; no book");
  else
    Send("info string book '" + U.bookFile + "': " + std::to_string(bookLoadReport.lines) +
         " lines, " + std::to_string(bookLoadReport.moves) + " moves");
}

void HandleSetOption(const std::vector<std::string>& words) {
  // The name runs from "name" to "value" and may hold spaces; so may the value.
  std::string name, value;
  bool inValue = false, sawName = false, sawValue = false;
  for (const std::string& w : words) {
    if (!sawName && w == "name") {
      sawName = true;
    } else if (sawName && !inValue && w == "value") {
      inValue = sawValue = true;
    } else if (inValue) {
      value += (value.empty() ? "" : " ") + w;
    } else if (sawName) {
      name += (name.empty() ? "" : " ") + w;
    }
  }
  const std::string key = Lower(name);
  if (key == "ownbook" || key == "rootbonus") {
    bool v = false;
    if (!sawValue || !ParseCheck(value, v)) {
      Send("info string " + name + " needs the value true or false");
      return;
    }
    (key == "ownbook" ? U.ownBook : U.rootBonus) = v;
  } else if (key == "move overhead") {
    if (!sawValue || !ParseSpin(value, 0, 5000, U.moveOverhead))
      Send("info string Move Overhead needs a whole number of milliseconds in 0..5000");
  } else if (key == "level") {
    // 1 Novice (one ply), 2 Intermediate (0.1 s), 3 Advanced (1 s), 4 Expert
    // (10 s) a move, as in the window program; 0 takes the limits of go.
    if (!sawValue || !ParseSpin(value, 0, 4, U.level))
      Send("info string Level needs 0 (the limits of go) or a level 1..4");
  } else if (key == "hash") {
    int v = 0;
    if (!sawValue || !ParseSpin(value, 80, 80, v))
      Send("info string the table size is fixed at 80 MB");
  } else if (key == "seed") {
    // Reproducible runs: the random generator, and with it the position keys,
    // start from this seed (0 = the clock). The position is set up again so
    // that its keys are the new ones.
    int v = 0;
    if (!sawValue || !ParseSpin(value, 0, 2147483647, v)) {
      Send("info string Seed needs a whole number in 0..2147483647");
      return;
    }
    SeedRandom(v ? static_cast<uint32_t>(v) : static_cast<uint32_t>(ClockMs()));
    InitKeys();
    InitSideKey();
    if (U.hasPosition) {
      const std::vector<std::string> position = U.lastPosition;
      HandlePosition(position);
    }
  } else if (key == "bookfile") {
    // An empty string option arrives as "<empty>" from some programs.
    U.bookFile = sawValue && !value.empty() && value != "<empty>" ? value : "korvin.bok";
    LoadUciBook(true);
  } else {
    Send("info string unknown option '" + name + "'");
  }
}
