#include "cli_common.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <sstream>

#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "system.h"

const std::vector<std::string> kPositionOptions = {"fen", "moves", "seed"};

bool ParseArgs(int argc, char** argv, int first, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, CliArgs& args, std::string& error) {
  auto has = [](const std::vector<std::string>& names, const std::string& n) {
    return std::find(names.begin(), names.end(), n) != names.end();
  };
  for (int i = first; i < argc; i++) {
    const std::string word = argv[i];
    if (word.rfind("--", 0) != 0) {
      args.positional.push_back(word);
      continue;
    }
    const std::string name = word.substr(2);
    if (has(flags, name)) {
      args.options[name] = "";
    } else if (has(valued, name)) {
      if (i + 1 >= argc) {
        error = "option --" + name + " needs a value";
        return false;
      }
      args.options[name] = argv[++i];
    } else {
      error = "unknown option " + word;
      return false;
    }
  }
  return true;
}

bool IntOption(const CliArgs& args, const std::string& name, long long fallback, long long lo,
               long long hi, long long& value, std::string& error) {
  const auto it = args.options.find(name);
  if (it == args.options.end()) {
    value = fallback;
    return true;
  }
  const std::string& text = it->second;
  long long v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) {
    error = "--" + name + " needs an integer from " + std::to_string(lo) + " to " +
            std::to_string(hi) + ", not '" + text + "'";
    return false;
  }
  value = v;
  return true;
}

bool InitEngineForCli(const CliArgs& args, std::string& error) {
  long long seed = 0;
  if (!IntOption(args, "seed", -1, 0, 4294967295LL, seed, error)) return false;
  StartEngine(seed >= 0 ? static_cast<uint32_t>(seed) : static_cast<uint32_t>(ClockMs()));
  return true;
}

bool SetupPositionFromArgs(const CliArgs& args, std::string& error) {
  const auto fen = args.options.find("fen");
  if (fen != args.options.end() && !SetupFen(fen->second, error)) {
    error = "bad FEN: " + error;
    return false;
  }
  const auto moves = args.options.find("moves");
  if (moves != args.options.end()) {
    std::istringstream in(moves->second);
    std::string move;
    while (in >> move) {
      if (!PlayMoveText(move, error)) return false;
    }
  }
  E.ply = 1;
  return true;
}

int Fail(const std::string& message) {
  std::cerr << "korvin-cli: " << message << "\n";
  return kExitBadInput;
}
