// The book file named by the BookFile option, read into the engine's book.
// uci_book_file.cpp reads it through storage; uci_book_file_unavailable.cpp
// stands in where storage cannot be built yet (the Windows build until its
// file services have their Windows implementation) and leaves the book
// empty, saying why.
#pragma once

#include <string>

// Loads the book from `path`; bookLoadReport tells what happened.
void ReadBookFile(const std::string& path);
