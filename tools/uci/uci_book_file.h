// The book file named by the BookFile option, read into the engine's book.
// uci_book_file.cpp reads it through storage.
#pragma once

#include <string>

// Loads the book from `path`; bookLoadReport tells what happened.
void ReadBookFile(const std::string& path);
