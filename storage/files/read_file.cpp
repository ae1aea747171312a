#include "read_file.h"

#include "file_faults.h"
#include "texts.h"

namespace {

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
