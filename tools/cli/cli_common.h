// Argument parsing and position set-up shared by the korvin-cli commands.
#pragma once

#include <map>
#include <string>
#include <vector>

// Exit status for bad input.
constexpr int kExitBadInput = 2;

struct CliArgs {
  std::vector<std::string> positional;        // words that are not options
  std::map<std::string, std::string> options;  // "--name value" or "--flag" -> ""
};

// Splits argv into positional words and options. `valued` names the options
// that take a value; `flags` those that do not. Returns false with a message
// for an unknown option or a missing value.
bool ParseArgs(int argc, char** argv, int first, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, CliArgs& args, std::string& error);

// An integer option, or `fallback` when absent; false with a message when the
// value is not an integer in lo..hi.
bool IntOption(const CliArgs& args, const std::string& name, long long fallback, long long lo,
               long long hi, long long& value, std::string& error);

// Creates the engine, seeds the random generator (from --seed when given,
// else the clock), fills the keys and sets up the starting position.
bool InitEngineForCli(const CliArgs& args, std::string& error);

// Applies --fen and --moves to the engine. Returns false with a message.
bool SetupPositionFromArgs(const CliArgs& args, std::string& error);

// The option names of SetupPositionFromArgs and InitEngineForCli.
extern const std::vector<std::string> kPositionOptions;

// Prints "korvin-cli: <message>" on stderr and returns kExitBadInput.
int Fail(const std::string& message);
