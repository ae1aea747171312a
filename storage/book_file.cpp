#include "book_file.h"

#include <string>
#include <vector>

#include "book.h"
#include "engine_state.h"
#include "read_file.h"

void LoadBook() { LoadBookFile("korvin.bok"); }

// Only a regular file is read (a named pipe or a device would hold the
// start up), and only as much of it as the book holds.
void LoadBookFile(const char* path) {
  std::vector<unsigned char> bytes;
  FileError error;
  bool longer = false;
  if (!ReadFileStart(path, kBookBytes, bytes, longer, error)) {
    LoadNoBook(error.message);
    return;
  }
  LoadBookBytes(bytes.data(), bytes.size(), longer);
}
