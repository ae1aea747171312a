// The commands of the UCI driver, one concern per file.
#pragma once

#include <string>
#include <vector>

// The words of a line, split on spaces and tabs.
std::vector<std::string> SplitWords(const std::string& line);

// Engine start-up: tables, keys, the initial position and the book.
void InitUciEngine();

// "position startpos|fen FEN [moves ...]", given the words after "position".
// On failure prints an info string with the reason and leaves the engine
// without a position: every go answers "bestmove 0000" until a valid
// position command arrives. Returns true when the new position was applied.
bool HandlePosition(const std::vector<std::string>& words);

// Leaves the engine without a position, as a refused position command does,
// telling `reason`.
void RefusePosition(const std::string& reason);


// "uci": the identity, the options and uciok.
void SendIdentity();

// "setoption name <name> [value <value>]", given the words after "setoption".
void HandleSetOption(const std::vector<std::string>& words);

// (Re)loads the book from the BookFile option; prints what happened when
// `report` is set.
void LoadUciBook(bool report);

// "go ...", given the words after "go": searches and prints bestmove.
void HandleGo(const std::vector<std::string>& words);

// Reads and answers commands until quit or the end of input.
void RunUciLoop();
