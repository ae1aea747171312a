#include "pgn_reader.h"

namespace {

// A token longer than this is no move; only its beginning is kept.
constexpr size_t kTokenKept = 64;

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Characters that end a token of movetext.
bool IsDelimiter(unsigned char c) {
  return IsSpace(c) || c == '{' || c == '}' || c == '(' || c == ')' || c == '[' || c == ']' ||
         c == ';' || c == '$' || c == '!' || c == '?' || c == '"' || c == '*';
}

bool IsResult(const std::string& t) { return t == "1-0" || t == "0-1" || t == "1/2-1/2"; }

// Walks the text game by game; keeps only the wanted game's contents.
struct Reader {
  const unsigned char* data;
  size_t size;
  size_t pos = 0;
  int wanted;
  PgnGame* game;
  int count = 0;        // games finished so far
  bool open = false;    // a game has begun (a tag, a move or a result seen)
  bool inMoves = false; // the open game has movetext, so a tag starts a new game
  int depth = 0;        // nesting of variations being skipped
  size_t variationAfter = 0;  // main-line moves before the outermost open variation

  bool Keeping() const { return count + 1 == wanted; }

  void Begin() {
    if (!open) {
      open = true;
      inMoves = false;
      depth = 0;
    }
  }

  void Finish() {
    if (open && depth > 0) MarkUnclosed(PgnUnclosed::Variation, variationAfter);
    if (open) count++;
    open = false;
    inMoves = false;
    depth = 0;
  }

  void SkipLine() {
    while (pos < size && data[pos] != '\n') pos++;
  }

  // The first comment, variation or tag the wanted game leaves open.
  void MarkUnclosed(PgnUnclosed kind, size_t after, const std::string& tag = "") {
    if (!Keeping() || game->unclosed != PgnUnclosed::None) return;
    game->unclosed = kind;
    game->unclosedAfter = after;
    game->unclosedTag = tag;
  }

  void SkipBlanks() {
    while (pos < size && (data[pos] == ' ' || data[pos] == '\t')) pos++;
  }

  // [Name "value"]; a damaged tag is skipped up to its "]" or the line end.
  // A tag is closed by a "]" on the tag's line, after the closing quote of
  // its value; anything else leaves it open.
  void ReadTag() {
    if (inMoves) Finish();
    Begin();
    pos++;  // '['
    SkipBlanks();
    std::string name, value;
    bool nameFits = true;
    while (pos < size && (IsLetter(data[pos]) || IsDigit(data[pos]) || data[pos] == '_')) {
      if (name.size() < kPgnTagTextKept)
        name += static_cast<char>(data[pos]);
      else
        nameFits = false;
      pos++;
    }
    SkipBlanks();
    bool quoted = false;
    if (pos < size && data[pos] == '"') {
      pos++;
      while (pos < size && data[pos] != '"' && data[pos] != '\n') {
        if (data[pos] == '\\' && pos + 1 < size && (data[pos + 1] == '"' || data[pos + 1] == '\\')) pos++;
        if (value.size() < kPgnTagTextKept) value += static_cast<char>(data[pos]);
        pos++;
      }
      quoted = pos < size && data[pos] == '"';
      if (quoted) pos++;
    }
    while (pos < size && data[pos] != ']' && data[pos] != '\n') pos++;
    if (pos < size && data[pos] == ']')
      pos++;
    else
      MarkUnclosed(PgnUnclosed::Tag, 0, nameFits ? name : "");
    if (!quoted || name.empty() || !nameFits || !Keeping()) return;
    if (game->tags.size() < kPgnTagsKept)
      game->tags.emplace_back(name, value);
    else
      game->tooManyTags = true;
  }

  // A result token ends the game; a move goes to the main line unless it
  // stands inside a variation.
  void Symbol(std::string token) {
    if (depth > 0) return;
    Begin();
    inMoves = true;
    if (IsResult(token)) {
      if (Keeping()) game->result = token;
      Finish();
      return;
    }
    // A move number, "12", "12." or "12...", maybe glued to the move.
    if (IsDigit(static_cast<unsigned char>(token[0])) && token.rfind("0-0", 0) != 0) {
      size_t i = 0;
      while (i < token.size() && IsDigit(static_cast<unsigned char>(token[i]))) i++;
      while (i < token.size() && token[i] == '.') i++;
      token.erase(0, i);
      if (token.empty()) return;
    }
    while (!token.empty() && token[0] == '.') token.erase(0, 1);
    if (token.empty() || token == "e.p.") return;  // "dxe6 e.p." marks the move before
    if (Keeping() && game->moves.size() < kPgnMovesKept) game->moves.push_back(token);
  }

  void Run() {
    while (pos < size && count < wanted) {
      const unsigned char c = data[pos];
      if (IsSpace(c)) {
        pos++;
      } else if (c == '%' && (pos == 0 || data[pos - 1] == '\n')) {
        SkipLine();  // escape line
      } else if (c == ';') {
        SkipLine();
      } else if (c == '{') {
        while (pos < size && data[pos] != '}') pos++;
        if (pos < size) {
          pos++;
        } else {
          // The rest of the text went into the comment: the game it stands
          // in, or the one it stands before, is not what was written.
          Begin();
          MarkUnclosed(PgnUnclosed::Comment, Keeping() ? game->moves.size() : 0);
        }
      } else if (c == '[') {
        ReadTag();
      } else if (c == '(') {
        Begin();
        inMoves = true;
        if (depth == 0) variationAfter = Keeping() ? game->moves.size() : 0;
        depth++;
        pos++;
      } else if (c == ')') {
        if (depth > 0) depth--;
        pos++;
      } else if (c == '$') {
        pos++;
        while (pos < size && IsDigit(data[pos])) pos++;
      } else if (c == '*') {
        pos++;
        if (depth == 0) {
          Begin();
          if (Keeping()) game->result.assign(1, '*');
          Finish();
        }
      } else if (c == '!' || c == '?' || c == '}' || c == ']' || c == '"') {
        pos++;
      } else {
        std::string token;
        while (pos < size && !IsDelimiter(data[pos])) {
          if (token.size() < kTokenKept) token += static_cast<char>(data[pos]);
          pos++;
        }
        Symbol(token);
      }
    }
    if (count < wanted) Finish();  // a last game without a result
  }
};

}  // namespace

bool ReadPgnGame(const unsigned char* data, size_t size, int wanted, PgnGame& game, int& count) {
  game = PgnGame{};
  // Editors and web sites often put a byte-order mark before UTF-8 text.
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    data += 3;
    size -= 3;
  }
  Reader reader{data, size, 0, wanted < 1 ? 1 : wanted, &game};
  reader.Run();
  const bool found = wanted >= 1 && reader.count >= wanted;
  if (!found) {
    game = PgnGame{};
    count = reader.count;
    return false;
  }
  // Go on to the end only to count the games after it.
  PgnGame scratch;
  Reader rest = reader;
  rest.wanted = 1 << 30;
  rest.game = &scratch;
  rest.Run();
  count = rest.count;
  return true;
}

std::string PgnTag(const PgnGame& game, const std::string& name) {
  for (const auto& [tag, value] : game.tags)
    if (tag == name) return value;
  return "";
}
