#include "uci_book_file.h"

#include "book.h"

void ReadBookFile(const std::string&) { LoadNoBook("this build reads no files"); }
