#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "atomic_write.h"
#include "read_file.h"
#include "book.h"
#include "book_file.h"
#include "cli_common.h"
#include "commands.h"
#include "engine_state.h"
#include "notation.h"
#include "position.h"

namespace {

constexpr int kShortestLine = 8;
constexpr int kLongestLine = 20;
// A text source longer than this could never fit into the book.
constexpr size_t kLongestSource = 16 * 1024 * 1024;

// Parses the text source into book bytes. Every move is played on the
// engine from the initial position; the first fault ends the build with a
// message naming the text line.
bool ParseSource(std::istream& in, std::vector<unsigned char>& bytes, int& lines,
                 std::string& error) {
  std::string text;
  int lineNumber = 0;
  lines = 0;
  while (std::getline(in, text)) {
    lineNumber++;
    const size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream words(text);
    std::vector<std::string> moves;
    std::string word;
    while (words >> word) moves.push_back(word);
    if (moves.empty()) continue;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (moves.size() < static_cast<size_t>(kShortestLine) ||
        moves.size() > static_cast<size_t>(kLongestLine)) {
      error = where + "has " + std::to_string(moves.size()) + " half-moves; a book line needs " +
              std::to_string(kShortestLine) + " to " + std::to_string(kLongestLine);
      return false;
    }
    NewGame();
    for (size_t i = 0; i < moves.size(); i++) {
      int from = 0, to = 0;
      char promotion = '\0';
      const std::string which = where + "half-move " + std::to_string(i + 1) + " '" + moves[i] + "'";
      if (!ParseMoveText(moves[i], from, to, promotion)) {
        error = which + " is not a move in coordinate notation (like e2e4)";
        return false;
      }
      if (promotion != '\0') {
        error = which + " is a promotion; the book holds no promotions";
        return false;
      }
      std::string why;
      if (!PlayMoveText(moves[i], why)) {
        error = which + " is not legal here";
        return false;
      }
      bytes.push_back(static_cast<unsigned char>(from));
      bytes.push_back(static_cast<unsigned char>(to));
    }
    bytes.push_back(0);
    lines++;
  }
  return true;
}

// korvin-cli book build SOURCE OUT
int BuildBook(const CliArgs& args) {
  if (args.positional.size() != 3) return Fail("usage: korvin-cli book build SOURCE OUT");
  const std::string& source = args.positional[1];
  const std::string& target = args.positional[2];
  std::vector<unsigned char> text;
  std::string error;
  FileError fileError;
  if (!ReadFileBytes(source.c_str(), kLongestSource, text, fileError))
    return Fail("cannot open " + source + ": " + fileError.message);
  std::istringstream in(std::string(text.begin(), text.end()));
  if (!InitEngineForCli(args, error)) return Fail(error);
  std::vector<unsigned char> bytes;
  int lines = 0;
  if (!ParseSource(in, bytes, lines, error)) return Fail(source + ": " + error);
  if (bytes.size() > static_cast<size_t>(kBookBytes))
    return Fail(source + ": the book would take " + std::to_string(bytes.size()) +
                " bytes; it may hold at most " + std::to_string(kBookBytes));
  // The written book must load with nothing cut.
  NewGame();
  LoadBookBytes(bytes.data(), bytes.size());
  if (!bookLoadReport.cuts.empty() || bookLoadReport.lines != lines)
    return Fail(source + ": the built book does not load as written");
  if (!WriteFileAtomically(target.c_str(), bytes.data(), bytes.size(), fileError))
    return Fail(target + ": " + fileError.message);
  std::cout << "lines " << lines << "\n";
  std::cout << "moves " << bookLoadReport.moves << "\n";
  std::cout << "bytes " << bytes.size() << "\n";
  return 0;
}

// Size of a file in bytes, or -1. The path is UTF-8 on every system.
long long FileSize(const std::string& path) {
  std::error_code error;
  const auto size =
      std::filesystem::file_size(std::filesystem::path(std::u8string(path.begin(), path.end())), error);
  return error ? -1 : static_cast<long long>(size);
}

// korvin-cli book check FILE: 0 when the book loads whole, 1 when something
// was cut or the file is too long, 2 when it cannot be read.
int CheckBook(const CliArgs& args) {
  if (args.positional.size() != 2) return Fail("usage: korvin-cli book check FILE");
  const std::string& path = args.positional[1];
  std::string error;
  if (!InitEngineForCli(args, error)) return Fail(error);
  LoadBookFile(path.c_str());
  if (!bookLoadReport.opened) return Fail("cannot open " + path + ": " + bookLoadReport.failure);
  const long long size = FileSize(path);
  std::cout << "lines " << bookLoadReport.lines << "\n";
  std::cout << "moves " << bookLoadReport.moves << "\n";
  std::cout << "size " << size << "\n";
  std::cout << "bytes_kept " << (E.bookLength - 1) << "\n";

  // The computer's first-move choices as White: one candidate per line.
  std::map<std::string, int> firsts;
  for (int k = 1; k < E.bookLength;) {
    if (E.bookBytes[k] != 0) firsts[MoveName(E.bookBytes[k], E.bookBytes[k + 1])]++;
    while (E.bookBytes[k] != 0) k += 2;
    k++;
  }
  std::cout << "first_moves";
  for (const auto& [move, count] : firsts) std::cout << " " << move << ":" << count;
  std::cout << "\n";

  if (bookLoadReport.lines > kBookCandidates)
    std::cout << "note: more than " << kBookCandidates
              << " lines; a probe keeps only the first " << kBookCandidates << " candidates\n";
  bool faulty = false;
  if (bookLoadReport.oversize) {
    std::cout << "too long: only the first " << kBookBytes << " bytes are read\n";
    faulty = true;
  }
  for (const BookCut& cut : bookLoadReport.cuts) {
    std::cout << "cut line " << cut.line << " at byte " << cut.offset << ": "
              << BookCutReasonText(cut.reason) << "\n";
    faulty = true;
  }
  std::cout << (faulty ? "book damaged" : "book ok") << "\n";
  return faulty ? 1 : 0;
}

}  // namespace

// korvin-cli book build SOURCE OUT | book check FILE
int CommandBook(int argc, char** argv) {
  CliArgs args;
  std::string error;
  if (!ParseArgs(argc, argv, 2, {"seed"}, {}, args, error)) return Fail(error);
  const std::string sub = args.positional.empty() ? "" : args.positional[0];
  if (sub == "build") return BuildBook(args);
  if (sub == "check") return CheckBook(args);
  return Fail("usage: korvin-cli book build SOURCE OUT | korvin-cli book check FILE");
}
