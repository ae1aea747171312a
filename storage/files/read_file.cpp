#include "read_file.h"

#include "file_faults.h"
#include "texts.h"

namespace {

// Reads up to `limit` bytes, and one more to see whether there are more.
bool ReadUpTo(OpenedFile* file, size_t limit, std::vector<unsigned char>& data, bool& longer,
              FileError& error) {
  const size_t want = limit == kAnySize ? limit : limit + 1;
  unsigned char chunk[16384];
  while (data.size() < want) {
    const size_t ask = want - data.size() < sizeof chunk ? want - data.size() : sizeof chunk;
    const std::ptrdiff_t n = ReadOpenedFile(file, chunk, ask, error);
    if (n < 0) return false;
    if (n == 0) break;
    data.insert(data.end(), chunk, chunk + n);
  }
  longer = data.size() > limit;
  if (longer) data.resize(limit);
  return true;
}

// The one reader: the file opened only when it is regular and within
// `openLimit`, its first `readLimit` bytes read; on failure `data` is empty.
bool ReadRegularFile(const char* path, size_t openLimit, size_t readLimit,
                     std::vector<unsigned char>& data, bool& longer, FileIdentity* identity,
                     FileError& error) {
  data.clear();
  longer = false;
  FileIdentity opened;
  OpenedFile* file = OpenRegularFile(path, openLimit, opened, error);
  if (file == nullptr) return false;
  if (identity != nullptr) *identity = opened;
  const bool read = ReadUpTo(file, readLimit, data, longer, error);
  CloseOpenedFile(file);
  if (read) return true;
  data.clear();
  longer = false;
  return false;
}

bool Read(const char* path, size_t openLimit, size_t readLimit, std::vector<unsigned char>& data,
          bool& longer, FileIdentity* identity, FileError& error) {
  if (!FileFaultPlanned(FileFault::ReadFails))
    return ReadRegularFile(path, openLimit, readLimit, data, longer, identity, error);
  data.clear();
  error = SystemFailure(kCannotRead, "Input/output error");
  return false;
}

}  // namespace

bool ReadFileBytes(const char* path, size_t limit, std::vector<unsigned char>& data,
                   FileError& error, FileIdentity* identity) {
  bool longer = false;
  if (!Read(path, limit, limit, data, longer, identity, error)) return false;
  if (longer) {  // the file grew after it was opened
    data.clear();
    error = TooLarge(limit);
    return false;
  }
  return true;
}

bool ReadFileStart(const char* path, size_t limit, std::vector<unsigned char>& data,
                   bool& longer, FileError& error) {
  return Read(path, kAnySize, limit, data, longer, nullptr, error);
}
