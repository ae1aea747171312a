#include "uci_book_file.h"

#include "book_file.h"

void ReadBookFile(const std::string& path) { LoadBookFile(path.c_str()); }
