// Reading the games of a PGN text: the tag pairs and the moves of the main
// line, with comments, move numbers, NAGs, move assessments and variations
// left out. A byte-order mark at the start of the text is passed over. Safe
// on any bytes; nothing here knows the rules of chess.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// A comment, variation or tag that a game leaves open: everything after its
// opening went into it, so the game read is not the game written.
enum class PgnUnclosed { None, Comment, Variation, Tag };

struct PgnGame {
  std::vector<std::pair<std::string, std::string>> tags;  // in file order
  std::vector<std::string> moves;  // main-line move texts, at most kPgnMovesKept
  std::string result;              // "1-0", "0-1", "1/2-1/2", "*" or "" when missing
  bool tooManyTags = false;        // more than kPgnTagsKept; the rest are not kept
  // The first comment, variation or tag the game never closes: a comment
  // with no "}" before the end of the text, a variation whose ")" has not
  // come when the game ends, a tag whose "]" (or the quote of its value) is
  // missing on its line.
  PgnUnclosed unclosed = PgnUnclosed::None;
  size_t unclosedAfter = 0;  // main-line moves before it opened
  std::string unclosedTag;   // the name of the tag never closed, when it has one
};

// More main-line moves than a game record can hold; the reader keeps one
// more than that so that the importer can name the move that overflows.
constexpr size_t kPgnMovesKept = 1000;

// Tags kept of one game; real games have a few dozen at most.
constexpr size_t kPgnTagsKept = 1000;

// The longest tag name and value kept: a longer name is no tag's, a longer
// value keeps its beginning.
constexpr size_t kPgnTagTextKept = 255;

// Reads game number `wanted` (1 = the first) of the text into `game` and
// returns true; returns false when the text holds fewer games. `count` is
// set to the number of games in the whole text either way.
bool ReadPgnGame(const unsigned char* data, size_t size, int wanted, PgnGame& game, int& count);

// The value of tag `name` in `game`, or "" when it has none.
std::string PgnTag(const PgnGame& game, const std::string& name);
